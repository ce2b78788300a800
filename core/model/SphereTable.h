#pragma once
// The fixed vertex tables of the sky dome "atmos" and the fog dome "fog",
// each number the value the table states (six decimals). The data is
// generated at build time by tools/envtables.

namespace kv {

// The dome: a unit sphere of 16 segments and 16 bands.
inline constexpr int kDomeSegments = 16;
inline constexpr int kDomeBands = 16;
inline constexpr int kDomeVertexCount = 2 + 16 * 15;  // two poles and 15 rings: 242
inline constexpr int kFogTextureVertexCount = 289;

// World vertex i of the dome (x, y, z): vertex 0 the top pole, vertex 1 the
// bottom pole, vertex 2 + 16(k - 1) + m the point of band k (1..15, top to
// bottom) and segment m (0..15). Shared by atmos and fog.
extern const double kDomeWorldVertices[kDomeVertexCount][3];

// Texture vertex i of atmos (u, v): world vertex i seen from above.
extern const double kAtmosTextureVertices[kDomeVertexCount][2];

// Texture vertices of fog (u, v), a wrap-around mapping:
//   0, 1        unused points (2, 1) and (2, 0);
//   2..241      world vertices 2..241 at u = m/16;
//   242..256    top-pole points of segments 0..14;
//   257, 259..272  the seam column u = -1/16 of bands 1 and 2..15;
//   258         the top-pole point of segment 15 (u = -1/32);
//   273..287    bottom-pole points of segments 0..14;
//   288         the bottom-pole point of segment 15.
extern const double kFogTextureVertices[kFogTextureVertexCount][2];

// Index helpers of the fog mapping.
constexpr int DomeVertex(int band, int segment) { return 2 + 16 * (band - 1) + segment; }
constexpr int FogSeamPoint(int band) { return band == 1 ? 257 : 257 + band; }
constexpr int FogTopPolePoint(int segment) { return segment == 15 ? 258 : 242 + segment; }
constexpr int FogBottomPolePoint(int segment) { return segment == 15 ? 288 : 273 + segment; }

}  // namespace kv
