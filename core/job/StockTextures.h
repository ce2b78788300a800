#pragma once
#include <string>

#include "core/model/ObjectKind.h"
#include "core/platform/OutputDirectory.h"

namespace kv {

// Copies the stock textures a scene uses (by the kinds it placed and its
// ocean) from the program directory into the output directory, each after a
// free-space check, each written whole. Throws JobFailure.
void InstallStockTextures(const KindsUsed& kinds, int oceanindex, const std::string& programDirectory,
                          const OutputDirectory& output);

}  // namespace kv
