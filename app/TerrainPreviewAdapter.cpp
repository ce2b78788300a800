#include "app/PreviewAdapters.h"
#include "core/textures/TerrainPreview.h"

namespace kv::app {

PreviewImage ComputeTerrainPreviewImage(const ProjectSettings& settings, const std::string& programDirectory,
                                        Random& random)
{
    PreviewImage result;
    try {
        const RgbImage picture = SynthesizePreview(settings, programDirectory, random);
        result.image = ImageFromRgbRows(picture.width, picture.height, picture.rgb.data());
    } catch (const JobFailure& failure) {
        result.failure = failure.message;
    } catch (const std::bad_alloc&) {
        result.failure = Message{"Not enough memory to compute the preview.", kErrorTitle, MessageIcon::Error,
                                 Modality::Modal};
    }
    return result;
}

}  // namespace kv::app
