#pragma once
// The trueSpace scene file of a scene model: every node becomes its chunk
// (PolH, Grou, Lght or Came) with its Unit chunk and, for polygon objects,
// its Mat1 chunks, in the scene's order, ids handed out as they are written.
#include <functional>

#include "core/basics/JobControl.h"
#include "core/model/SceneModel.h"
#include "core/writers/scn/SceneWriter.h"

namespace kv {

// Writes nodes of a scene model as chunks, handing out ids as it goes.
class ScnNodeWriter {
public:
    ScnNodeWriter(const Scene& scene, const std::string& imageDirectory, SceneWriter& writer, JobControl& control);
    ~ScnNodeWriter();
    ScnNodeWriter(const ScnNodeWriter&) = delete;
    ScnNodeWriter& operator=(const ScnNodeWriter&) = delete;

    // The header, Scen, ROpt and Vews chunks; the root takes the Scen id.
    void WriteHeader();
    // Gives a node an id without writing it (a part of a scene written on
    // its own names its parents by these).
    void AssignId(int node, std::int32_t id);
    // Writes one node's chunks (a group of lights takes its lights' ids).
    void WriteNode(int node);

private:
    class Impl;
    Impl* impl_;
};

// Writes the header chunks and every node of `scene` into the open stream
// (Close then writes the END line). Image paths are the scene's images in
// `imageDirectory`. `afterNode` is called after each node's chunks. Looks at
// the stop request after each object outside the terrain and placed objects,
// and within the terrain at every row of faces.
void WriteScnScene(const Scene& scene, const std::string& imageDirectory, SceneWriter& writer, JobControl& control,
                   const std::function<void(const Node&)>& afterNode = {});

// The mesh body of a polygon mesh as the scene file spells it ("World
// Vertices" through the last line of pairs), with CR LF line ends.
std::string ScnMeshBody(const Mesh& mesh);

}  // namespace kv
