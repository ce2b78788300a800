#pragma once
#include <cstddef>
#include <optional>
#include <string>

#include "core/inputs/HeightPicture.h"

namespace kv {

// The user's overrides of the automatic choices for an elevation raster.
struct ElevationScale {
    // The heightfield's edge in pixels. 0 (or less): the raster square's own
    // edge, capped at the request's maxSide. A given edge above maxSide is
    // refused with the request's message.
    int edge = 0;
    // The metres that map onto 765, with 0 m onto 0, so that several tiles
    // share one vertical scale; elevations outside 0..range are clamped.
    // 0 (or less): the square's own range.
    double rangeMetres = 0;
};

// True when this build reads elevation rasters (it was built with GDAL).
bool ElevationInputAvailable();

// True when GDAL recognises the file as a raster it can open (always false
// without GDAL). Used for files that no signature identifies.
bool ElevationRasterRecognised(const std::string& path);

// Reads band 1 of an elevation raster (GeoTIFF, ESRI ASCII grid, SRTM .hgt
// whatever its name, anything else GDAL opens) as a square heightfield:
//  - the central square of the raster (a non-square raster is cropped to it;
//    its side must be within kMaxBitmapSide);
//  - resampled by GDAL to the edge of `scale` (average when shrinking, cubic
//    when enlarging, nothing at the same size), from a float copy of the
//    square so that integer rasters keep their fractions;
//  - elevations mapped onto 0..765 by ElevationsToHeights.
// Failures throw JobFailure naming the file and GDAL's reason ("Error reading
// the elevation data <file>: <reason>."). Without GDAL every call throws
// "<file> holds elevation data, which this build of Kelvane cannot read (it
// was built without GDAL).".
HeightPicture LoadElevationHeights(const std::string& path, const PictureRequest& request,
                                   const ElevationScale& scale);

// Maps elevations in metres, in place, onto heights 0..765 (computed in
// double, stored as float):
//  - cells equal to `noData`, and cells that are not finite, become 0;
//  - with `rangeMetres` above 0: 0 m..range -> 0..765, clamped at both ends;
//  - otherwise, when some cell is at or below 0 m the raster holds sea:
//    0 m..highest -> 0..765 and every cell at or below 0 m becomes 0;
//  - otherwise lowest..highest -> 0..765;
//  - a flat raster (no span to map) gives 0 everywhere.
void ElevationsToHeights(float* values, std::size_t count, std::optional<double> noData, double rangeMetres);

}  // namespace kv
