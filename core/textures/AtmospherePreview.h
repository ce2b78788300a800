#pragma once
// The sky preview of the main window: the chosen cloud type coloured with the
// sky and cloud colours and fading into the fog colour toward the horizon.
// The computation lives here; the desktop application only draws the result.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/basics/Messages.h"
#include "core/inputs/ProjectSettings.h"

namespace kv {

inline constexpr int kAtmosPreviewWidth = 85;
inline constexpr int kAtmosPreviewHeight = 118;

// An RGB picture, 3 bytes a pixel (red, green, blue), rows from the top.
struct AtmosPreviewPicture {
    int width = kAtmosPreviewWidth;
    int height = kAtmosPreviewHeight;
    std::vector<std::uint8_t> rgb;
};

// Computes the 85 x 118 preview from the preview cloud bitmap of
// `atmosphereindex` ("~clear.bmp" ... "~puff.bmp" in `programDirectory`):
// each pixel of the bitmap's top 118 rows and left 85 columns is coloured
// with AtmosColor, then faded toward `fog` row by row,
//   trunc((y - H + 118) * fog / 118 + (H - y) * colour / 118)
// in double precision, keeping the low 8 bits (H the bitmap's height, y the
// row from the top). Pixels the bitmap does not have stay black.
// Throws JobFailure with the atmosphere-preview wording ("Error opening atmos
// preview bitmap." and so on) when the bitmap cannot be read.
AtmosPreviewPicture ComputeAtmospherePreview(const std::string& programDirectory, int atmosphereindex,
                                             const RgbColor& sky, const RgbColor& cloud, const RgbColor& fog);

// The preview as the main window keeps it. A failed recomputation leaves the
// preview blank and hands back the message to show; the next recomputation
// simply tries again.
class AtmospherePreview {
public:
    // Recomputes from the settings' atmosphereindex, sky, cloud and fog.
    // Returns the failure's message when the bitmap could not be read.
    std::optional<Message> Recompute(const std::string& programDirectory, const ProjectSettings& settings);

    // The picture to draw; nullopt while the preview is blank.
    const std::optional<AtmosPreviewPicture>& Picture() const { return picture_; }

private:
    std::optional<AtmosPreviewPicture> picture_;
};

}  // namespace kv
