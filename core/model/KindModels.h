#pragma once
// The twelve tree and rock kinds as the scene assembles them: each a single
// polygon object or a group of parts, every part a kind mesh in its own
// local frame with its own look, and the rule that sizes the kind.
#include <map>
#include <span>
#include <utility>

#include "core/model/ObjectKind.h"
#include "core/model/PlacementFrame.h"
#include "core/model/SceneModel.h"

namespace kv {

// How a part looks: its faceting and its images (file names) with their
// repeats; the bump amplitude of a rock follows the base material.
struct PartLook {
    Faceting faceting = Faceting::Smooth;
    const char* texture = nullptr;
    Vec2 textureRepeats{1, 1};
    const char* bump = nullptr;
    Vec2 bumpRepeats{1, 1};
    double bumpAmplitude = 0.0;
};

struct KindPart {
    const char* name;
    const char* mesh;  // a kind mesh (KindMeshes.h)
    LocalMatrix local;
    PartLook look;
};

struct KindModel {
    const char* groupName;  // nullptr: the parts are placed alone
    LocalMatrix groupLocal;
    std::span<const KindPart> parts;
    SizeRule size;
    bool rock;  // under the rocks group, sized by rockssize
};

const KindModel& ModelOfKind(ObjectKind kind);

// Adds placed objects to a scene, sharing one material per part of a kind.
class PlacedObjectBuilder {
public:
    // `baseindex` chooses the rocks' bump amplitude (the smooth materials get
    // a gentler one).
    PlacedObjectBuilder(Scene& scene, int baseindex);

    // Adds one object of `kind` placed by `frame` under `parent`; returns the
    // index of its top node.
    int Add(ObjectKind kind, const PlacementFrame& frame, int parent);

private:
    int MaterialOf(ObjectKind kind, std::size_t part);

    Scene& scene_;
    int baseindex_;
    std::map<std::pair<int, std::size_t>, int> materials_;
};

}  // namespace kv
