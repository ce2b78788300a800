#pragma once
#include <functional>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/platform/FileSystem.h"
#include "core/platform/TemporaryFileList.h"
#include "core/basics/Messages.h"
#include "core/textures/ImageRows.h"

namespace kv {

// CannotOpen: the file could not be created; LibraryError: the library failed
// or a write did (a full disk); OutOfMemory: the library ran out of memory.
enum class JpegStatus { Ok, CannotOpen, LibraryError, OutOfMemory };

// Encodes an RGB image (rows from the top, 3 bytes a pixel) as a baseline JPEG
// file through libjpeg: standard error manager, default parameters, the given
// quality with baseline tables forced, rows passed one at a time from the top.
// Library errors are caught inside (setjmp/longjmp, no C++ exception crosses
// the library's C frames) and returned as a status. The file is written whole
// and then takes its name (see WriteJpegBytes).
JpegStatus EncodeJpegFile(const std::string& path, const std::uint8_t* rgb, int width, int height, int quality);
JpegStatus EncodeJpegFile(const std::string& path, const ImageRows& image, int quality);

// A compressed JPEG stream held in memory, in blocks allocated with malloc
// (the library's destination callbacks must not throw).
class JpegBytes {
public:
    JpegBytes() = default;
    ~JpegBytes();
    JpegBytes(JpegBytes&& other) noexcept;
    JpegBytes& operator=(JpegBytes&& other) noexcept;
    JpegBytes(const JpegBytes&) = delete;
    JpegBytes& operator=(const JpegBytes&) = delete;

    std::size_t Size() const;
    // Hands the bytes to `sink` block by block, in order; stops and returns
    // false when the sink does.
    bool ForEachBlock(const std::function<bool(const std::uint8_t* data, std::size_t size)>& sink) const;
    std::string ToString() const;
    void Clear();

    struct Block;  // one allocation: a link, the bytes used, then the data

private:
    friend struct JpegMemoryDestination;
    Block* first_ = nullptr;
    Block* last_ = nullptr;
};

enum class JpegEncodeResult { Done, LibraryError, OutOfMemory, Cancelled };

// Encodes an image into memory with exactly the parameters of EncodeJpegFile,
// so the bytes equal those of the file it would write. `cancelled` (which must
// not throw) is asked before every row; when it answers true, encoding stops
// there (Cancelled).
JpegEncodeResult EncodeJpegToMemory(const ImageRows& image, int quality, JpegBytes& out,
                                    const std::function<bool()>& cancelled = {});

// Writes the stream as the whole new content of `path` (a temporary file
// beside it, renamed over it when complete; listed in `cleanup` meanwhile):
// CannotOpen when the file cannot be created, LibraryError when a write, the
// close or the rename fails. `error` (when given) receives the system's error.
JpegStatus WriteJpegBytes(const std::string& path, const JpegBytes& bytes, TemporaryFileList* cleanup,
                          int* error = nullptr);

// The free space below which a failed JPEG write is blamed on the disk.
inline constexpr std::uint64_t kLowDiskSpace = 16000000;

// The failure that ends the job after writing a JPEG file failed (status not
// Ok): a file that cannot be created prints "can't open <path>" on the
// standard error stream and reports "Error writing <path>."; a library or
// write error reports the low-disk-space wording when `sceneDirectory` has
// less than 16000000 bytes free, else "Error writing <path>." (title "Kelvane
// Error Message"); running out of memory is reported as such. `error`, the
// system's error number of a failed file operation, becomes the message's
// detail.
JobFailure JpegWriteFailure(JpegStatus status, const std::string& path, const std::string& sceneDirectory,
                            const FreeSpaceQuery& freeSpace, int error = 0);

// The message of a creation that ran out of memory.
JobFailure OutOfMemoryFailure();

// Writes a JPEG image of a creation at quality 100, whole. On failure it
// throws the JpegWriteFailure.
void WriteJpeg(const std::string& path, const std::uint8_t* rgb, int width, int height,
               const std::string& sceneDirectory, const FreeSpaceQuery& freeSpace, TemporaryFileList* cleanup);

// The 18-byte header of an uncompressed 32-bit true-colour TGA with 8 alpha
// bits, origin at the lower left.
void TgaHeader32(std::uint8_t header[18], int width, int height);

// Writes a 32-bit TGA (pixels as blue, green, red, alpha, bottom row first),
// whole.
bool WriteTga32(const std::string& path, int width, int height, const std::uint8_t* bgraBottomUp);

}  // namespace kv
