#include "core/platform/ProgramDirectory.h"

#include <cstdlib>
#include <filesystem>

#include "core/platform/Paths.h"

#ifdef _WIN32
#include <windows.h>
#elif defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

namespace kv {

namespace fs = std::filesystem;

std::string ExecutableDirectory()
{
    std::error_code ec;
#ifdef _WIN32
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    if (n > 0 && n < MAX_PATH) return NormaliseDirectory(fs::path(buffer).parent_path().string());
#elif defined(__APPLE__)
    char buffer[4096];
    uint32_t size = sizeof buffer;
    if (_NSGetExecutablePath(buffer, &size) == 0)
        return NormaliseDirectory(fs::canonical(buffer, ec).parent_path().string());
#else
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return NormaliseDirectory(self.parent_path().string());
#endif
    return NormaliseDirectory(fs::current_path(ec).string());
}

std::string LocateProgramDirectory(const std::string& explicitDir)
{
    if (!explicitDir.empty()) return NormaliseDirectory(explicitDir);
    if (const char* home = std::getenv("KELVANE_HOME"); home && *home) return NormaliseDirectory(home);
    const std::string exeDir = ExecutableDirectory();
    std::error_code ec;
    const fs::path beside = fs::path(exeDir) / "kelvane-data";
    if (fs::is_directory(beside, ec)) return NormaliseDirectory(beside.string());
    const fs::path installed = fs::path(exeDir) / ".." / "share" / "kelvane";
    if (fs::is_directory(installed, ec)) return NormaliseDirectory(installed.string());
    return NormaliseDirectory(beside.string());
}

}  // namespace kv
