#pragma once
// The settings file (".kv"): key=value lines with CR LF line ends, written in
// one fixed order. The first 62 lines, which every version reads, are read
// back by position; the lines after them (demedge, demrange) by their keys.
// Save, Load and the command line's KEY=VALUE assignments.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/basics/Messages.h"
#include "core/inputs/ProjectSettings.h"
#include "core/inputs/SettingsReader.h"

namespace kv {

// The two input bitmaps a settings file names.
enum class BitmapRole {
    Heightfield,  // basebmp in basedir
    Placement,    // treebmp in treedir (trees & rocks)
};

// A bitmap the user picked: its directory (no trailing separator) and name.
struct BitmapChoice {
    std::string directory;
    std::string fileName;
};

// How Load talks to its front end.
struct SettingsLoadHooks {
    // Shows a message (error icon, modal). May be empty: nothing is shown.
    std::function<void(const Message&)> show;
    // Called after the missing-bitmap message for `role`, when the bitmap's
    // field has been emptied and its directory reset to `initialDirectory`
    // (the program directory): a front end may offer its file dialog and
    // return the file picked, or nullopt to keep the field empty. May be
    // empty: nothing is offered (the command line).
    std::function<std::optional<BitmapChoice>(BitmapRole role, const std::string& initialDirectory)>
        offerReplacement;
};

// The keys of the lines after the version line in file order (basebmp ...
// oceanB, then demedge, demrange): every key that ApplySettingValue accepts.
// The version key "KVVersion" is not among them.
const std::vector<std::string>& SettingsKeys();

// The settings file's bytes for a record: "KVVersion=2.0", the 61 fields of
// lines 2 to 62, then the fields read by key (64 lines in all), each line
// ending in CR LF, numbers in plain decimal, colour components as their
// unsigned value.
std::string FormatSettingsFile(const ProjectSettings& settings);

// The name under which Save stores a file typed as `name`: ".kv" is appended
// unless the name is longer than 3 characters and ends in exactly ".kv"
// ("land" -> "land.kv", "land.kv" stays, "land.KV" -> "land.KV.kv").
std::string SettingsFileNameFor(const std::string& name);

// Why the record cannot be written as a settings file that loads again (a
// text too long or holding a line break, an index outside its list, a marker
// outside its travel), as "key: reason"; nullopt when it can.
std::optional<std::string> CheckSettingsRecord(const ProjectSettings& settings);

// Writes the record to `path` (any existing file is replaced only once the
// new one is complete). Returns nullopt on success, otherwise the message to
// show (title "Kelvane Error Message"): "Error opening %s." when the file
// cannot be created, "Error writing %s." when writing fails, or a refusal
// naming the field when the record holds a value the file cannot carry.
std::optional<Message> SaveSettingsFile(const std::string& path, const ProjectSettings& settings);

// Loads the settings file `settingsFileName` in `settingsDirectory` into
// `settings`. The whole file is checked first; when it is refused (cannot be
// opened, wrong version, malformed) the message is shown, `settings` stays
// exactly as it was and false is returned. Otherwise each bitmap named in the
// file is probed in file order; one that cannot be opened gets the
// missing-bitmap message, its name emptied, its directory reset to
// `programDirectory` and the replacement hook called; then the record takes
// every value and true is returned.
bool LoadSettingsFile(const std::string& settingsDirectory, const std::string& settingsFileName,
                      const std::string& programDirectory, ProjectSettings& settings,
                      const SettingsLoadHooks& hooks);

// Sets one field from a KEY=VALUE assignment, converted as Load converts it.
// Returns nullopt on success; otherwise the error (an unknown key, a value
// Load would refuse; a range marker is checked against the record's current
// other marker) and `settings` is unchanged.
std::optional<std::string> ApplySettingValue(ProjectSettings& settings, const std::string& key,
                                             const std::string& value);

}  // namespace kv
