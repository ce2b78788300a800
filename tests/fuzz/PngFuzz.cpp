// Feeds arbitrary bytes to the PNG readers, as a heightfield and as a
// placement map, each with the checks of the declared size its caller makes.
// Every input must either be refused with a JobFailure or give a picture
// within the size limit whose every height lies in 0..765 (and, when square,
// a height grid of such heights) and whose every pixel can be read.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/inputs/Bitmap24.h"
#include "core/inputs/HeightGrid.h"
#include "core/inputs/HeightPicture.h"
#include "core/inputs/PngInput.h"
#include "core/basics/Messages.h"

namespace {

void CheckHeights(const std::uint8_t* data, std::size_t size, const kv::PictureRequest& request)
{
    try {
        const kv::HeightPicture picture = kv::DecodePngHeights(data, size, request);
        if (picture.width < 1 || picture.height < 1 || picture.width > request.maxSide ||
            picture.height > request.maxSide)
            std::abort();
        if (picture.heights.size() != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height))
            std::abort();
        for (float h : picture.heights)
            if (!(h >= 0.0f && h <= 765.0f)) std::abort();
        if (picture.width != picture.height) return;
        kv::HeightPicture taken = picture;
        const kv::HeightGrid grid = kv::BuildHeightGrid(std::move(taken));
        if (grid.n != picture.width || grid.heights.size() != picture.heights.size()) std::abort();
        for (float h : grid.heights)
            if (!(h >= 0.0f && h <= 765.0f)) std::abort();
    } catch (const kv::JobFailure&) {
    }
}

void CheckColours(const std::uint8_t* data, std::size_t size, const kv::PictureRequest& request)
{
    try {
        const kv::Bitmap24 picture = kv::DecodePngColours(data, size, request);
        if (picture.width < 1 || picture.height < 1 || picture.width > request.maxSide ||
            picture.height > request.maxSide || !picture.topDown)
            std::abort();
        if (picture.stride != static_cast<std::uint32_t>(3 * picture.width + picture.width % 4) ||
            picture.pixels.size() != static_cast<std::size_t>(picture.stride) * static_cast<std::size_t>(picture.height))
            std::abort();
        unsigned sum = 0;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) sum += picture.Red(x, y) + picture.Green(x, y) + picture.Blue(x, y);
        (void)sum;
    } catch (const kv::JobFailure&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The texture limit of the largest resolution, as a heightfield meets it,
    // and the common limit, as a placement map does.
    kv::PictureRequest heightfield = kv::PictureRequest::ForPath("fuzz.png");
    heightfield.maxSide = 2304;
    CheckHeights(data, size, heightfield);
    CheckColours(data, size, kv::PictureRequest::ForPath("fuzz.png"));
    // The same with the callers' own rules on the declared size: square for a
    // heightfield, square and the heightfield's size for a placement map.
    heightfield.check = [](std::int32_t width, std::int32_t height) {
        if (width != height) throw kv::Failure("not square");
    };
    CheckHeights(data, size, heightfield);
    kv::PictureRequest placement = kv::PictureRequest::ForPath("fuzz.png");
    placement.check = [](std::int32_t width, std::int32_t height) {
        if (width != height || width > 64) throw kv::Failure("not the heightfield's size");
    };
    CheckColours(data, size, placement);
    return 0;
}
