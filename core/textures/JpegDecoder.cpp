#include "core/textures/JpegDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

extern "C" {
#include <jpeglib.h>
}

namespace kv {

namespace {

struct DecodeErrors {
    jpeg_error_mgr standard;  // first member: libjpeg sees a jpeg_error_mgr*
    std::jmp_buf escape;
    char reason[JMSG_LENGTH_MAX];
};

extern "C" void KvJpegDecodeErrorExit(j_common_ptr info)
{
    DecodeErrors* errors = reinterpret_cast<DecodeErrors*>(info->err);
    (*info->err->format_message)(info, errors->reason);
    std::longjmp(errors->escape, 1);
}

// A warning (corrupt data, a stream that ends early, which the library would
// fill in with grey) ends the decoding as an error does; trace messages are
// dropped.
extern "C" void KvJpegDecodeMessage(j_common_ptr info, int level)
{
    if (level < 0) (*info->err->error_exit)(info);
}

// Where the decoded rows go: the caller sizes `pixels` from the header.
struct DecodeTarget {
    int components;  // 1 grey, 3 RGB
    int width;
    int height;
    std::uint8_t* (*allocate)(void* context, int width, int height);
    void* context;
};

// Reads the picture. The return point is set here; this frame holds no C++
// object with a destructor, and the allocation callback runs between library
// calls, never inside one.
bool Decode(const std::uint8_t* data, std::size_t size, DecodeTarget& target, DecodeErrors& errors,
            bool& allocationFailed)
{
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof info);
    info.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = KvJpegDecodeErrorExit;
    errors.standard.emit_message = KvJpegDecodeMessage;
    if (setjmp(errors.escape)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = target.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&info);
    target.width = static_cast<int>(info.output_width);
    target.height = static_cast<int>(info.output_height);
    std::uint8_t* pixels = target.allocate(target.context, target.width, target.height);
    if (!pixels) {
        allocationFailed = true;
        jpeg_destroy_decompress(&info);
        return false;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(target.width) * static_cast<std::size_t>(target.components);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels + static_cast<std::size_t>(info.output_scanline) * rowBytes;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

template <typename Image>
std::uint8_t* Allocate(void* context, int width, int height)
{
    try {
        *static_cast<Image*>(context) = Image(width, height);
        Image& image = *static_cast<Image*>(context);
        if constexpr (requires { image.rgb; })
            return image.rgb.data();
        else
            return image.grey.data();
    } catch (...) {
        return nullptr;
    }
}

template <typename Image>
Image DecodeInto(const std::uint8_t* data, std::size_t size, int components)
{
    if (!data || size == 0) throw JpegDecodeError("the JPEG stream is empty");
    if (size > std::numeric_limits<unsigned long>::max()) throw JpegDecodeError("the JPEG stream is too long");
    Image image;
    DecodeTarget target{components, 0, 0, Allocate<Image>, &image};
    DecodeErrors errors;
    std::memset(&errors, 0, sizeof errors);
    bool allocationFailed = false;
    if (!Decode(data, size, target, errors, allocationFailed)) {
        if (allocationFailed) throw JpegDecodeError("not enough memory for the decoded JPEG picture");
        throw JpegDecodeError(std::string("the JPEG stream cannot be decoded: ") +
                              (errors.reason[0] ? errors.reason : "unknown error"));
    }
    return image;
}

}  // namespace

RgbImage DecodeJpegRgb(const std::uint8_t* data, std::size_t size)
{
    return DecodeInto<RgbImage>(data, size, 3);
}

GreyImage DecodeJpegGrey(const std::uint8_t* data, std::size_t size)
{
    return DecodeInto<GreyImage>(data, size, 1);
}

}  // namespace kv
