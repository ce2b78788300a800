#pragma once
// What every tree and rock shares: the frame that puts one object onto the
// terrain (position, height, jitter, yaw, size factors) and the node frame
// computed from it.
#include <cstdint>

#include "core/basics/Random.h"
#include "core/inputs/HeightGrid.h"
#include "core/model/SceneModel.h"

namespace kv {

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

// The three rows of M = T * S * R * L for the frame and a part.
void ComposeTransform(const PlacementFrame& frame, const LocalMatrix& local, float rows[3][4]);

// The node frame of one node of a placed object: its pivot at the object's
// position, its axes turned by the yaw and tilt, and its transform M for the
// node's own local matrix; all single precision.
NodeFrame PlacedNodeFrame(const PlacementFrame& frame, const LocalMatrix& local);

}  // namespace kv
