#pragma once
#include <cstdint>
#include <string>

#include "platform/FileSystem.h"

namespace kv {

enum class JpegStatus { Ok, CannotOpen, LibraryError };

// Encodes an RGB image (rows from the top, 3 bytes a pixel) as a baseline JPEG
// file through libjpeg: standard error manager, default parameters, the given
// quality with baseline tables forced, rows passed one at a time from the top.
// Library errors are caught inside (setjmp/longjmp, no C++ exception crosses
// the library's C frames) and returned as a status.
JpegStatus EncodeJpegFile(const std::string& path, const std::uint8_t* rgb, int width, int height, int quality);

// The free space below which a failed JPEG write is blamed on the disk.
inline constexpr std::uint64_t kLowDiskSpace = 16000000;

// Writes a JPEG image of a creation at quality 100. On failure it throws
// JobFailure: a file that cannot be created prints "can't open <path>" on the
// standard error stream and reports "Error writing <path>."; a library error
// reports the low-disk-space wording when `sceneDirectory` has less than
// 16000000 bytes free, else "Error writing <path>." (title "Kelvane Error Message").
void WriteJpeg(const std::string& path, const std::uint8_t* rgb, int width, int height,
               const std::string& sceneDirectory, const FreeSpaceQuery& freeSpace);

// The 18-byte header of an uncompressed 32-bit true-colour TGA with 8 alpha
// bits, origin at the lower left.
void TgaHeader32(std::uint8_t header[18], int width, int height);

// Writes a 32-bit TGA (pixels as blue, green, red, alpha, bottom row first).
bool WriteTga32(const std::string& path, int width, int height, const std::uint8_t* bgraBottomUp);

}  // namespace kv
