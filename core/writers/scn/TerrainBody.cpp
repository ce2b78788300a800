#include "core/writers/scn/TerrainBody.h"

namespace kv {

namespace {

void Point(SceneWriter& w, const Point3f& p)
{
    w.Fixed6(p.x);
    w.Put(' ');
    w.Fixed6(p.y);
    w.Put(' ');
    w.Fixed6(p.z);
    w.EndLine();
}

void Texcoord(SceneWriter& w, const Point2f& t)
{
    w.Fixed6(t.u);
    w.Put(' ');
    w.Fixed6(t.v);
    w.EndLine();
}

void GridPair(SceneWriter& w, const TerrainSurface& s, int j, int y) { w.Pair(s.GridVertex(j, y), s.GridTexcoord(j, y)); }

void CornerPair(SceneWriter& w, const TerrainSurface& s, int k) { w.Pair(s.CornerIndex(k), s.CornerIndex(k)); }

void GridFaces(SceneWriter& w, const TerrainSurface& s, JobControl& control)
{
    const int n = s.Size();
    for (int y = 0; y + 1 < n; ++y) {
        control.CheckStop();
        for (int j = 0; j + 1 < n; ++j) {
            w.Line("Face verts 3 flags 0 mat 0");
            GridPair(w, s, j + 1, y + 1);
            w.Put(' ');
            GridPair(w, s, j, y);
            w.Put(' ');
            GridPair(w, s, j, y + 1);
            w.EndLine();
            w.Line("Face verts 3 flags 0 mat 0");
            GridPair(w, s, j + 1, y + 1);
            w.Put(' ');
            GridPair(w, s, j + 1, y);
            w.Put(' ');
            GridPair(w, s, j, y);
            w.EndLine();
        }
    }
}

void SurroundFaces(SceneWriter& w, const TerrainSurface& s)
{
    const int n = s.Size();
    w.FaceLine(4, 0, TerrainSurface::kSurroundMaterial);
    for (int i = 0; i < 4; ++i) {
        if (i) w.Put(' ');
        CornerPair(w, s, TerrainSurface::kSurroundSquare[i]);
    }
    w.EndLine();
    for (const TerrainSurface::SurroundEdge& edge : TerrainSurface::kSurroundEdges) {
        w.FaceLine(n + 2, 0, TerrainSurface::kSurroundMaterial);
        for (int k = 0; k < n; ++k) {
            const TerrainSurface::GridPoint p = edge.point(k, n);
            GridPair(w, s, p.j, p.y);
            w.Put(' ');
        }
        CornerPair(w, s, edge.cornerA);
        w.Put(' ');
        CornerPair(w, s, edge.cornerB);
        w.EndLine();
    }
}

}  // namespace

TerrainFaceCount WriteTerrainBody(SceneWriter& w, const TerrainSurface& s, JobControl& control)
{
    const int n = s.Size();
    w.Put("World Vertices ");
    w.Int(s.VertexCount());
    w.EndLine();
    for (int y = 0; y < n; ++y)
        for (int j = 0; j < n; ++j) Point(w, s.Vertex(j, y));
    control.CheckStop();
    for (int k = 0; k < 4; ++k) Point(w, TerrainSurface::Corner(k));

    w.Put("Texture Vertices ");
    w.Int(s.TexcoordCount());
    w.EndLine();
    for (int y = 0; y < n; ++y)
        for (int j = 0; j < n; ++j) Texcoord(w, s.PolarTexcoord(j, y));
    control.CheckStop();
    for (int k = 0; k < 4; ++k) Texcoord(w, TerrainSurface::CornerTexcoord(k));
    for (int y = 0; y < n; ++y)
        for (int j = 0; j < n; ++j) Texcoord(w, s.PlanarTexcoord(j, y));
    control.CheckStop();

    // The count is written over the blanks once the faces are out.
    TerrainFaceCount faces{w.Tell() + 6, s.FaceCount()};
    w.Line("Faces                     ");
    GridFaces(w, s, control);
    SurroundFaces(w, s);
    return faces;
}

void PatchTerrainFaceCount(SceneWriter& w, const TerrainFaceCount& faces)
{
    char digits[24];
    const char* end = FormatInt(faces.count, digits);
    w.Patch(faces.position, std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

}  // namespace kv
