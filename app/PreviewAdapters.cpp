#include "app/PreviewAdapters.h"

#include <cstring>

namespace kv::app {

QImage ImageFromRgbRows(int width, int height, const std::uint8_t* rgb)
{
    QImage image(width, height, QImage::Format_RGB888);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), rgb + rowBytes * static_cast<std::size_t>(y), rowBytes);
    return image;
}

}  // namespace kv::app
