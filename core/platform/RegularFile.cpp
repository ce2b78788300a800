#include "core/platform/RegularFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/platform/SystemReason.h"

namespace kv {

namespace {

int OpenChecked(const std::string& path, int& error, std::uint64_t* size)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    struct stat status;
    if (::fstat(fd, &status) != 0) {
        error = errno;
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(status.st_mode)) {
        error = S_ISDIR(status.st_mode) ? EISDIR : kNotARegularFile;
        ::close(fd);
        return -1;
    }
    // Reads of a regular file never block; clear the flag all the same so the
    // descriptor behaves as an ordinary one.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (size) *size = static_cast<std::uint64_t>(status.st_size);
    return fd;
}

}  // namespace

int OpenRegularFile(const std::string& path, int& error) { return OpenChecked(path, error, nullptr); }

std::FILE* OpenRegularFileStream(const std::string& path, int& error, std::uint64_t* size)
{
    const int fd = OpenChecked(path, error, size);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        error = errno;
        ::close(fd);
    }
    return file;
}

}  // namespace kv
