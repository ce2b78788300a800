// Placeholder until the atmosphere textures are written.
#include "texture/AtmosphereTextures.h"

namespace kv {

void WriteFogTga(CreationContext&) {}
void WriteAtmosJpeg(CreationContext&) {}

}  // namespace kv
