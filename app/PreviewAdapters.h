#pragma once
// The two previews are computed by the core; these adapters run the core's
// computation and hand the window a picture it can draw (or the message of a
// failed load).
#include <QImage>

#include <cstdint>
#include <optional>
#include <string>

#include "core/basics/Messages.h"
#include "core/basics/Random.h"
#include "core/inputs/ProjectSettings.h"

namespace kv::app {

struct PreviewImage {
    QImage image;                   // null when the computation failed
    std::optional<Message> failure; // the load failure to show
};

// Copies an RGB picture (3 bytes a pixel, rows from the top) into an image.
QImage ImageFromRgbRows(int width, int height, const std::uint8_t* rgb);

// The 85 x 118 sky preview for the record's clouds list entry and its sky,
// cloud and fog colours, from the "~" cloud bitmap of the program directory.
PreviewImage ComputeAtmospherePreviewImage(const std::string& programDirectory, const ProjectSettings& settings);

// The 288 x 288 terrain texture preview of the record. Draws from the
// process-wide generator like a creation does; writes no file.
PreviewImage ComputeTerrainPreviewImage(const ProjectSettings& settings, const std::string& programDirectory,
                                        Random& random);

}  // namespace kv::app
