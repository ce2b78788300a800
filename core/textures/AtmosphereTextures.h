#pragma once
#include <string>

#include "core/inputs/ProjectSettings.h"
#include "core/platform/OutputDirectory.h"

namespace kv {

// fog.tga in the output directory: a 1 x 256 strip of the fog colour whose
// opacity falls from bottom to top, written whole.
void WriteFogTga(const RgbColor& fog, const OutputDirectory& output);

// atmos.jpg in the output directory: the cloud bitmap of the settings'
// atmosphere (from the program directory) coloured with the sky and cloud
// colours.
void WriteAtmosJpeg(const ProjectSettings& settings, const std::string& programDirectory,
                    const OutputDirectory& output);

}  // namespace kv
