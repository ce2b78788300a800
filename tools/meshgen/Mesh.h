#pragma once
// A model mesh as the scene stores it: world vertices, texture vertices and
// faces of <vertex,texture> corners, each face optionally followed by holes.
//
// Orientation: a face's front is the side from which its corners run
// clockwise. One-sided faces (flags 16) are seen from the front only.
#include <string>
#include <vector>

#include "tools/meshgen/Geometry.h"

namespace kv::meshgen {

struct Corner {
    int v = 0;  // world vertex
    int t = 0;  // texture vertex
};

struct Face {
    std::vector<Corner> corners;
    int flags = 0;
    std::vector<std::vector<Corner>> holes;  // each listed counterclockwise seen from the front
};

// How a mesh's lines are spelled.
enum class NumberStyle {
    Fixed6,   // "%.6f" for every number, a zero never signed
    Trimmed7  // seven decimals with trailing zeros removed ("0.12309", "1", "0.5")
};

struct TextForm {
    NumberStyle numbers = NumberStyle::Fixed6;
    // Blanks at the end of the count lines and the texture-vertex lines.
    std::string countTail;
    // Blanks at the end of the first face line and of the first pair line.
    std::string firstFaceTail;
    std::string firstPairTail = " ";
    // Blanks at the end of every other pair line (and hole pair line).
    std::string pairTail = " ";
};

struct Mesh {
    std::string name;  // base name of the table file
    std::vector<Vec3> vertices;
    std::vector<Vec2> texture;
    std::vector<Face> faces;
    TextForm form;
    // Vertex lines kept exactly as given where the model fixes
    // their digits (index -> text); empty when all lines are computed.
    std::vector<std::string> fixedVertexText;

    int AddVertex(const Vec3& p)
    {
        vertices.push_back(p);
        return static_cast<int>(vertices.size()) - 1;
    }
    int AddTexture(double u, double v)
    {
        texture.push_back({u, v});
        return static_cast<int>(texture.size()) - 1;
    }
    int FaceCountWithHoles() const;
};

// The mesh body text, "World Vertices" line through the last pair line, with
// LF line ends.
std::string MeshText(const Mesh& mesh);

// One number in the given style.
std::string FormatNumber(double value, NumberStyle style);

// Newell's vector of a polygon: its direction is the normal for which the
// corners run counterclockwise, its length twice the area.
Vec3 NewellVector(const std::vector<Vec3>& points);

// The outward (front) unit normal of a face: opposite to Newell's vector,
// because fronts are the clockwise side.
Vec3 FrontNormal(const Mesh& mesh, const Face& face);

std::vector<Vec3> FacePoints(const Mesh& mesh, const std::vector<Corner>& corners);

// Reads a mesh body back from its text (as stored); false with a message on
// a malformed table.
bool ParseMeshText(const std::string& text, Mesh& mesh, std::string& error);

}  // namespace kv::meshgen
