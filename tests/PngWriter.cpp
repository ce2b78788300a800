#include "PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace kv::test {

int PngPicture::Channels() const
{
    switch (kind) {
    case Kind::Grey:
    case Kind::Palette:
        return 1;
    case Kind::GreyAlpha:
        return 2;
    case Kind::Rgb:
        return 3;
    case Kind::Rgba:
        return 4;
    }
    return 1;
}

namespace {

int ColourType(PngPicture::Kind kind)
{
    switch (kind) {
    case PngPicture::Kind::Grey:
        return PNG_COLOR_TYPE_GRAY;
    case PngPicture::Kind::GreyAlpha:
        return PNG_COLOR_TYPE_GRAY_ALPHA;
    case PngPicture::Kind::Rgb:
        return PNG_COLOR_TYPE_RGB;
    case PngPicture::Kind::Rgba:
        return PNG_COLOR_TYPE_RGB_ALPHA;
    case PngPicture::Kind::Palette:
        return PNG_COLOR_TYPE_PALETTE;
    }
    return PNG_COLOR_TYPE_GRAY;
}

extern "C" void AppendBytes(png_structp png, png_bytep data, png_size_t count)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

extern "C" void FlushNothing(png_structp) {}

// `rows` holds the packed rows (one byte per sample below 8 bits: libpng
// packs them). No object with a destructor lives in this frame.
bool Write(const PngPicture& picture, png_bytepp rows, std::vector<std::uint8_t>* out)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, AppendBytes, FlushNothing);
    png_set_compression_level(png, picture.compressionLevel);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height),
                 picture.bitDepth, ColourType(picture.kind),
                 picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (picture.kind == PngPicture::Kind::Palette) {
        png_color entries[256];
        const int count = static_cast<int>(picture.paletteRgb.size() / 3);
        for (int i = 0; i < count && i < 256; ++i)
            entries[i] = png_color{picture.paletteRgb[3 * i], picture.paletteRgb[3 * i + 1],
                                   picture.paletteRgb[3 * i + 2]};
        png_set_PLTE(png, info, entries, count);
        if (!picture.paletteAlpha.empty())
            png_set_tRNS(png, info, picture.paletteAlpha.data(), static_cast<int>(picture.paletteAlpha.size()),
                         nullptr);
    }
    if (picture.transparentGrey) {
        png_color_16 grey{};
        grey.gray = *picture.transparentGrey;
        png_set_tRNS(png, info, nullptr, 0, &grey);
    }
    png_write_info(png, info);
    if (picture.bitDepth < 8) png_set_packing(png);
    png_set_interlace_handling(png);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const PngPicture& picture)
{
    const int channels = picture.Channels();
    const std::size_t bytesPerSample = picture.bitDepth == 16 ? 2 : 1;
    const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * channels * bytesPerSample;
    std::vector<std::uint8_t> packed(rowBytes * static_cast<std::size_t>(picture.height));
    for (std::size_t i = 0; i < picture.samples.size() && i * bytesPerSample < packed.size(); ++i) {
        if (bytesPerSample == 2) {
            packed[2 * i] = static_cast<std::uint8_t>(picture.samples[i] >> 8);
            packed[2 * i + 1] = static_cast<std::uint8_t>(picture.samples[i] & 0xff);
        } else {
            packed[i] = static_cast<std::uint8_t>(picture.samples[i]);
        }
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y) rows[static_cast<std::size_t>(y)] = packed.data() + y * rowBytes;
    std::vector<std::uint8_t> out;
    if (!Write(picture, rows.data(), &out)) return {};
    return out;
}

}  // namespace kv::test
