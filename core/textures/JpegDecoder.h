#pragma once
// JPEG decoding from memory through libjpeg, for images that are read back
// (a bump map turned into a normal map). Library errors are caught inside
// (setjmp/longjmp) and thrown as JpegDecodeError once the library's frames
// are left. A stream the library would only warn about (corrupt data, an
// early end it would fill in with grey) is refused too.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "core/textures/GreyImage.h"
#include "core/textures/Raster.h"

namespace kv {

class JpegDecodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The picture as red, green and blue (a grey JPEG comes out with R = G = B).
RgbImage DecodeJpegRgb(const std::uint8_t* data, std::size_t size);

// The picture's luminance: for a colour JPEG the library's own Y channel (the
// grey that the encoder computed from R, G and B as 0.299 R + 0.587 G +
// 0.114 B), for a grey one its samples.
GreyImage DecodeJpegGrey(const std::uint8_t* data, std::size_t size);

}  // namespace kv
