#pragma once
#include <optional>
#include <string>

#include "core/inputs/ProjectSettings.h"

namespace kv::cli {

// The settings operations the command line needs, over the core's settings file.
// Each reports its problem on standard error and returns false / an error text.
bool LoadSettingsForCommandLine(const std::string& path, ProjectSettings& settings,
                                const std::string& programDirectory);
std::optional<std::string> ApplyCommandLineSetting(ProjectSettings& settings, const std::string& key,
                                                   const std::string& value);
std::string SettingsText(const ProjectSettings& settings);
bool SaveSettingsForCommandLine(const std::string& path, const ProjectSettings& settings);

}  // namespace kv::cli
