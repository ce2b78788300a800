#include "app/PreviewAdapters.h"
#include "core/textures/AtmospherePreview.h"

namespace kv::app {

PreviewImage ComputeAtmospherePreviewImage(const std::string& programDirectory, const ProjectSettings& settings)
{
    PreviewImage result;
    try {
        const AtmosPreviewPicture picture = ComputeAtmospherePreview(
            programDirectory, settings.atmosphereindex, settings.sky, settings.cloud, settings.fog);
        result.image = ImageFromRgbRows(picture.width, picture.height, picture.rgb.data());
    } catch (const JobFailure& failure) {
        result.failure = failure.message;
    }
    return result;
}

}  // namespace kv::app
