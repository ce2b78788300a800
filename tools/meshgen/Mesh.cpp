#include "tools/meshgen/Mesh.h"

#include <cstdio>
#include <cstring>

namespace kv::meshgen {

int Mesh::FaceCountWithHoles() const
{
    int n = 0;
    for (const Face& f : faces) n += 1 + static_cast<int>(f.holes.size());
    return n;
}

std::string FormatNumber(double value, NumberStyle style)
{
    char buffer[64];
    if (style == NumberStyle::Fixed6) {
        std::snprintf(buffer, sizeof buffer, "%.6f", value);
        if (std::strcmp(buffer, "-0.000000") == 0) return "0.000000";
        return buffer;
    }
    std::snprintf(buffer, sizeof buffer, "%.7f", value);
    std::string s = buffer;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    if (s == "-0" || s.empty()) s = "0";
    return s;
}

namespace {

void AppendPairs(std::string& out, const std::vector<Corner>& corners)
{
    for (size_t i = 0; i < corners.size(); ++i) {
        if (i) out += ' ';
        out += '<' + std::to_string(corners[i].v) + ',' + std::to_string(corners[i].t) + '>';
    }
}

}  // namespace

std::string MeshText(const Mesh& mesh)
{
    const TextForm& form = mesh.form;
    std::string out;
    out.reserve(64 * (mesh.vertices.size() + mesh.texture.size() + 2 * mesh.faces.size()));
    out += "World Vertices " + std::to_string(mesh.vertices.size()) + form.countTail + '\n';
    for (size_t i = 0; i < mesh.vertices.size(); ++i) {
        if (i < mesh.fixedVertexText.size() && !mesh.fixedVertexText[i].empty()) {
            out += mesh.fixedVertexText[i] + '\n';
            continue;
        }
        const Vec3& p = mesh.vertices[i];
        out += FormatNumber(p.x, form.numbers) + ' ' + FormatNumber(p.y, form.numbers) + ' ' +
               FormatNumber(p.z, form.numbers) + '\n';
    }
    out += "Texture Vertices " + std::to_string(mesh.texture.size()) + form.countTail + '\n';
    for (const Vec2& t : mesh.texture)
        out += FormatNumber(t.u, form.numbers) + ' ' + FormatNumber(t.v, form.numbers) + form.countTail + '\n';
    out += "Faces " + std::to_string(mesh.FaceCountWithHoles()) + form.countTail + '\n';
    bool first = true;
    for (const Face& f : mesh.faces) {
        out += "Face verts " + std::to_string(f.corners.size()) + " flags " + std::to_string(f.flags) + " mat 0";
        if (first) out += form.firstFaceTail;
        out += '\n';
        AppendPairs(out, f.corners);
        out += first ? form.firstPairTail : form.pairTail;
        out += '\n';
        first = false;
        for (const auto& hole : f.holes) {
            out += "Hole verts " + std::to_string(hole.size()) + '\n';
            AppendPairs(out, hole);
            out += form.pairTail + '\n';
        }
    }
    return out;
}

Vec3 NewellVector(const std::vector<Vec3>& p)
{
    Vec3 n;
    for (size_t i = 0; i < p.size(); ++i) {
        const Vec3& a = p[i];
        const Vec3& b = p[(i + 1) % p.size()];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return n;
}

std::vector<Vec3> FacePoints(const Mesh& mesh, const std::vector<Corner>& corners)
{
    std::vector<Vec3> p;
    p.reserve(corners.size());
    for (const Corner& c : corners) p.push_back(mesh.vertices[c.v]);
    return p;
}

Vec3 FrontNormal(const Mesh& mesh, const Face& face) { return Normalized(-NewellVector(FacePoints(mesh, face.corners))); }

}  // namespace kv::meshgen

namespace kv::meshgen {

namespace {

bool ReadCorners(const std::string& line, size_t count, std::vector<Corner>& corners)
{
    corners.clear();
    const char* p = line.c_str();
    int v = 0, t = 0, used = 0;
    while (std::sscanf(p, " <%d,%d>%n", &v, &t, &used) == 2) {
        corners.push_back({v, t});
        p += used;
    }
    return corners.size() == count;
}

}  // namespace

bool ParseMeshText(const std::string& text, Mesh& mesh, std::string& error)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    size_t at = 0;
    auto next = [&]() -> const std::string* { return at < lines.size() ? &lines[at++] : nullptr; };
    int count = 0;
    const std::string* line = next();
    if (!line || std::sscanf(line->c_str(), "World Vertices %d", &count) != 1) {
        error = "no World Vertices line";
        return false;
    }
    mesh.vertices.clear();
    for (int i = 0; i < count; ++i) {
        Vec3 p;
        line = next();
        if (!line || std::sscanf(line->c_str(), "%lf %lf %lf", &p.x, &p.y, &p.z) != 3) {
            error = "bad vertex line " + std::to_string(i);
            return false;
        }
        mesh.vertices.push_back(p);
    }
    line = next();
    if (!line || std::sscanf(line->c_str(), "Texture Vertices %d", &count) != 1) {
        error = "no Texture Vertices line";
        return false;
    }
    mesh.texture.clear();
    for (int i = 0; i < count; ++i) {
        Vec2 t;
        line = next();
        if (!line || std::sscanf(line->c_str(), "%lf %lf", &t.u, &t.v) != 2) {
            error = "bad texture vertex line " + std::to_string(i);
            return false;
        }
        mesh.texture.push_back(t);
    }
    line = next();
    if (!line || std::sscanf(line->c_str(), "Faces %d", &count) != 1) {
        error = "no Faces line";
        return false;
    }
    mesh.faces.clear();
    int records = 0;
    while ((line = next()) != nullptr) {
        int n = 0, flags = 0, mat = 0;
        std::vector<Corner> corners;
        if (std::sscanf(line->c_str(), "Face verts %d flags %d mat %d", &n, &flags, &mat) == 3) {
            const std::string* pairs = next();
            if (!pairs || !ReadCorners(*pairs, static_cast<size_t>(n), corners)) {
                error = "bad pair line after face " + std::to_string(mesh.faces.size());
                return false;
            }
            mesh.faces.push_back({corners, flags, {}});
        } else if (std::sscanf(line->c_str(), "Hole verts %d", &n) == 1) {
            const std::string* pairs = next();
            if (mesh.faces.empty() || !pairs || !ReadCorners(*pairs, static_cast<size_t>(n), corners)) {
                error = "bad hole record";
                return false;
            }
            mesh.faces.back().holes.push_back(corners);
        } else if (line->empty() && at == lines.size()) {
            break;
        } else {
            error = "unexpected line: " + *line;
            return false;
        }
        ++records;
    }
    if (records != count) {
        error = "Faces " + std::to_string(count) + " but " + std::to_string(records) + " records";
        return false;
    }
    return true;
}

}  // namespace kv::meshgen
