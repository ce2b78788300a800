#include "core/writers/scn/TerrainObject.h"

#include <cmath>

#include "core/platform/Paths.h"

namespace kv {

namespace {

// All computed values are single-precision floats, each operation rounded to
// float in the written order, so every platform prints the same digits.
float Fraction(int index, int n) { return static_cast<float>(index) / static_cast<float>(n - 1); }

float HeightOf(std::int32_t g) { return static_cast<float>(g) / 76.5f / 3.0f; }

void WriteGridVertices(SceneWriter& w, const HeightGrid& grid)
{
    const int n = grid.n;
    for (int y = 0; y < n; ++y) {
        const float vy = 10.0f * Fraction(y, n) + 95.0f;
        for (int j = 0; j < n; ++j) {
            const float vx = (10.0f * Fraction(j, n) + 100.0f) - 5.0f;
            w.Fixed6(vx);
            w.Put(' ');
            w.Fixed6(vy);
            w.Put(' ');
            w.Fixed6(HeightOf(grid.At(j, y)));
            w.EndLine();
        }
    }
}

// Polar coordinates of the grid points: no face uses them, but the indices of
// the following texture vertices count them.
void WritePolarTextureVertices(SceneWriter& w, const HeightGrid& grid)
{
    const int n = grid.n;
    for (int y = 0; y < n; ++y) {
        const float b = Fraction(y, n) - 0.5f;
        for (int j = 0; j < n; ++j) {
            const float a = Fraction(j, n) - 0.5f;
            const float sum = b * b + a * a;
            const float r = static_cast<float>(std::sqrt(static_cast<double>(sum))) + 0.00001f;
            float angle = static_cast<float>(std::acos(static_cast<double>(a / r))) * 57.29583f;
            if (b < 0.0f) angle = 360.0f - angle;
            const float u = angle / 360.0f;
            const float v = static_cast<float>(grid.At(j, y)) / 765.0f;
            w.Fixed6(u);
            w.Put(' ');
            w.Fixed6(v);
            w.EndLine();
        }
    }
}

float PlanarCoordinate(int index, int n)
{
    const float step = 10.0f / static_cast<float>(n - 1);
    return (step * static_cast<float>(n - 1 - index) + 95.0f) / 200.0f;
}

void WritePlanarTextureVertices(SceneWriter& w, const HeightGrid& grid)
{
    const int n = grid.n;
    for (int y = 0; y < n; ++y) {
        const float v = PlanarCoordinate(y, n);
        for (int j = 0; j < n; ++j) {
            w.Fixed6(PlanarCoordinate(j, n));
            w.Put(' ');
            w.Fixed6(v);
            w.EndLine();
        }
    }
}

struct Indices {
    std::int64_t n;
    // Grid vertex (j, y): world index y*N+j, planar texture index N*N+4+y*N+j.
    std::int64_t World(int j, int y) const { return y * n + j; }
    std::int64_t Texture(int j, int y) const { return n * n + 4 + y * n + j; }
    // Surround corner k: world and texture index N*N+k.
    std::int64_t Corner(int k) const { return n * n + k; }
};

void GridPair(SceneWriter& w, const Indices& ix, int j, int y)
{
    w.Pair(ix.World(j, y), ix.Texture(j, y));
}

void CornerPair(SceneWriter& w, const Indices& ix, int k) { w.Pair(ix.Corner(k), ix.Corner(k)); }

void WriteGridFaces(SceneWriter& w, const HeightGrid& grid, JobControl& control)
{
    const Indices ix{grid.n};
    for (int y = 0; y + 1 < grid.n; ++y) {
        control.CheckStop();
        for (int j = 0; j + 1 < grid.n; ++j) {
            w.Line("Face verts 3 flags 0 mat 0");
            GridPair(w, ix, j + 1, y + 1);
            w.Put(' ');
            GridPair(w, ix, j, y);
            w.Put(' ');
            GridPair(w, ix, j, y + 1);
            w.EndLine();
            w.Line("Face verts 3 flags 0 mat 0");
            GridPair(w, ix, j + 1, y + 1);
            w.Put(' ');
            GridPair(w, ix, j + 1, y);
            w.Put(' ');
            GridPair(w, ix, j, y);
            w.EndLine();
        }
    }
}

// The five surround faces: the square under the terrain, then one face per
// grid edge joining it to the two surround corners on that side.
void WriteSurroundFaces(SceneWriter& w, const HeightGrid& grid)
{
    const int n = grid.n;
    const Indices ix{n};
    w.Line("Face verts 4 flags 0 mat 2");
    CornerPair(w, ix, 3);
    w.Put(' ');
    CornerPair(w, ix, 0);
    w.Put(' ');
    CornerPair(w, ix, 1);
    w.Put(' ');
    CornerPair(w, ix, 2);
    w.EndLine();

    auto edgeFace = [&](auto gridVertex, int cornerA, int cornerB) {
        w.FaceLine(n + 2, 0, 2);
        for (int k = 0; k < n; ++k) {
            const auto [j, y] = gridVertex(k);
            GridPair(w, ix, j, y);
            w.Put(' ');
        }
        CornerPair(w, ix, cornerA);
        w.Put(' ');
        CornerPair(w, ix, cornerB);
        w.EndLine();
    };
    edgeFace([&](int k) { return std::pair{0, n - 1 - k}; }, 0, 3);
    edgeFace([&](int k) { return std::pair{n - 1 - k, n - 1}; }, 3, 2);
    edgeFace([&](int k) { return std::pair{n - 1, k}; }, 2, 1);
    edgeFace([&](int k) { return std::pair{k, 0}; }, 1, 0);
}

Material TerrainMaterial(int number, const std::string& sceneDirectory)
{
    Material m;
    m.number = number;
    m.shader = "shader: phong  facet: smooth";
    m.surface = "alpha 1  ka 0  ks 0  exp 0  ior 1";
    if (number == 1) {
        m.rgb = "rgb 64,64,64";
        return m;
    }
    m.rgb = "rgb 0,0,0";
    const char* texture = number == 0 ? "tex1.jpg" : "tex2.jpg";
    const char* bump = number == 0 ? "bump1.jpg" : "bump2.jpg";
    m.texturePath = JoinPath(sceneDirectory, texture);
    m.textureMapping = "offset .5,.5  repeats 20,20  flags 2";
    m.bumpPath = JoinPath(sceneDirectory, bump);
    m.bumpMapping = "offset .5,.5  repeats 20,20  amp 0.02  flags 2";
    return m;
}

}  // namespace

void WriteTerrainObject(SceneWriter& w, const HeightGrid& grid, std::int32_t parentId,
                        const std::string& sceneDirectory, JobControl& control)
{
    const std::int64_t n = grid.n;
    const std::int32_t terrainId = w.NextId();
    w.ChunkHeader("PolH", "V0.02", terrainId, parentId);
    w.NameLine("terrain");
    w.Axes("0 0 0", "1 0 0", "0 1 0", "0 0 1");
    w.Transform("1 0 0 -100", "0 1 0 -100", "0 0 1 0");

    w.Put("World Vertices ");
    w.Int(n * n + 4);
    w.EndLine();
    WriteGridVertices(w, grid);
    control.CheckStop();
    w.Line("0.000000 0.000000 -0.010000");
    w.Line("200.000000 0.000000 -0.010000");
    w.Line("200.000000 200.000000 -0.010000");
    w.Line("0.000000 200.000000 -0.010000");

    w.Put("Texture Vertices ");
    w.Int(2 * n * n + 4);
    w.EndLine();
    WritePolarTextureVertices(w, grid);
    control.CheckStop();
    w.Line("1.000000 1.000000");
    w.Line("0.000000 1.000000");
    w.Line("0.000000 0.000000");
    w.Line("1.000000 0.000000");
    WritePlanarTextureVertices(w, grid);
    control.CheckStop();

    // The count is written over the blanks once the faces are out.
    const std::uint64_t facesLine = w.Tell();
    w.Line("Faces                     ");
    WriteGridFaces(w, grid, control);
    WriteSurroundFaces(w, grid);
    const std::int64_t faceCount = 2 * (n - 1) * (n - 1) + 5;

    w.Unit(terrainId);
    for (int number = 0; number < 3; ++number) w.Mat1(w.NextId(), terrainId, TerrainMaterial(number, sceneDirectory));

    char digits[24];
    const char* end = FormatInt(faceCount, digits);
    w.Patch(facesLine + 6, std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

}  // namespace kv
