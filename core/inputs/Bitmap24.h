#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kv {

// The wording of a loader's messages; each text may hold one "%s" that is
// replaced by `subject` (the heightfield's "dir<sep>file", another loader's
// full path, or nothing for the atmosphere preview).
struct BitmapWording {
    std::string subject;
    std::string open;
    std::string fileHeader;
    std::string infoHeader;
    std::string bits24;
    std::string uncompressed;
    std::string allocation;
    std::string pixelRead;
    std::string tooLarge;

    // "Error getting handle to dir<sep>file." and the other heightfield texts.
    static BitmapWording Heightfield(const std::string& directory, const std::string& fileName);
    // "Error opening <path>." and the other texts of the placement, pattern and cloud loaders.
    static BitmapWording ForPath(const std::string& path);
    // "Error opening atmos preview bitmap." and the other atmosphere-preview texts.
    static BitmapWording AtmosPreview();
};

// The largest picture side accepted, in pixels.
inline constexpr std::int64_t kMaxBitmapSide = 16384;

// A loaded 24-bit uncompressed BMP picture.
struct Bitmap24 {
    std::int32_t width = 0;   // W, as stored
    std::int32_t height = 0;  // H, the absolute value of the stored height
    bool topDown = false;     // stored height below zero: rows top row first
    std::uint32_t stride = 0; // 3W + (W mod 4)
    std::vector<std::uint8_t> pixels;  // stride * H bytes; bytes the file lacks are 0

    // Blue, green, red of pixel (x, y), y counted from the top of the picture.
    const std::uint8_t* Pixel(int x, int y) const
    {
        const std::size_t row = topDown ? static_cast<std::size_t>(y) : static_cast<std::size_t>(height - 1 - y);
        return pixels.data() + row * stride + static_cast<std::size_t>(x) * 3;
    }
    std::uint8_t Red(int x, int y) const { return Pixel(x, y)[2]; }
    std::uint8_t Green(int x, int y) const { return Pixel(x, y)[1]; }
    std::uint8_t Blue(int x, int y) const { return Pixel(x, y)[0]; }
};

// A caller's limits on a picture's declared size, checked once the headers are
// read and before anything is allocated for the pixels: throws the caller's
// JobFailure when width x height is not acceptable.
using DeclaredSizeCheck = std::function<void(std::int32_t width, std::int32_t height)>;

// Reads a 24-bit uncompressed BMP by the common rules: 14-byte file header,
// the info header (its first 40 bytes), 24 bits per pixel, no compression,
// then the pixel rows. The rows start at the file header's pixel data offset
// when that lies between byte 54 and the end of the file (a 108- or 124-byte
// info header, a colour table), otherwise at byte 54; the block holds file
// size minus pixel data offset bytes. A short pixel block reads as black.
// Only regular files are opened (a FIFO or a device is refused without
// waiting for it). The declared size is checked against kMaxBitmapSide and
// `check` before any pixel memory is allocated. Throws JobFailure (title
// "Kelvane Message", system-modal, error icon) with the loader's wording on
// any failure; a failed open carries the system's reason.
Bitmap24 LoadBitmap24(const std::string& path, const BitmapWording& wording, const DeclaredSizeCheck& check = {});

// Same rules on bytes in memory (used by the fuzz target and the tests).
Bitmap24 DecodeBitmap24(const std::uint8_t* data, std::size_t size, const BitmapWording& wording,
                        const DeclaredSizeCheck& check = {});

// Encodes a picture as a bottom-up 24-bit BMP file (pixels given as R, G, B
// rows from the top). Used by the data tool and the tests.
std::vector<std::uint8_t> EncodeBmp24(int width, int height, const std::uint8_t* rgbTopDown);
bool WriteBmp24(const std::string& path, int width, int height, const std::uint8_t* rgbTopDown);

}  // namespace kv
