#pragma once
// Height grids the benchmarks share.
#include <cstddef>

#include "core/inputs/HeightGrid.h"

namespace kv::bench {

// An n x n grid of whole heights spread over 0..765 without flat runs, so that
// every number of the terrain text has its full width.
inline HeightGrid RippledGrid(int n)
{
    HeightGrid grid;
    grid.n = n;
    grid.heights.resize(static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            grid.heights[static_cast<std::size_t>(y) * static_cast<std::size_t>(n) + static_cast<std::size_t>(x)] =
                static_cast<float>((x * 7 + y * 13 + (x * y) % 97) % 766);
    return grid;
}

}  // namespace kv::bench
