#include "core/inputs/HeightSource.h"

#include "core/basics/MessageTexts.h"

#include "core/inputs/HeightGrid.h"
#include "core/inputs/PictureFormat.h"
#include "core/inputs/PngInput.h"
#include "core/platform/Paths.h"
#include "core/basics/Messages.h"

namespace kv {

HeightPicture LoadHeightSource(const std::string& directory, const std::string& fileName,
                               const HeightSourceOptions& options)
{
    const PictureRequest request = PictureRequest::Heightfield(directory, fileName, options.textureSize);
    const std::string& path = request.subject;
    const PictureFormat format = SniffPictureFile(path);
    HeightPicture picture;
    if (format == PictureFormat::Png) {
        picture = LoadPngHeights(path, request);
    } else if (IsElevationFormat(format)) {
        picture = LoadElevationHeights(path, request, options.elevation);
    } else {
        return HeightsOfBitmap(LoadHeightfield(directory, fileName));
    }
    if (picture.width != picture.height)
        throw Failure(FormatMessage(text::kHeightfieldSquare, {path}));
    if (picture.width < 2)
        throw Failure(FormatMessage(text::kHeightfieldTwoPixels, {path}));
    return picture;
}

Bitmap24 LoadPlacementSource(const std::string& path)
{
    if (SniffPictureFile(path) == PictureFormat::Png) return LoadPngColours(path, PictureRequest::ForPath(path));
    return LoadBitmap24(path, BitmapWording::ForPath(path));
}

}  // namespace kv
