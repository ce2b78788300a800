#include "core/platform/ReplacementFile.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/platform/RegularFile.h"
#include "core/platform/SystemReason.h"

namespace kv {

namespace {

std::string DirectoryPart(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// ".kv" and six letters or digits: short enough that any target name that is
// valid on its own leaves room for it in the same directory.
std::string TemporaryNameIn(const std::string& directory)
{
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::uint64_t bits = (static_cast<std::uint64_t>(device()) << 32) ^ device();
    std::string name = directory + (directory == "/" ? ".kv" : "/.kv");
    for (int i = 0; i < 6; ++i) {
        name += kAlphabet[bits % 36];
        bits /= 36;
    }
    return name;
}

FileOutcome Failed(FileStep step, int error) { return FileOutcome{step, error}; }

FileOutcome WriteAll(int fd, const void* data, std::size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return Failed(FileStep::Write, errno);
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return {};
}

}  // namespace

std::string FileOutcome::Reason() const { return SystemReason(error); }

ReplacementFile::ReplacementFile(std::string target, TemporaryFileList* cleanup)
    : target_(std::move(target)), cleanup_(cleanup)
{
}

ReplacementFile::~ReplacementFile() { Discard(); }

FileOutcome ReplacementFile::Create()
{
    Discard();
    placed_ = false;
    const std::string directory = DirectoryPart(target_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = TemporaryNameIn(directory);
        // Listed before it exists, so that no moment passes in which a signal
        // could leave it behind.
        const int slot = cleanup_ ? cleanup_->Add(candidate) : -1;
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            slot_ = slot;
            temporary_ = std::move(candidate);
            return {};
        }
        const int error = errno;
        if (cleanup_) cleanup_->Remove(slot);
        if (error != EEXIST) return Failed(FileStep::Open, error);
    }
    return Failed(FileStep::Open, EEXIST);
}

FileOutcome ReplacementFile::Write(const void* data, std::size_t size)
{
    if (fd_ < 0) return Failed(FileStep::Write, EBADF);
    return WriteAll(fd_, data, size);
}

FileOutcome ReplacementFile::WriteAt(std::uint64_t position, const void* data, std::size_t size)
{
    if (fd_ < 0) return Failed(FileStep::Write, EBADF);
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(fd_, bytes, size, static_cast<off_t>(position));
        if (n < 0) {
            if (errno == EINTR) continue;
            return Failed(FileStep::Write, errno);
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
        position += static_cast<std::uint64_t>(n);
    }
    return {};
}

FileOutcome ReplacementFile::Close()
{
    if (fd_ < 0) return {};
    const int fd = fd_;
    fd_ = -1;
    // A network or quota file system may only report a failed write here.
    if (::close(fd) != 0 && errno != EINTR) return Failed(FileStep::Write, errno);
    return {};
}

FileOutcome ReplacementFile::PutInPlace()
{
    if (const FileOutcome closed = Close(); !closed.ok()) return closed;
    if (temporary_.empty()) return Failed(FileStep::Rename, ENOENT);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) return Failed(FileStep::Rename, errno);
    placed_ = true;
    if (cleanup_) cleanup_->Remove(slot_);
    slot_ = -1;
    temporary_.clear();
    return {};
}

void ReplacementFile::Discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty() && !placed_) ::unlink(temporary_.c_str());
    if (cleanup_) cleanup_->Remove(slot_);
    slot_ = -1;
    temporary_.clear();
}

FileOutcome WriteFileWhole(const std::string& target, const void* data, std::size_t size,
                           TemporaryFileList* cleanup)
{
    ReplacementFile file(target, cleanup);
    if (FileOutcome outcome = file.Create(); !outcome.ok()) return outcome;
    if (FileOutcome outcome = file.Write(data, size); !outcome.ok()) return outcome;
    return file.PutInPlace();
}

FileOutcome CopyFileWhole(const std::string& source, const std::string& target, TemporaryFileList* cleanup)
{
    int openError = 0;
    const int in = OpenRegularFile(source, openError);
    if (in < 0) return Failed(FileStep::Read, openError);
    ReplacementFile file(target, cleanup);
    FileOutcome outcome = file.Create();
    static constexpr std::size_t kChunk = std::size_t{1} << 20;
    std::unique_ptr<char[]> buffer(new char[kChunk]);
    while (outcome.ok()) {
        const ssize_t n = ::read(in, buffer.get(), kChunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            outcome = Failed(FileStep::Read, errno);
        } else if (n == 0) {
            break;
        } else {
            outcome = file.Write(buffer.get(), static_cast<std::size_t>(n));
        }
    }
    ::close(in);
    if (!outcome.ok()) return outcome;
    return file.PutInPlace();
}

}  // namespace kv
