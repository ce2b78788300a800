#include "core/platform/FileSystem.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "core/platform/Paths.h"

#ifdef _WIN32
#include <io.h>
#include <process.h>
#define KV_GETPID _getpid
#else
#include <fcntl.h>
#include <unistd.h>
#define KV_GETPID getpid
#endif

namespace kv {

namespace fs = std::filesystem;

std::optional<std::uint64_t> QueryFreeSpace(const std::string& directory)
{
    std::error_code ec;
    const fs::space_info info = fs::space(fs::path(directory), ec);
    if (ec || info.available == static_cast<std::uintmax_t>(-1)) return std::nullopt;
    return static_cast<std::uint64_t>(info.available);
}

namespace {

std::string UniqueSuffix()
{
    static std::atomic<unsigned> counter{0};
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return std::to_string(KV_GETPID()) + "-" + std::to_string(counter.fetch_add(1)) + "-" +
           std::to_string(static_cast<unsigned long long>(ticks) % 1000000007ULL);
}

// Creates `path` only if it does not exist yet.
bool CreateExclusively(const std::string& path)
{
#ifdef _WIN32
    FILE* f = std::fopen(path.c_str(), "wbx");
    if (!f) return false;
    std::fclose(f);
    return true;
#else
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) return false;
    ::close(fd);
    return true;
#endif
}

}  // namespace

std::optional<std::uint64_t> FileSize(const std::string& path)
{
    std::error_code ec;
    const auto size = fs::file_size(fs::path(path), ec);
    if (ec) return std::nullopt;
    return static_cast<std::uint64_t>(size);
}

std::string TemporaryDirectory()
{
    std::error_code ec;
    const fs::path dir = fs::temp_directory_path(ec);
    return NormaliseDirectory(ec ? std::string("/tmp") : dir.string());
}

std::string CreateUniqueTemporaryFile(const std::string& stem)
{
    const std::string dir = TemporaryDirectory();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = JoinPath(dir, stem + "-" + UniqueSuffix() + ".tmp");
        if (CreateExclusively(path)) return path;
        if (errno != EEXIST) return {};
    }
    return {};
}

}  // namespace kv
