#include "cli/SettingsAccess.h"

#include <cstdio>

#include "cli/TerminalFrontEnd.h"
#include "core/platform/Paths.h"
#include "core/inputs/SettingsFields.h"
#include "core/inputs/SettingsFile.h"

namespace kv::cli {

namespace {

// A whole decimal number, as a command line may give it: an optional sign
// and digits, nothing else.
bool IsWholeNumber(const std::string& text)
{
    std::size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    if (i == text.size()) return false;
    for (; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

}  // namespace

bool LoadSettingsForCommandLine(const std::string& path, ProjectSettings& settings,
                                const std::string& programDirectory)
{
    std::string directory, fileName;
    SplitPath(path, directory, fileName);
    // The command line offers no replacement for a missing bitmap: the field
    // stays empty and a creation reports the missing file.
    const SettingsLoadHooks hooks{PrintMessage, {}};
    return LoadSettingsFile(directory, fileName, programDirectory, settings, hooks);
}

std::optional<std::string> ApplyCommandLineSetting(ProjectSettings& settings, const std::string& key,
                                                   const std::string& value)
{
    // A settings file reads "abc" as 0; on the command line it is a mistake.
    const SettingsField* field = FindSettingsField(key);
    if (field && field->kind != FieldKind::Text && !IsWholeNumber(value))
        return "Invalid value for " + key + ": \"" + value + "\" is not a whole number.";
    return ApplySettingValue(settings, key, value);
}

std::string SettingsText(const ProjectSettings& settings) { return FormatSettingsFile(settings); }

bool SaveSettingsForCommandLine(const std::string& path, const ProjectSettings& settings)
{
    std::string directory, fileName;
    SplitPath(path, directory, fileName);
    if (const auto problem = SaveSettingsFile(JoinPath(directory, SettingsFileNameFor(fileName)), settings)) {
        PrintMessage(*problem);
        return false;
    }
    return true;
}

}  // namespace kv::cli
