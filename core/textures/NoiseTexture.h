#pragma once
// The noise texture: independent uniform random bytes from the program's generator.
#include <cstdint>

#include "core/basics/Random.h"
#include "core/textures/Raster.h"

namespace kv {

// The noise byte of a generator value r (0 to 32767): trunc(float(r) / 32767 * 255)
// in single precision.
std::uint8_t NoiseByte(int r);

// The generator state after `draws` further draws from `state`.
std::uint32_t AdvanceRandomState(std::uint32_t state, std::uint64_t draws);

// Fills rows [firstRow, endRow) of `noise` with noise bytes, pixel by pixel
// from the top left, drawing from `random`, which must stand where row
// `firstRow` begins. `check` runs after every row.
void FillNoiseRows(Raster& noise, int firstRow, int endRow, Random& random, const RowCheck& check = {});

// A size x size noise raster drawn from `random` row by row from the top, left
// to right; the generator runs on by size * size draws.
Raster BuildNoiseTexture(int size, Random& random, const RowCheck& check = {});

}  // namespace kv
