#pragma once
// The file-type filters of the window's Browse dialogs, in the form Qt's file
// dialogs take: filters separated by ";;", the first the one shown at first.
#include <QString>

namespace kv::app {

// The heightfield: every type together first, then each on its own and all
// files. The elevation types (GeoTIFF, SRTM .hgt, ESRI ASCII grid) are
// offered when the program reads them (`elevationData`: built with GDAL).
QString HeightfieldFilter(bool elevationData);

// The trees & rocks placement map: 24-bit BMP and 8-bit colour PNG.
QString PlacementFilter();

}  // namespace kv::app
