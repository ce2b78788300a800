#include "ScratchScene.h"

#include <algorithm>

#include "core/model/EnvironmentBuilder.h"
#include "core/writers/scn/ScnSceneWriter.h"

namespace kv::test {

ScratchScene::ScratchScene()
{
    rocks = AddPlainGroup(scene, "rocks", scene.Root());
    trees = AddPlainGroup(scene, "trees", scene.Root());
}

void ScratchScene::Place() { kinds = PlaceObjects(scene, settings, heights, session.random(), Groups(), control); }

void ScratchScene::Add(ObjectKind kind, const PlacementFrame& frame)
{
    // A builder of its own reads the base material as it is now.
    PlacedObjectBuilder builder(scene, settings.baseindex);
    builder.Add(kind, frame, ModelOfKind(kind).rock ? rocks : trees);
}

std::vector<std::string> ScratchScene::WrittenLines()
{
    const std::string path = dir.File("out.scn");
    {
        SceneWriter writer(session);
        writer.Open(path);
        ScnNodeWriter nodes(scene, dir.path(), writer, control);
        nodes.AssignId(rocks, rocksId);
        nodes.AssignId(trees, treesId);
        for (int i = std::max(rocks, trees) + 1; i < static_cast<int>(scene.nodes().size()); ++i) nodes.WriteNode(i);
        writer.Close();
    }
    const std::string text = ReadFile(path);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.erase(lines.begin());  // the header line; the END line has no line end and is left out
    return lines;
}

}  // namespace kv::test
