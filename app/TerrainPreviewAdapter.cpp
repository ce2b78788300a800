#include "app/PreviewAdapters.h"

#if __has_include("texture/TerrainPreview.h")
#include "texture/TerrainPreview.h"
#define KV_HAVE_TERRAIN_PREVIEW 1
#endif

namespace kv::app {

PreviewImage ComputeTerrainPreviewImage(const ProjectSettings& settings, const std::string& programDirectory,
                                        Random& random)
{
    PreviewImage result;
#ifdef KV_HAVE_TERRAIN_PREVIEW
    try {
        const RgbImage picture = SynthesizePreview(settings, programDirectory, random);
        result.image = ImageFromRgbRows(picture.width, picture.height, picture.rgb.data());
    } catch (const JobFailure& failure) {
        result.failure = failure.message;
    } catch (const std::bad_alloc&) {
        result.failure = Message{"Not enough memory to compute the preview.", kErrorTitle, MessageIcon::Error,
                                 Modality::Modal};
    }
#else
    (void)settings;
    (void)programDirectory;
    (void)random;
    result.failure = Message{"The terrain preview is not available in this build.", kMessageTitle,
                             MessageIcon::Error, Modality::Modal};
#endif
    return result;
}

}  // namespace kv::app
