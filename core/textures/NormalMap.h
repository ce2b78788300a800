#pragma once
// Tangent-space normal maps for glTF, which has no bump maps, made from the
// height pictures the scene uses as bump maps.
//
// The rule. A height picture of W x H pixels, grey g from 0 to 255 (rows from
// the top, the picture tiling in both directions), stands for a relief of
// height amplitude * g / 255 over one repeat of the texture, the repeat taken
// as a square of side 1 in texture coordinates (u to the right, v down the
// picture as glTF has it). Slopes come from central differences, wrapping at
// the edges:
//   dh/du = amplitude * W * (g(x+1, y) - g(x-1, y)) / (2 * 255)
//   dh/dv = amplitude * H * (g(x, y+1) - g(x, y-1)) / (2 * 255)
// and the normal is n = normalize(-dh/du, +dh/dv, 1). The sign of the second
// component is glTF's: a normal map's +Y (green) points up the picture, the
// way v decreases, so a relief that rises down the picture faces up it.
// Each component is stored as round((n * 0.5 + 0.5) * 255): a flat picture
// gives (128, 128, 255).
//
// Why W and H: the slope per repeat is the slope per pixel times the pixels a
// repeat has. A bump amplitude so means the same relief whatever the picture's
// resolution (the terrain's bump maps come at 576, 1152 or 2304 pixels with
// one amplitude, 0.02) and whatever the repeats, which shrink or stretch the
// relief on the surface as they do the colours. On the program's own
// pictures the normals tilt on average by about 5, 27 and 43 degrees for the
// ocean's ripples at 0.01, 0.05 and 0.1 (calm, rippled, wavy), 33 to 43
// degrees for the terrain at 0.02 (Lo Res to Hi Res), 58 for palm bark at
// 0.5.
//
// The maps are pure functions of their inputs: safe on any thread, beside
// JPEG encoding on another.
#include <vector>

#include "core/textures/GreyImage.h"
#include "core/textures/ImageRows.h"
#include "core/textures/Raster.h"

namespace kv {

// The normal map of a grey height picture (at least 1 x 1), row by row as it
// is read: a JPEG encoder takes it without the whole map ever being held.
// Rows are computed into the caller's scratch, one caller at a time.
class NormalMapRows final : public ImageRows {
public:
    // `heights` must outlive the rows.
    NormalMapRows(const GreyImage& heights, double amplitude);
    int Width() const override { return heights_.width; }
    int Height() const override { return heights_.height; }
    const std::uint8_t* Row(int y, std::uint8_t* scratch) const noexcept override;

private:
    const GreyImage& heights_;
    float slopeU_ = 0.0f, slopeV_ = 0.0f;
    std::size_t padded_ = 0;
    mutable std::vector<float> across_, down_;
    mutable std::vector<std::uint8_t> planes_;
};

// The whole normal map of a grey height picture (at least 1 x 1). `check` is
// called after every row.
RgbImage NormalMapFromHeights(const GreyImage& heights, double amplitude, const RowCheck& check = {});

// The luminance of an RGB picture by the weights a JPEG encoder uses,
// (19595 R + 38470 G + 7471 B + 32768) >> 16 (0.299, 0.587, 0.114), which
// leaves a grey picture (R = G = B) as it is: a colour bump picture becomes
// heights this way.
GreyImage Luminance(const RgbImage& image);

}  // namespace kv
