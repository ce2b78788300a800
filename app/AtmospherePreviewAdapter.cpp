#include <cstring>

#include "app/PreviewAdapters.h"

#include "texture/AtmospherePreview.h"

namespace kv::app {

PreviewImage ComputeAtmospherePreviewImage(const std::string& programDirectory, const ProjectSettings& settings)
{
    PreviewImage result;
    try {
        const AtmosPreviewPicture picture = ComputeAtmospherePreview(
            programDirectory, settings.atmosphereindex, settings.sky, settings.cloud, settings.fog);
        QImage image(picture.width, picture.height, QImage::Format_RGB888);
        const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * 3;
        for (int y = 0; y < picture.height; ++y)
            std::memcpy(image.scanLine(y), picture.rgb.data() + rowBytes * static_cast<std::size_t>(y), rowBytes);
        result.image = std::move(image);
    } catch (const JobFailure& failure) {
        result.failure = failure.message;
    }
    return result;
}

}  // namespace kv::app
