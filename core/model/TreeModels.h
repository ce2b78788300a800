#pragma once
// The eight tree kinds: each writer sets its kind's flag, draws the object's
// frame and writes the tree under the trees group.
#include "core/model/ObjectKind.h"
#include "core/model/PlacementFrame.h"

namespace kv {

void WritePalmtree(CreationContext& ctx, int x, int y);
void WriteBirch(CreationContext& ctx, int x, int y);
void WriteDeadtree1(CreationContext& ctx, int x, int y);
void WriteDeadtree2(CreationContext& ctx, int x, int y);
void WriteFern(CreationContext& ctx, int x, int y);
void WriteCactus(CreationContext& ctx, int x, int y);
void WriteEvergreen(CreationContext& ctx, int x, int y);
void WriteFir(CreationContext& ctx, int x, int y);

// The size rule of a tree kind (setting treessize).
SizeRule TreeSizeRule(ObjectKind kind);

// Writes the chunks of one tree of `kind` with a given frame: no flag is set
// and no draw is taken. `kind` must be a tree kind.
void WriteTreeChunks(CreationContext& ctx, ObjectKind kind, const PlacementFrame& frame);

}  // namespace kv
