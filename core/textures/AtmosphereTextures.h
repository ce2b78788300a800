#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/inputs/ProjectSettings.h"
#include "core/platform/OutputDirectory.h"

namespace kv {

// fog.tga: a 1 x 256 strip of the fog colour whose opacity falls from bottom
// to top. Returns the file's bytes; writes the file whole into the output
// directory when one is given.
std::vector<std::uint8_t> WriteFogTga(const RgbColor& fog, const OutputDirectory* output);

// atmos.jpg: the cloud bitmap of the settings' atmosphere (from the program
// directory) coloured with the sky and cloud colours. Returns the JPEG's
// bytes; writes the file whole into the output directory when one is given.
std::vector<std::uint8_t> WriteAtmosJpeg(const ProjectSettings& settings, const std::string& programDirectory,
                                         const OutputDirectory* output);

}  // namespace kv
