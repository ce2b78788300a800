#pragma once
#include <functional>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/FileSystem.h"
#include "scene/Messages.h"
#include "texture/ImageRows.h"

namespace kv {

enum class JpegStatus { Ok, CannotOpen, LibraryError };

// Encodes an RGB image (rows from the top, 3 bytes a pixel) as a baseline JPEG
// file through libjpeg: standard error manager, default parameters, the given
// quality with baseline tables forced, rows passed one at a time from the top.
// Library errors are caught inside (setjmp/longjmp, no C++ exception crosses
// the library's C frames) and returned as a status.
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
    // Writes every byte to `file`; false on a short write.
    bool WriteTo(std::FILE* file) const;
    std::string ToString() const;
    void Clear();

    struct Block;  // one allocation: a link, the bytes used, then the data

private:
    friend struct JpegMemoryDestination;
    Block* first_ = nullptr;
    Block* last_ = nullptr;
};

enum class JpegEncodeResult { Done, LibraryError, Cancelled };

// Encodes an image into memory with exactly the parameters of EncodeJpegFile,
// so the bytes equal those of the file it would write. `cancelled` (which must
// not throw) is asked before every row; when it answers true, encoding stops
// there (Cancelled).
JpegEncodeResult EncodeJpegToMemory(const ImageRows& image, int quality, JpegBytes& out,
                                    const std::function<bool()>& cancelled = {});

// Creates the file at `path` and writes the stream into it: CannotOpen when
// the file cannot be created, LibraryError when a write or the close fails.
JpegStatus WriteJpegBytes(const std::string& path, const JpegBytes& bytes);

// The free space below which a failed JPEG write is blamed on the disk.
inline constexpr std::uint64_t kLowDiskSpace = 16000000;

// The failure that ends the job after writing a JPEG file failed (status not
// Ok): a file that cannot be created prints "can't open <path>" on the
// standard error stream and reports "Error writing <path>."; a library or
// write error reports the low-disk-space wording when `sceneDirectory` has
// less than 16000000 bytes free, else "Error writing <path>." (title "Kelvane
// Error Message").
JobFailure JpegWriteFailure(JpegStatus status, const std::string& path, const std::string& sceneDirectory,
                            const FreeSpaceQuery& freeSpace);

// Writes a JPEG image of a creation at quality 100. On failure it throws the
// JpegWriteFailure.
void WriteJpeg(const std::string& path, const std::uint8_t* rgb, int width, int height,
               const std::string& sceneDirectory, const FreeSpaceQuery& freeSpace);

// The 18-byte header of an uncompressed 32-bit true-colour TGA with 8 alpha
// bits, origin at the lower left.
void TgaHeader32(std::uint8_t header[18], int width, int height);

// Writes a 32-bit TGA (pixels as blue, green, red, alpha, bottom row first).
bool WriteTga32(const std::string& path, int width, int height, const std::uint8_t* bgraBottomUp);

}  // namespace kv
