#include "app/PreviewAdapters.h"

namespace kv::app {

PreviewImage ComputeTerrainPreviewImage(const ProjectSettings&, const std::string&, Random&)
{
    PreviewImage result;
    result.failure = Message{"The terrain preview is not available in this build.", kMessageTitle,
                             MessageIcon::Error, Modality::Modal};
    return result;
}

}  // namespace kv::app
