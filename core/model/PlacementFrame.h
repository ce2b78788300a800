#pragma once
// What every tree and rock writer shares: the frame that puts one object onto
// the terrain (position, height, jitter, yaw, size factors) and the object
// header blocks computed from it.
#include <cstdint>
#include <string_view>

#include "core/inputs/HeightGrid.h"
#include "core/job/CreationContext.h"
#include "core/basics/Random.h"
#include "core/writers/scn/SceneWriter.h"

namespace kv {

// Writes one placed object of a kind at scan position (x, y): column x counted
// from the right edge of the placement bitmap, row y from its top.
using ModelWriter = void (*)(CreationContext& ctx, int x, int y);

// How a kind's size factors come from its size setting (treessize or
// rockssize, marker positions 415 to 495):
//   factor = float(setting - 414) / d * (k * r + c), r a fresh draw 0 to 1.
// `draws` is 1 (one factor for all three axes) or 3 (sx, sy, sz in this
// order). A fixed rule (pebbles) uses float(setting - 414) / d for all axes
// and lies exactly on the grid, yet still takes the same six draws as every
// other rock so the generator advances alike.
struct SizeRule {
    float d = 1.0f;
    float k = 0.0f;
    float c = 0.0f;
    int draws = 1;
    bool fixed = false;
};

// One size factor for the draw value r (0 to 1).
float SizeFactor(int setting, const SizeRule& rule, float r);

// A draw of the generator as a value from 0 to 1: float(g) / 32767.
float DrawUnit(Random& random);

// The placement of one object. All values single precision.
struct PlacementFrame {
    float x = 0.0f, y = 0.0f, z = 0.0f;  // scene position of the object's origin
    float yaw = 0.0f;                    // a, 0 to 2 pi
    float tilt = 0.0f;                   // b, always pi/2 rounded to float
    float sinA = 0.0f, cosA = 1.0f;
    float sinB = 1.0f, cosB = 0.0f;
    float size[3] = {1.0f, 1.0f, 1.0f};  // sx, sy, sz
};

inline constexpr float kTwoPi = 6.2831855f;
inline constexpr float kTilt = 1.5707964f;

// Computes the frame of the object at scan position (x, y) on the grid
// `heights`, drawing from `random` in this order: yaw, jitter in x, jitter in
// y, then the size draws of `rule` (three for a fixed rule, unused).
PlacementFrame ComputePlacementFrame(Random& random, const HeightGrid& heights, int x, int y, int setting,
                                     const SizeRule& rule);

// A part's own matrix: 3 by 3 linear part and, in column 3, its translation.
struct LocalMatrix {
    float m[3][4];
};

inline constexpr LocalMatrix kIdentityLocal{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}};

// The three written rows of M = T * S * R * L for the frame and a part.
void ComposeTransform(const PlacementFrame& frame, const LocalMatrix& local, float rows[3][4]);

// Chunk header, Name line, axes block and Transform block of one chunk of a
// placed object.
void WritePlacedHeader(SceneWriter& writer, std::string_view tag, std::string_view version, std::int32_t id,
                       std::int32_t parent, std::string_view name, const PlacementFrame& frame,
                       const LocalMatrix& local);

// Writes a stored mesh table (World Vertices through the last pair line) with
// CR LF line ends; a table without a final line end is ended all the same.
void WriteMeshTable(SceneWriter& writer, std::string_view meshName);

// The colour and surface lines every tree and rock material carries.
inline constexpr std::string_view kModelRgb = "rgb 0.729412,0.666667,0.486275";
inline constexpr std::string_view kModelSurface = "alpha 1  ka 0  ks 0  exp 0  ior 1";

}  // namespace kv
