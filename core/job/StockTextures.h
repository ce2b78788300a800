#pragma once
#include "core/job/CreationContext.h"

namespace kv {

// Copies the stock textures the written scene uses (by ctx.kindsUsed and
// oceanindex) from the program directory into the scene directory, each after
// a free-space check, and makes each copy writable. Throws JobFailure.
void InstallStockTextures(CreationContext& ctx);

}  // namespace kv
