#include "tools/meshgen/SourceOutput.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace kv::meshgen {

namespace {

// The numbers of a point or texture line as its table states them.
std::vector<std::string> Tokens(const Mesh& mesh, std::size_t index)
{
    std::vector<std::string> tokens;
    if (index < mesh.fixedVertexText.size() && !mesh.fixedVertexText[index].empty()) {
        std::istringstream in(mesh.fixedVertexText[index]);
        for (std::string t; in >> t;) tokens.push_back(t);
        return tokens;
    }
    const Vec3& p = mesh.vertices[index];
    for (double v : {p.x, p.y, p.z}) tokens.push_back(FormatNumber(v, mesh.form.numbers));
    return tokens;
}

// A double literal for a stated number; the value it gives must spell the
// same again, or the program could not write the table back exactly.
std::string Literal(const std::string& token, NumberStyle style)
{
    const double value = std::strtod(token.c_str(), nullptr);
    if (FormatNumber(value, style) != token) {
        std::fprintf(stderr, "the number %s does not spell itself again\n", token.c_str());
        std::exit(1);
    }
    if (token.find_first_of(".e") == std::string::npos) return token + ".0";
    return token;
}

std::string Identifier(const std::string& name)
{
    std::string id = "k";
    bool upper = true;
    for (char c : name) {
        if (c == '_') {
            upper = true;
            continue;
        }
        id += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
        upper = false;
    }
    return id;
}

void AppendCorners(std::ostringstream& out, const std::vector<Corner>& corners)
{
    for (const Corner& c : corners) out << c.v << ',' << c.t << ',';
}

std::string Quoted(const std::string& text) { return '"' + text + '"'; }

const char* StyleName(NumberStyle style)
{
    return style == NumberStyle::Fixed6 ? "MeshNumberStyle::SixDecimals" : "MeshNumberStyle::UpToSevenDecimals";
}

}  // namespace

std::string ModelDataSource(const std::vector<Mesh>& meshes)
{
    std::ostringstream out;
    out << "// Generated at build time by kv-meshgen from tools/meshgen; do not edit.\n"
           "#include \"core/model/KindMeshData.h\"\n\nnamespace kv {\n\nnamespace {\n\n";
    for (const Mesh& mesh : meshes) {
        const std::string id = Identifier(mesh.name);
        out << "const double " << id << "Vertices[] = {\n";
        for (std::size_t i = 0; i < mesh.vertices.size(); ++i) {
            out << "   ";
            for (const std::string& t : Tokens(mesh, i)) out << ' ' << Literal(t, mesh.form.numbers) << ',';
            out << '\n';
        }
        out << "};\nconst double " << id << "Texcoords[] = {\n";
        for (const Vec2& t : mesh.texture)
            out << "    " << Literal(FormatNumber(t.u, mesh.form.numbers), mesh.form.numbers) << ", "
                << Literal(FormatNumber(t.v, mesh.form.numbers), mesh.form.numbers) << ",\n";
        // Each face: corner count, one-sided, hole count, the corners as
        // point and texture index pairs, then each hole's count and corners.
        out << "};\nconst int " << id << "Faces[] = {\n";
        for (const Face& f : mesh.faces) {
            out << "    " << f.corners.size() << ',' << (f.flags == 16 ? 1 : 0) << ',' << f.holes.size() << ", ";
            AppendCorners(out, f.corners);
            for (const auto& hole : f.holes) {
                out << ' ' << hole.size() << ", ";
                AppendCorners(out, hole);
            }
            out << '\n';
        }
        out << "};\n\n";
    }
    out << "}  // namespace\n\nconst KindMeshData kKindMeshData[] = {\n";
    for (const Mesh& mesh : meshes) {
        const std::string id = Identifier(mesh.name);
        out << "    {" << Quoted(mesh.name) << ", " << id << "Vertices, " << mesh.vertices.size() << ", " << id
            << "Texcoords, " << mesh.texture.size() << ", " << id << "Faces, sizeof " << id << "Faces / sizeof(int), "
            << mesh.faces.size() << "},\n";
    }
    out << "};\n\nconst std::size_t kKindMeshCount = " << meshes.size() << ";\n\n}  // namespace kv\n";
    return out.str();
}

std::string SpellingSource(const std::vector<Mesh>& meshes)
{
    std::ostringstream out;
    out << "// Generated at build time by kv-meshgen from tools/meshgen; do not edit.\n"
           "#include \"core/writers/scn/MeshSpelling.h\"\n\nnamespace kv {\n\n"
           "const NamedMeshSpelling kKindMeshSpellings[] = {\n";
    for (const Mesh& mesh : meshes) {
        const TextForm& f = mesh.form;
        out << "    {" << Quoted(mesh.name) << ", {" << StyleName(f.numbers) << ", " << Quoted(f.countTail) << ", "
            << Quoted(f.firstFaceTail) << ", " << Quoted(f.firstPairTail) << ", " << Quoted(f.pairTail) << "}},\n";
    }
    out << "};\n\nconst std::size_t kKindMeshSpellingCount = " << meshes.size() << ";\n\n}  // namespace kv\n";
    return out.str();
}

}  // namespace kv::meshgen
