#pragma once
#include <cstdint>
#include <string>

#include "core/inputs/Bitmap24.h"
#include "core/inputs/ElevationInput.h"
#include "core/inputs/HeightPicture.h"
#include "core/inputs/ProjectSettings.h"

namespace kv {

struct HeightSourceOptions {
    // The texture size of the chosen resolution: the largest heightfield side
    // a BMP or PNG may declare and the cap on an elevation raster's automatic
    // edge. 0: no texture limit, only the common one (the preview, which
    // shrinks what it is given).
    std::int64_t textureSize = kMaxBitmapSide;
    ElevationScale elevation;
};

// The options a creation (or, with textureSize 0, the preview) reads a
// heightfield with: the texture size and the settings' elevation overrides
// (demedge, demrange).
HeightSourceOptions HeightSourceOptionsFor(const ProjectSettings& settings, std::int64_t textureSize);

// Loads the heightfield dir<sep>file with the loader its content calls for
// (never its name): a PNG through libpng, an elevation raster through GDAL,
// anything else by the 24-bit BMP rules with their messages, exactly as
// LoadHeightfield reads it. Pictures must be square ("The heightfield bitmap
// <file> must be square.") and at least 2 pixels wide, both checked on the
// declared size before any pixel is allocated; an elevation raster is square
// by construction. Throws JobFailure.
HeightPicture LoadHeightSource(const std::string& directory, const std::string& fileName,
                               const HeightSourceOptions& options);

// Loads the placement bitmap at `path`: an 8-bit colour PNG through libpng,
// anything else by the 24-bit BMP rules with the messages of the loaders that
// name their full path. `check` (the placement's square and same-size rules)
// runs on the declared size before any pixel is allocated, whatever the
// format. Throws JobFailure.
Bitmap24 LoadPlacementSource(const std::string& path, const DeclaredSizeCheck& check = {});

}  // namespace kv
