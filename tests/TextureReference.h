#pragma once
// A plain, slow reading of the terrain texture rules for small inputs, kept
// apart from the program's optimised synthesis to check it byte for byte.
// Rasters are full T x T byte arrays, each phase its own sweep.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/inputs/Bitmap24.h"
#include "core/inputs/HeightGrid.h"
#include "core/basics/Random.h"
#include "core/inputs/ProjectSettings.h"

namespace kv::ref {

using Bytes = std::vector<std::uint8_t>;

struct Textures {
    int size = 0;
    Bytes height, slope, noise, rc, em, ra;
};

// Height texture from the grid; also returns the cell size s.
Bytes HeightTexture(const HeightGrid& grid, int t, int& cell);
Bytes SlopeTexture(const Bytes& height, int t, int cell);
Bytes NoiseTexture(int t, Random& random);
// Tiles the green components of a picture 2 x 2.
Bytes TilePattern(const Bitmap24& picture);

int BandWeight(int v, int lo, int hi);

// Images by file name ("tex1.jpg", ...), each T x T x 3 RGB bytes.
std::map<std::string, Bytes> Synthesize(const ProjectSettings& settings, Textures textures, bool rocks);

}  // namespace kv::ref
