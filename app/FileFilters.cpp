#include "app/FileFilters.h"

namespace kv::app {

QString HeightfieldFilter(bool elevationData)
{
    // Qt's dialogs match the patterns in either case.
    if (!elevationData)
        return "Heightfields (*.BMP *.PNG);;Bitmaps (*.BMP);;PNG Pictures (*.PNG);;All Files (*)";
    return "Heightfields (*.BMP *.PNG *.TIF *.TIFF *.HGT *.ASC);;Bitmaps (*.BMP);;PNG Pictures (*.PNG);;"
           "GeoTIFF Elevations (*.TIF *.TIFF);;SRTM Tiles (*.HGT);;ESRI ASCII Grids (*.ASC);;All Files (*)";
}

QString PlacementFilter() { return "Placement Maps (*.BMP *.PNG);;Bitmaps (*.BMP);;PNG Pictures (*.PNG)"; }

}  // namespace kv::app
