#pragma once
// The fields of the settings file after its version line: their keys in file
// order, how each value text is converted, and which values are accepted.
// Shared by the file reader, the file writer's pre-check and the command
// line's KEY=VALUE assignments, so all three agree on every rule.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/inputs/ProjectSettings.h"

namespace kv {

// Longest text value (a file name or a directory) a settings file may hold.
inline constexpr std::size_t kMaxSettingsText = 259;
// The lines every version of the settings file holds and reads by position;
// line 1 is the version line. Fields added later follow them, each read by
// its key, so that a reader of the 62 lines ignores them.
inline constexpr int kSettingsLineCount = 62;
inline constexpr std::size_t kPositionalFieldCount = kSettingsLineCount - 1;
inline constexpr const char* kVersionKey = "KVVersion";
// The largest demedge (the largest texture size: an edge above the chosen
// resolution's texture size is refused when the heightfield is read) and the
// largest demrange in metres; 0 leaves either to the loader.
inline constexpr std::int32_t kMaxElevationEdge = 2304;
inline constexpr std::int32_t kMaxElevationRange = 100000;

enum class FieldKind {
    Text,       // basebmp, basedir, treebmp, treedir
    Index,      // a drop-down list entry or the resolution: 0 to `high`
    Marker,     // a single slider marker (density, size): `low` to `high`
    MarkerMin,  // left marker of a range pair: `low` to the right marker - 6
    MarkerMax,  // right marker of a range pair: the left marker + 6 to `high`
    Colour,     // one colour component; keeps the low 8 bits
    Automatic,  // 0 (leave the choice to the program) or a whole number from `low` to `high`
};

struct SettingsField {
    std::string key;
    FieldKind kind = FieldKind::Text;
    std::string ProjectSettings::*text = nullptr;
    std::int32_t ProjectSettings::*number = nullptr;  // Index and the marker kinds
    RgbColor ProjectSettings::*colour = nullptr;
    std::uint8_t RgbColor::*component = nullptr;
    std::int32_t low = 0;   // for a pair: the left end of the pair's track
    std::int32_t high = 0;  // for a pair: the right end of the pair's track
    std::int32_t ProjectSettings::*partner = nullptr;  // the other marker of a pair
};

// Every field in file order: first the kPositionalFieldCount fields of lines
// 2 to 62, then the fields written after them and read by key (demedge,
// demrange).
const std::vector<SettingsField>& SettingsFields();

// The field with this key (exact, case-sensitive), or nullptr.
const SettingsField* FindSettingsField(std::string_view key);

// The decimal integer conversion of the file: skips leading white space,
// takes an optional sign, reads digits up to the first non-digit; no digits
// give 0. A number beyond the 32-bit range is held at the nearest limit.
std::int32_t ConvertSettingsInteger(std::string_view text);

// The decimal floating-point conversion used for the version value: leading
// white space, an optional sign, then a decimal number (no hexadecimal form);
// 0 when no number can be read. Independent of the locale.
double ConvertSettingsDecimal(std::string_view text);

// Whether a version value passes: it must convert to exactly 2.0.
bool IsAcceptedVersion(std::string_view text);

// Why a text value cannot be stored, or nullopt when it can.
std::optional<std::string> CheckSettingsText(std::string_view text);

// Why `value` is refused for a numeric field, or nullopt when it is accepted.
// For a range marker, `partner` is the other marker's position; without it
// the marker is checked against the whole track (less the gap).
std::optional<std::string> CheckSettingsNumber(const SettingsField& field, std::int32_t value,
                                               std::optional<std::int32_t> partner);

// Stores the converted value text in `settings` without any check. Texts are
// taken as they are, numbers converted, colours cut to their low 8 bits.
void StoreSettingsValue(ProjectSettings& settings, const SettingsField& field, std::string_view value);

// The value text the settings file holds for a field ("%d" for numbers).
std::string SettingsValueText(const ProjectSettings& settings, const SettingsField& field);

}  // namespace kv
