#pragma once
// The four rock kinds: each writer sets its kind's flag, draws the object's
// frame and writes one PolH under the rocks group.
#include "core/model/ObjectKind.h"
#include "core/model/PlacementFrame.h"

namespace kv {

void WriteBoulder(CreationContext& ctx, int x, int y);
void WriteFlatrock(CreationContext& ctx, int x, int y);
void WriteRock(CreationContext& ctx, int x, int y);
void WritePebbles(CreationContext& ctx, int x, int y);

// The size rule of a rock kind (setting rockssize).
SizeRule RockSizeRule(ObjectKind kind);

// Writes the chunks of one rock of `kind` with a given frame: no flag is set
// and no draw is taken. `kind` must be a rock kind.
void WriteRockChunks(CreationContext& ctx, ObjectKind kind, const PlacementFrame& frame);

}  // namespace kv
