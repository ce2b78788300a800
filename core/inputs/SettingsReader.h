#pragma once
// Reading the settings file's text: the line reader and the positional parse
// of the 62 lines into a record, with every check made before anything is
// applied. No file access and no messages here; see SettingsFile.h.
#include <cstddef>
#include <string>
#include <string_view>

#include "core/inputs/ProjectSettings.h"

namespace kv {

// Longest line (without its line end) the reader accepts.
inline constexpr std::size_t kMaxSettingsLine = 998;

// Reads the settings file's lines one at a time. A line ends at a line feed;
// a carriage return directly before it belongs to the line end. The last line
// may end at the end of the text without a line feed.
class SettingsLineReader {
public:
    enum class Status {
        Value,      // `value` holds every character after the first "="
        End,        // no more lines
        TooLong,    // the line has more than kMaxSettingsLine characters
        NoEquals,   // the line has no "="
    };

    explicit SettingsLineReader(std::string_view text) : text_(text) {}

    // Reads the next line. On Value, `value` views into the text, and so
    // does `key` (every character before the first "="), when asked for.
    Status Next(std::string_view& value, std::string_view* key = nullptr);

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// The outcome of reading a settings file's text.
struct SettingsParse {
    enum class Status { Ok, BadVersion, Malformed };
    Status status = Status::Malformed;
    // For Malformed: the 1-based line, the key expected at that position and
    // why the line is refused (a phrase such as "the line has no \"=\"").
    int line = 0;
    std::string key;
    std::string reason;
    // For Ok: every field as the file gives it. The bitmaps are not probed.
    ProjectSettings values;
};

// Reads the 62 lines by position (the keys in the file are ignored): the
// version, which must convert to 2.0, then the 61 fields. The first line that
// fails a check ends the parse: a file that ends before line 62, a line
// without "=", a line longer than 998 characters, a text longer than 259
// characters or holding a NUL, a list index outside its list, or a marker
// outside its travel.
//
// Every line after line 62 is read by its key, in any order: a key of a field
// written after the 62 lines (demedge, demrange) sets that field, under the
// same checks; any other line (a key this version does not know, a line
// without "=" or too long) is passed over, as a reader of the 62 lines passes
// over everything after them. A field the file does not hold keeps its
// default, so a file of 62 lines reads as before these fields existed.
SettingsParse ParseSettingsText(std::string_view text);

}  // namespace kv
