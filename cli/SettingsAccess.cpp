#include "cli/SettingsAccess.h"

#include <cstdio>

#include "platform/Paths.h"
#include "settings/SettingsFile.h"

namespace kv::cli {

namespace {

void PrintMessage(const Message& message)
{
    std::fprintf(stderr, "%s: %s\n", message.title.c_str(), message.text.c_str());
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
