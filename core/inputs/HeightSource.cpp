#include "core/inputs/HeightSource.h"

#include "core/basics/MessageTexts.h"

#include <algorithm>

#include "core/inputs/HeightGrid.h"
#include "core/inputs/PictureFormat.h"
#include "core/inputs/PngInput.h"
#include "core/platform/Paths.h"
#include "core/basics/Messages.h"

namespace kv {

HeightSourceOptions HeightSourceOptionsFor(const ProjectSettings& settings, std::int64_t textureSize)
{
    HeightSourceOptions options;
    options.textureSize = textureSize;
    options.elevation.edge = settings.demedge;
    options.elevation.rangeMetres = settings.demrange;
    return options;
}

HeightPicture LoadHeightSource(const std::string& directory, const std::string& fileName,
                               const HeightSourceOptions& options)
{
    PictureRequest request = PictureRequest::Heightfield(directory, fileName, options.textureSize);
    const std::string path = request.subject;
    auto checkShape = [&path](std::int32_t width, std::int32_t height) {
        if (width != height) throw Failure(FormatMessage(text::kHeightfieldSquare, {path}));
        if (width < 2) throw Failure(FormatMessage(text::kHeightfieldTwoPixels, {path}));
    };
    request.check = checkShape;
    const PictureFormat format = SniffPictureFile(path);
    HeightPicture picture;
    if (format == PictureFormat::Png) {
        picture = LoadPngHeights(path, request);
    } else if (IsElevationFormat(format)) {
        picture = LoadElevationHeights(path, request, options.elevation);
    } else {
        const std::int64_t maxSide = std::min(request.maxSide, kMaxBitmapSide);
        return HeightsOfBitmap(LoadHeightfield(directory, fileName, static_cast<std::int32_t>(maxSide)));
    }
    checkShape(picture.width, picture.height);
    return picture;
}

Bitmap24 LoadPlacementSource(const std::string& path, const DeclaredSizeCheck& check)
{
    if (SniffPictureFile(path) == PictureFormat::Png) {
        PictureRequest request = PictureRequest::ForPath(path);
        request.check = check;
        return LoadPngColours(path, request);
    }
    return LoadBitmap24(path, BitmapWording::ForPath(path), check);
}

}  // namespace kv
