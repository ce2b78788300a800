#include "core/model/Placement.h"

#include <cstdint>

#include "core/inputs/Bitmap24.h"
#include "core/model/PlacementFrame.h"
#include "core/model/RockModels.h"
#include "core/model/TreeModels.h"
#include "core/platform/Paths.h"
#include "core/basics/Messages.h"

namespace kv {

namespace {

// The colour codes in the order a pixel is tested, with their writers.
struct ColourCode {
    std::uint8_t red, green, blue;
    ModelWriter write;
};

constexpr ColourCode kCodes[] = {
    {0, 0, 255, WritePalmtree},  {0, 0, 196, WriteBirch},     {0, 0, 128, WriteDeadtree1},
    {0, 0, 64, WriteDeadtree2},  {0, 255, 0, WriteFern},      {0, 196, 0, WriteCactus},
    {0, 128, 0, WriteEvergreen}, {0, 64, 0, WriteFir},        {255, 0, 0, WriteBoulder},
    {196, 0, 0, WriteFlatrock},  {128, 0, 0, WriteRock},      {64, 0, 0, WritePebbles},
};

ModelWriter WriterFor(const std::uint8_t* bgr)
{
    const std::uint8_t blue = bgr[0], green = bgr[1], red = bgr[2];
    // Every code has exactly one non-zero component; most pixels of a
    // placement bitmap are rejected here.
    if ((red != 0) + (green != 0) + (blue != 0) != 1) return nullptr;
    for (const ColourCode& code : kCodes)
        if (code.red == red && code.green == green && code.blue == blue) return code.write;
    return nullptr;
}

}  // namespace

void PlaceObjects(CreationContext& ctx)
{
    ctx.kindsUsed.Clear();

    const std::string path = JoinPath(ctx.settings.treedir, ctx.settings.treebmp);
    const int heightfieldSide = ctx.heights.n;
    const Bitmap24 picture =
        LoadBitmap24(path, BitmapWording::ForPath(path), [heightfieldSide](std::int32_t width, std::int32_t height) {
            if (height != width) throw Failure("The bitmap used for trees and rocks placement must be square.");
            if (width != heightfieldSide)
                throw Failure(
                    "The bitmap used for trees and rocks placement must be the same size as the heightfield bitmap.");
            // Positions divide by N - 1: a single pixel has no grid spacing.
            if (width < 2)
                throw Failure("The bitmap used for trees and rocks placement must be at least 2 pixels wide.");
        });

    const int n = picture.width;
    for (int y = 0; y < n; ++y) {
        // Rows from the top; within a row from the right edge to the left, so
        // scan column x is picture column n-1-x, the height grid's column x.
        for (int x = 0; x < n; ++x) {
            if (ModelWriter write = WriterFor(picture.Pixel(n - 1 - x, y))) write(ctx, x, y);
        }
        ctx.control.CheckStop();
    }
}

}  // namespace kv
