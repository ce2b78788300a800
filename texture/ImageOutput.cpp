#include "texture/ImageOutput.h"

#include <csetjmp>
#include <cstdio>
#include <fstream>

extern "C" {
#include <jpeglib.h>
}

#include "scene/Messages.h"

namespace kv {

namespace {

struct ErrorManager {
    jpeg_error_mgr standard;  // first member: libjpeg sees a jpeg_error_mgr*
    std::jmp_buf escape;
};

// Fatal-error routine: the library's own message goes to standard error, then
// control returns to EncodeJpegFile's setjmp point.
extern "C" void JpegErrorExit(j_common_ptr info)
{
    ErrorManager* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->output_message)(info);
    std::longjmp(manager->escape, 1);
}

// Everything between setjmp and longjmp is plain data: no C++ object with a
// destructor lives in this frame.
JpegStatus Encode(std::FILE* file, const std::uint8_t* rgb, int width, int height, int quality)
{
    jpeg_compress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = JpegErrorExit;
    if (setjmp(errors.escape)) {
        jpeg_destroy_compress(&info);
        return JpegStatus::LibraryError;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + static_cast<std::size_t>(info.next_scanline) * rowBytes);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return JpegStatus::Ok;
}

}  // namespace

JpegStatus EncodeJpegFile(const std::string& path, const std::uint8_t* rgb, int width, int height, int quality)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return JpegStatus::CannotOpen;
    JpegStatus status = Encode(file, rgb, width, height, quality);
    // The standard destination flushes at finish; a full disk shows up here too.
    if (std::fflush(file) != 0 || std::ferror(file)) status = JpegStatus::LibraryError;
    if (std::fclose(file) != 0) status = JpegStatus::LibraryError;
    return status;
}

void WriteJpeg(const std::string& path, const std::uint8_t* rgb, int width, int height,
               const std::string& sceneDirectory, const FreeSpaceQuery& freeSpace)
{
    const JpegStatus status = EncodeJpegFile(path, rgb, width, height, 100);
    if (status == JpegStatus::Ok) return;
    if (status == JpegStatus::CannotOpen) {
        std::fprintf(stderr, "can't open %s\n", path.c_str());
        throw Failure(FormatMessage("Error writing %s.", {path}), kErrorTitle);
    }
    const std::optional<std::uint64_t> free = freeSpace ? freeSpace(sceneDirectory) : std::nullopt;
    if (free && *free < kLowDiskSpace)
        throw Failure(FormatMessage("Error writing %s (make sure you have enough free disk space and then start the "
                                    "creation process over again).",
                                    {path}),
                      kErrorTitle);
    JobFailure failure = Failure(FormatMessage("Error writing %s.", {path}), kErrorTitle);
    failure.message.modality = Modality::Modal;
    throw failure;
}

void TgaHeader32(std::uint8_t header[18], int width, int height)
{
    for (int i = 0; i < 18; ++i) header[i] = 0;
    header[2] = 2;
    header[12] = static_cast<std::uint8_t>(width & 0xff);
    header[13] = static_cast<std::uint8_t>((width >> 8) & 0xff);
    header[14] = static_cast<std::uint8_t>(height & 0xff);
    header[15] = static_cast<std::uint8_t>((height >> 8) & 0xff);
    header[16] = 32;
    header[17] = 8;
}

bool WriteTga32(const std::string& path, int width, int height, const std::uint8_t* bgraBottomUp)
{
    std::uint8_t header[18];
    TgaHeader32(header, width, height);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(header), 18);
    out.write(reinterpret_cast<const char*>(bgraBottomUp), static_cast<std::streamsize>(width) * height * 4);
    return static_cast<bool>(out);
}

}  // namespace kv
