#include "texture/ImageRows.h"

#include <cstring>
#include <vector>

namespace kv {

RgbImage ToRgbImage(const ImageRows& rows)
{
    RgbImage image(rows.Width(), rows.Height());
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
    std::vector<std::uint8_t> scratch(rowBytes);
    for (int y = 0; y < image.height; ++y) std::memcpy(image.Row(y), rows.Row(y, scratch.data()), rowBytes);
    return image;
}

}  // namespace kv
