#include "core/inputs/HeightPicture.h"

#include "core/basics/MessageTexts.h"

#include <algorithm>
#include <stdexcept>

#include "core/platform/Paths.h"
#include "core/basics/Messages.h"

namespace kv {

HeightPicture HeightsOfBitmap(const Bitmap24& picture)
{
    const std::size_t rows = picture.height > 0 ? static_cast<std::size_t>(picture.height) : 0;
    if (picture.width < 0 || picture.pixels.size() < rows * picture.stride)
        throw std::invalid_argument("HeightsOfBitmap needs a picture with all its rows");
    HeightPicture out;
    out.width = picture.width;
    out.height = picture.height;
    out.heights.resize(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height));
    float* next = out.heights.data();
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* bgr = picture.Pixel(x, y);
            *next++ = static_cast<float>(bgr[0] + bgr[1] + bgr[2]);
        }
    }
    return out;
}

PictureRequest PictureRequest::Heightfield(const std::string& directory, const std::string& fileName,
                                           std::int64_t textureSize)
{
    PictureRequest request;
    request.subject = JoinPath(directory, fileName);
    request.maxSide = textureSize > 0 ? std::min(textureSize, kMaxBitmapSide) : kMaxBitmapSide;
    request.overMaxSide = text::kHeightfieldLargerThanTextures;
    return request;
}

PictureRequest PictureRequest::ForPath(const std::string& path)
{
    PictureRequest request;
    request.subject = path;
    return request;
}

void CheckDeclaredSize(std::int64_t width, std::int64_t height, const PictureRequest& request)
{
    const std::int64_t side = std::max(width, height);
    if (side > kMaxBitmapSide) throw Failure(FormatMessage(text::kTooLarge, {request.subject}));
    if (side > request.maxSide) throw Failure(FormatMessage(request.overMaxSide, {request.subject}));
    if (request.check) request.check(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
}

}  // namespace kv
