#pragma once
#include "core/job/CreationContext.h"

namespace kv {

// Reads the placement bitmap (treedir<sep>treebmp), checks it, clears and sets
// ctx.kindsUsed, and writes one tree or rock object per coded pixel under the
// trees or rocks group. Throws JobFailure on a failed read or check.
void PlaceObjects(CreationContext& ctx);

}  // namespace kv
