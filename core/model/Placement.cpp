#include "core/model/Placement.h"

#include "core/basics/MessageTexts.h"

#include <cstdint>
#include <optional>

#include "core/inputs/Bitmap24.h"
#include "core/inputs/HeightSource.h"
#include "core/model/KindModels.h"
#include "core/platform/Paths.h"
#include "core/basics/Messages.h"

namespace kv {

namespace {

// The colour codes in the order a pixel is tested.
struct ColourCode {
    std::uint8_t red, green, blue;
    ObjectKind kind;
};

constexpr ColourCode kCodes[] = {
    {0, 0, 255, ObjectKind::Palmtree},  {0, 0, 196, ObjectKind::Birch},  {0, 0, 128, ObjectKind::Deadtree1},
    {0, 0, 64, ObjectKind::Deadtree2},  {0, 255, 0, ObjectKind::Fern},   {0, 196, 0, ObjectKind::Cactus},
    {0, 128, 0, ObjectKind::Evergreen}, {0, 64, 0, ObjectKind::Fir},     {255, 0, 0, ObjectKind::Boulder},
    {196, 0, 0, ObjectKind::Flatrock},  {128, 0, 0, ObjectKind::Rock},   {64, 0, 0, ObjectKind::Pebbles},
};

}  // namespace

std::optional<ObjectKind> KindOfColour(const std::uint8_t* bgr)
{
    const std::uint8_t blue = bgr[0], green = bgr[1], red = bgr[2];
    // Every code has exactly one non-zero component; most pixels of a
    // placement bitmap are rejected here.
    if ((red != 0) + (green != 0) + (blue != 0) != 1) return std::nullopt;
    for (const ColourCode& code : kCodes)
        if (code.red == red && code.green == green && code.blue == blue) return code.kind;
    return std::nullopt;
}

KindsUsed PlaceObjects(Scene& scene, const ProjectSettings& settings, const HeightGrid& heights, Random& random,
                       PlacementGroups groups, JobControl& control)
{
    KindsUsed kinds;
    const std::string path = JoinPath(settings.treedir, settings.treebmp);
    const int heightfieldSide = heights.n;
    // A 24-bit BMP or an 8-bit colour PNG, told by its content; the checks
    // below run on the declared size, before any pixel is allocated.
    const Bitmap24 picture =
        LoadPlacementSource(path, [heightfieldSide](std::int32_t width, std::int32_t height) {
            if (height != width) throw Failure(text::kPlacementSquare);
            if (width != heightfieldSide)
                throw Failure(text::kPlacementSize);
            // Positions divide by N - 1: a single pixel has no grid spacing.
            if (width < 2)
                throw Failure(text::kPlacementTwoPixels);
        });

    // Room for every node the placed objects make, so that the scene's node
    // list grows once rather than moving thousands of nodes as it doubles.
    const int n = picture.width;
    std::size_t nodesToCome = 0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            if (const std::optional<ObjectKind> kind = KindOfColour(picture.Pixel(x, y))) {
                const KindModel& model = ModelOfKind(*kind);
                nodesToCome += model.parts.size() + (model.groupName ? 1 : 0);
            }
    scene.ReserveNodes(scene.nodes().size() + nodesToCome);

    PlacedObjectBuilder builder(scene, settings.baseindex);
    for (int y = 0; y < n; ++y) {
        // Rows from the top; within a row from the right edge to the left, so
        // scan column x is picture column n-1-x, the height grid's column x.
        for (int x = 0; x < n; ++x) {
            const std::optional<ObjectKind> kind = KindOfColour(picture.Pixel(n - 1 - x, y));
            if (!kind) continue;
            kinds.Set(*kind);
            const KindModel& model = ModelOfKind(*kind);
            const int setting = model.rock ? settings.rockssize : settings.treessize;
            const PlacementFrame frame = ComputePlacementFrame(random, heights, x, y, setting, model.size);
            builder.Add(*kind, frame, model.rock ? groups.rocks : groups.trees);
        }
        control.CheckStop();
    }
    scene.SetKindsUsed(kinds);
    return kinds;
}

}  // namespace kv
