#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/platform/TemporaryFileList.h"

namespace kv {

// Which step of writing or copying a file failed, with the system's error
// number, so that messages can name the step and the reason.
enum class FileStep { None, Open, Read, Write, Rename };

struct FileOutcome {
    FileStep failed = FileStep::None;
    int error = 0;  // errno of the failed step; 0 when there is none

    bool ok() const { return failed == FileStep::None; }
    // The system's wording of `error` ("No space left on device"), or "".
    std::string Reason() const;
};

// A file written whole before it takes its name: the bytes go to a temporary
// file with a short unique name (".kv" and six characters) in the target's own
// directory, which is renamed over the target only when complete. Renaming
// replaces whatever entry has the target's name, a symbolic link included,
// and never writes through it; two writers of one target leave the complete
// file of one of them. The temporary file is removed unless it was put in
// place, and is listed in `cleanup` (when given) while it exists.
class ReplacementFile {
public:
    ReplacementFile(std::string target, TemporaryFileList* cleanup);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Creates the temporary file.
    FileOutcome Create();
    // Writes every byte (unbuffered: callers buffer).
    FileOutcome Write(const void* data, std::size_t size);
    // Writes at an earlier position (the file position is kept).
    FileOutcome WriteAt(std::uint64_t position, const void* data, std::size_t size);
    // Closes the temporary file; its bytes are complete.
    FileOutcome Close();
    // Renames the closed temporary file over the target.
    FileOutcome PutInPlace();
    // Closes and removes the temporary file (nothing happens after PutInPlace).
    void Discard();

    const std::string& target() const { return target_; }
    const std::string& temporaryPath() const { return temporary_; }
    bool IsOpen() const { return fd_ >= 0; }

private:
    std::string target_;
    std::string temporary_;
    TemporaryFileList* cleanup_;
    int slot_ = -1;
    int fd_ = -1;
    bool placed_ = false;
};

// Writes `size` bytes as the whole new content of `target`.
FileOutcome WriteFileWhole(const std::string& target, const void* data, std::size_t size,
                           TemporaryFileList* cleanup);

// Copies `source` (a regular file) over `target`, whole.
FileOutcome CopyFileWhole(const std::string& source, const std::string& target, TemporaryFileList* cleanup);

}  // namespace kv
