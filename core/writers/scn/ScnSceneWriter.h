#pragma once
// The trueSpace scene file of a scene model: every node becomes its chunk
// (PolH, Grou, Lght or Came) with its Unit chunk and, for polygon objects,
// its Mat1 chunks, in the scene's order, ids handed out as they are written.
#include <functional>

#include "core/basics/JobControl.h"
#include "core/model/SceneModel.h"
#include "core/writers/scn/SceneWriter.h"

namespace kv {

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
