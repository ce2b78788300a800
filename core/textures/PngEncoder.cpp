#include "core/textures/PngEncoder.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace kv {

namespace {

// Everything libpng's callbacks touch. Plain data only: libpng leaves its C
// frames with longjmp, so nothing on the way may need a destructor. The bytes
// grow in a malloc block, since the write callback must not throw.
struct PngTarget {
    std::uint8_t* data;
    std::size_t size;
    std::size_t capacity;
    char reason[200];
};

extern "C" void KvPngEncodeError(png_structp png, png_const_charp message)
{
    PngTarget* target = static_cast<PngTarget*>(png_get_error_ptr(png));
    std::snprintf(target->reason, sizeof target->reason, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
}

extern "C" void KvPngEncodeWarning(png_structp, png_const_charp) {}

extern "C" void KvPngEncodeAppend(png_structp png, png_bytep bytes, png_size_t count)
{
    PngTarget* target = static_cast<PngTarget*>(png_get_io_ptr(png));
    if (count > target->capacity - target->size) {
        std::size_t capacity = target->capacity ? target->capacity : 64 * 1024;
        while (capacity - target->size < count) capacity *= 2;
        void* grown = std::realloc(target->data, capacity);
        if (!grown) png_error(png, "out of memory");
        target->data = static_cast<std::uint8_t*>(grown);
        target->capacity = capacity;
    }
    std::memcpy(target->data + target->size, bytes, count);
    target->size += count;
}

extern "C" void KvPngEncodeFlush(png_structp) {}

int ColourType(PngPixels format)
{
    switch (format) {
    case PngPixels::Grey: return PNG_COLOR_TYPE_GRAY;
    case PngPixels::Rgb: return PNG_COLOR_TYPE_RGB;
    case PngPixels::Rgba: break;
    }
    return PNG_COLOR_TYPE_RGB_ALPHA;
}

int BytesPerPixel(PngPixels format)
{
    switch (format) {
    case PngPixels::Grey: return 1;
    case PngPixels::Rgb: return 3;
    case PngPixels::Rgba: break;
    }
    return 4;
}

// Writes the whole file. The return point is set here; this frame holds no
// C++ object with a destructor.
bool Encode(png_structp png, png_infop info, PngTarget& target, const PngSource& source, std::size_t rowBytes,
            int compressionLevel)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, &target, KvPngEncodeAppend, KvPngEncodeFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(source.width), static_cast<png_uint_32>(source.height), 8,
                 ColourType(source.format), PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, compressionLevel);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_write_info(png, info);
    if (source.blueFirst && source.format != PngPixels::Grey) png_set_bgr(png);
    for (int y = 0; y < source.height; ++y) {
        const int row = source.bottomUp ? source.height - 1 - y : y;
        png_write_row(png, source.pixels + static_cast<std::size_t>(row) * rowBytes);
    }
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const PngSource& source, int compressionLevel)
{
    if (!source.pixels || source.width < 1 || source.height < 1 || source.width > 1000000 ||
        source.height > 1000000)
        throw PngEncodeError("a PNG picture has 1 to 1000000 pixels an edge");
    if (compressionLevel < 0 || compressionLevel > 9) throw PngEncodeError("PNG compression levels run from 0 to 9");
    const std::size_t packed = static_cast<std::size_t>(source.width) * BytesPerPixel(source.format);
    const std::size_t rowBytes = source.rowBytes ? source.rowBytes : packed;
    if (rowBytes < packed) throw PngEncodeError("PNG rows are shorter than their pixels");

    PngTarget target;
    std::memset(&target, 0, sizeof target);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &target, KvPngEncodeError, KvPngEncodeWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool done = png && info && Encode(png, info, target, source, rowBytes, compressionLevel);
    if (png) png_destroy_write_struct(&png, info ? &info : nullptr);

    std::vector<std::uint8_t> bytes;
    std::string reason = target.reason[0] ? target.reason : "out of memory";
    if (done) {
        try {
            bytes.assign(target.data, target.data + target.size);
        } catch (...) {
            std::free(target.data);
            throw;
        }
    }
    std::free(target.data);
    if (!done) throw PngEncodeError("libpng could not encode the picture: " + reason);
    return bytes;
}

std::vector<std::uint8_t> TgaToPng(const std::uint8_t* tga, std::size_t size, int compressionLevel)
{
    constexpr std::size_t kHeader = 18;
    if (size < kHeader) throw PngEncodeError("the TGA file is shorter than its header");
    const std::size_t idLength = tga[0];
    const int colourMapType = tga[1];
    const int imageType = tga[2];
    const int width = tga[12] | tga[13] << 8;
    const int height = tga[14] | tga[15] << 8;
    const int bitsPerPixel = tga[16];
    const int descriptor = tga[17];
    if (colourMapType != 0 || imageType != 2 || bitsPerPixel != 32 || (descriptor & 0x0f) != 8)
        throw PngEncodeError("the TGA file is not uncompressed 32-bit true colour with 8 alpha bits");
    if (descriptor & 0x10) throw PngEncodeError("the TGA file's rows run from the right");
    if (width < 1 || height < 1) throw PngEncodeError("the TGA file holds no pixels");
    const std::size_t pixelBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    if (size - kHeader < idLength || size - kHeader - idLength < pixelBytes)
        throw PngEncodeError("the TGA file ends before its last pixel");

    PngSource source;
    source.pixels = tga + kHeader + idLength;
    source.width = width;
    source.height = height;
    source.format = PngPixels::Rgba;
    source.bottomUp = (descriptor & 0x20) == 0;
    source.blueFirst = true;
    return EncodePng(source, compressionLevel);
}

}  // namespace kv
