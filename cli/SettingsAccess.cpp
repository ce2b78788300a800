#include "cli/SettingsAccess.h"

#include <cstdio>

namespace kv::cli {

bool LoadSettingsForCommandLine(const std::string& path, ProjectSettings&, const std::string&)
{
    std::fprintf(stderr, "Kelvane Error Message: settings files cannot be read yet (%s)\n", path.c_str());
    return false;
}

std::optional<std::string> ApplyCommandLineSetting(ProjectSettings& settings, const std::string& key,
                                                   const std::string& value)
{
    if (key == "basebmp") settings.basebmp = value;
    else if (key == "basedir") settings.basedir = value;
    else if (key == "treebmp") settings.treebmp = value;
    else if (key == "treedir") settings.treedir = value;
    else return "unknown settings key \"" + key + "\"";
    return std::nullopt;
}

std::string SettingsText(const ProjectSettings&) { return {}; }

bool SaveSettingsForCommandLine(const std::string&, const ProjectSettings&) { return false; }

}  // namespace kv::cli
