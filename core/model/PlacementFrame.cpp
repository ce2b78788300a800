#include "core/model/PlacementFrame.h"

#include <cmath>

#include "core/inputs/SliderTracks.h"


namespace kv {

namespace {

// Sine and cosine are evaluated in double on the float angle and stored as
// float, so every build computes the same frames.
float SinF(float angle) { return static_cast<float>(std::sin(static_cast<double>(angle))); }
float CosF(float angle) { return static_cast<float>(std::cos(static_cast<double>(angle))); }

// Scene coordinate of grid line `index` (0 to n-1), from -5 to 5.
float GridCoordinate(int index, int n)
{
    const float span = static_cast<float>(n - 1);
    return static_cast<float>(index * 10) / span - 5.0f;
}

}  // namespace

float DrawUnit(Random& random) { return static_cast<float>(random.Next()) / 32767.0f; }

float SizeFactor(int setting, const SizeRule& rule, float r)
{
    const float base = static_cast<float>(setting - (kSizeTrackStart - 1)) / rule.d;
    if (rule.fixed) return base;
    return base * (rule.k * r + rule.c);
}

PlacementFrame ComputePlacementFrame(Random& random, const HeightGrid& heights, int x, int y, int setting,
                                     const SizeRule& rule)
{
    PlacementFrame f;
    const int n = heights.n;
    const float span = static_cast<float>(n - 1);

    f.yaw = DrawUnit(random) * kTwoPi;
    f.tilt = kTilt;
    const float jitterX = DrawUnit(random);
    const float jitterY = DrawUnit(random);
    if (rule.fixed) {
        f.x = GridCoordinate(x, n);
        f.y = GridCoordinate(y, n);
    } else {
        // Up to half a grid spacing either way of the grid vertex.
        f.x = (jitterX - 0.5f) / span * 10.0f + GridCoordinate(x, n);
        f.y = (jitterY - 0.5f) / span * 10.0f + GridCoordinate(y, n);
    }
    // The height of the terrain vertex of this pixel, not of the jittered point.
    f.z = heights.At(x, y) / 76.5f / 3.0f;

    if (rule.fixed) {
        // The size draws are taken all the same: every rock advances the
        // generator by six.
        for (int i = 0; i < 3; ++i) random.Next();
        const float s = SizeFactor(setting, rule, 0.0f);
        f.size[0] = f.size[1] = f.size[2] = s;
    } else if (rule.draws == 3) {
        for (float& s : f.size) s = SizeFactor(setting, rule, DrawUnit(random));
    } else {
        const float s = SizeFactor(setting, rule, DrawUnit(random));
        f.size[0] = f.size[1] = f.size[2] = s;
    }

    f.sinA = SinF(f.yaw);
    f.cosA = CosF(f.yaw);
    f.sinB = SinF(f.tilt);
    f.cosB = CosF(f.tilt);
    return f;
}

void ComposeTransform(const PlacementFrame& f, const LocalMatrix& local, float rows[3][4])
{
    // R: a turn by the yaw about the scene's vertical axis, tipped by the tilt.
    const float r[3][3] = {
        {f.cosA, f.sinA, 0.0f},
        {-f.sinA * f.sinB, f.cosA * f.sinB, f.cosB},
        {f.sinA * f.cosB, f.cosA * f.cosB, f.sinB},
    };
    const float position[3] = {f.x, f.y, f.z};
    const auto& l = local.m;
    for (int i = 0; i < 3; ++i) {
        const float s = f.size[i];
        for (int j = 0; j < 3; ++j) rows[i][j] = s * (r[i][0] * l[0][j] + r[i][1] * l[1][j] + r[i][2] * l[2][j]);
        rows[i][3] = s * (r[i][0] * l[0][3] + r[i][1] * l[1][3] + r[i][2] * l[2][3]) + position[i];
    }
}

NodeFrame PlacedNodeFrame(const PlacementFrame& f, const LocalMatrix& local)
{
    NodeFrame frame;
    frame.precision = Precision::Single;
    frame.center = {f.x, f.y, f.z};
    frame.xAxis = {f.cosA, -f.sinA, 0.0f};
    frame.yAxis = {f.sinA * f.sinB, f.cosA * f.sinB, f.cosB};
    frame.zAxis = {-(f.cosB * f.sinA), f.cosA * f.cosB, f.sinB};
    float rows[3][4];
    ComposeTransform(f, local, rows);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) frame.transform.m[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = rows[r][c];
    return frame;
}

}  // namespace kv
