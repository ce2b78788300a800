#pragma once
// Test assets for the glTF builder: a terrain-like height grid streamed into
// buffer views, and a small landscape that uses every feature the builder
// offers. Shared by the tests, the program that writes the files the Khronos
// validator checks, and the benchmarks.
#include <cstdint>
#include <memory>
#include <vector>

#include "core/textures/ImageOutput.h"
#include "core/writers/gltf/GltfDocument.h"

namespace kv::test {

// Heights on a square grid of n x n points one unit apart, Z up, centred on
// the origin: rolling hills.
struct HeightField {
    int n = 0;
    std::vector<float> heights;  // row j (y), column i (x): j * n + i

    float At(int i, int j) const { return heights[static_cast<std::size_t>(j) * n + i]; }
};

HeightField RollingHills(int n);

// The grid as one primitive: POSITION, NORMAL (from central differences, one
// sided at the edges), TANGENT (along x, made perpendicular to the normal)
// and TEXCOORD_0 (u from 0 to 1 along x, v from 1 to 0 along y) in four
// streamed views, and 32-bit indices, two triangles a cell, counter-clockwise
// seen from +Z, in a fifth. The field must outlive every write of the document.
gltf::Primitive AddGridPrimitive(gltf::GltfDocument& document, const HeightField& field);

// The bytes of a 32-bit TGA file as the program writes them (TgaHeader32,
// rows from the bottom, blue, green, red, alpha) of a picture given from the
// top: rgbaTopDown holds red, green, blue and alpha, top row first.
std::vector<std::uint8_t> TgaFile(int width, int height, const std::vector<std::uint8_t>& rgbaTopDown);

// A small Z-up landscape in a Y-up asset, built on every feature: a
// terrain-like grid (streamed) with a JPEG base colour (streamed from the
// encoder's own blocks), a PNG normal map made from a bump picture, a REPEAT
// sampler with mipmaps and KHR_texture_transform repeats; an unlit, blended
// dome seen from inside with a PNG made from a 1 x 256 TGA with alpha; a
// masked, double-sided leaf quad with a PNG made from a TGA, placed twice
// (by matrix and by translation, rotation and scale) under a group whose name
// has quotes and non-ASCII letters; a blended ocean quad with interleaved
// attributes; a directional and a point light; a camera; everything under a
// root node that turns Z up into Y up.
struct SyntheticAsset {
    std::unique_ptr<HeightField> field;
    std::unique_ptr<JpegBytes> groundJpeg;
    gltf::GltfDocument document;
};

std::unique_ptr<SyntheticAsset> MakeSyntheticAsset(int gridSize);

// Names of the asset's parts, for the tests that look for them.
inline constexpr const char* kTreesGroupName = "B\xC3\xA4ume \"am Hang\"";

}  // namespace kv::test
