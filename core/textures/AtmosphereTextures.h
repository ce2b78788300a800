#pragma once
#include "core/job/CreationContext.h"

namespace kv {

// fog.tga in the scene directory: a 1 x 256 strip of the fog colour whose
// opacity falls from bottom to top, written through a temporary file.
void WriteFogTga(CreationContext& ctx);

// atmos.jpg in the scene directory: the chosen cloud bitmap coloured with the
// sky and cloud colours.
void WriteAtmosJpeg(CreationContext& ctx);

}  // namespace kv
