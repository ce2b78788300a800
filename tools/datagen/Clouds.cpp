// Placeholder until these stock files are designed.
#include "tools/datagen/Generators.h"

namespace kv::datagen {

bool GenerateClouds(const std::string&) { return true; }

}  // namespace kv::datagen
