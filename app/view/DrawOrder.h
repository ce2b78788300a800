#pragma once
// The order in which the view draws its instances each frame. Opaque things
// (alpha-masked leaves included) go first, nearest first, so that the depth
// test spares the work behind them; things that enclose the camera (the sky
// dome) come after them, since everything else lies in front of them. The
// blended things follow with depth writes off: first those that enclose the
// camera (the fog dome), largest first, then the others farthest first (the
// water), so that each blends over what lies behind it. A dome is made to be
// seen from inside: with the camera outside its box (high above the land, or
// zoomed out past the sky) it is left out, or it would hide the land.
#include <QVector3D>

#include <vector>

namespace kv::view {

struct DrawCandidate {
    QVector3D boxMin;  // the instance's box in the scene's coordinates
    QVector3D boxMax;
    bool blended = false;
    bool dome = false;  // unlit, seen from inside only
};

// Indices into `candidates` in drawing order, domes the camera is outside of
// left out; the opaque ones first, then the blended ones.
std::vector<int> DrawOrder(const std::vector<DrawCandidate>& candidates, const QVector3D& eye);

}  // namespace kv::view
