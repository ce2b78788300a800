#include "core/writers/scn/ScnSceneWriter.h"

#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "core/platform/Paths.h"
#include "core/writers/scn/MeshSpelling.h"
#include "core/writers/scn/NumberFormat.h"
#include "core/writers/scn/TerrainBody.h"

namespace kv {

namespace {

// ----------------------------------------------------------------- numbers

std::string MeshNumber(double value, MeshNumberStyle style)
{
    char buffer[64];
    if (style == MeshNumberStyle::SixDecimals) {
        std::snprintf(buffer, sizeof buffer, "%.6f", value);
        if (std::strcmp(buffer, "-0.000000") == 0) return "0.000000";
        return buffer;
    }
    std::snprintf(buffer, sizeof buffer, "%.7f", value);
    std::string text = buffer;
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
    if (text == "-0" || text.empty()) text = "0";
    return text;
}

// A number of a node's frame: computed ones in six decimals of their float,
// given ones as the scene states constants.
void FrameNumber(SceneWriter& w, double value, Precision precision)
{
    if (precision == Precision::Single)
        w.Fixed6(static_cast<float>(value));
    else
        w.Put(FormatGiven(value));
}

void FrameNumbers(SceneWriter& w, std::initializer_list<double> values, Precision precision)
{
    bool first = true;
    for (const double value : values) {
        if (!first) w.Put(' ');
        FrameNumber(w, value, precision);
        first = false;
    }
    w.EndLine();
}

// ----------------------------------------------------------------- blocks

void ObjectHeader(SceneWriter& w, const char* tag, const char* version, std::int32_t id, std::int32_t parent,
                  const Node& node)
{
    w.ChunkHeader(tag, version, id, parent);
    w.NameLine(node.name);
    const NodeFrame& f = node.frame;
    const Precision p = f.precision;
    w.Put("center ");
    FrameNumbers(w, {f.center.x, f.center.y, f.center.z}, p);
    w.Put("x axis ");
    FrameNumbers(w, {f.xAxis.x, f.xAxis.y, f.xAxis.z}, p);
    w.Put("y axis ");
    FrameNumbers(w, {f.yAxis.x, f.yAxis.y, f.yAxis.z}, p);
    w.Put("z axis ");
    FrameNumbers(w, {f.zAxis.x, f.zAxis.y, f.zAxis.z}, p);
    w.Line("Transform");
    for (const auto& row : f.transform.m) FrameNumbers(w, {row[0], row[1], row[2], row[3]}, p);
    w.Line("0 0 0 1");
}

void Pairs(std::string& out, const std::vector<Corner>& corners)
{
    for (std::size_t i = 0; i < corners.size(); ++i) {
        if (i) out += ' ';
        out += '<' + std::to_string(corners[i].vertex) + ',' + std::to_string(corners[i].texcoord) + '>';
    }
}

std::string ImageMapping(const ImageMap& map, bool bump)
{
    std::string line = "offset " + FormatGivenOffset(map.offset.u) + ',' + FormatGivenOffset(map.offset.v) +
                       "  repeats " + FormatGiven(map.repeats.u) + ',' + FormatGiven(map.repeats.v);
    if (bump) line += "  amp " + FormatGiven(map.amplitude);
    return line + "  flags 2";
}

std::string ColourLine(const MaterialColour& colour)
{
    if (const WholeColour* whole = std::get_if<WholeColour>(&colour))
        return "rgb " + std::to_string(whole->r) + ',' + std::to_string(whole->g) + ',' + std::to_string(whole->b);
    const FractionColour& f = std::get<FractionColour>(colour);
    return "rgb " + Fixed6(f.r) + ',' + Fixed6(f.g) + ',' + Fixed6(f.b);
}

// The tree and rock materials put a blank after their file names.
void Mat1(SceneWriter& w, std::int32_t id, std::int32_t parent, int number, const Material& m,
          const std::vector<ImageFile>& images, const std::string& directory, bool blankAfterFileName)
{
    w.ChunkHeader("Mat1", "V0.05", id, parent);
    w.Put("mat# ");
    w.Int(number);
    w.EndLine();
    w.Put(m.shading == Shading::Phong ? "shader: phong  facet: " : "shader: flat  facet: ");
    w.Line(m.faceting == Faceting::Smooth ? "smooth" : "auto32");
    w.Line(ColourLine(m.colour));
    const Surface& s = m.surface;
    w.Line("alpha " + FormatGiven(s.alpha) + "  ka " + FormatGiven(s.ambient) + "  ks " + FormatGiven(s.specular) +
           "  exp " + FormatGiven(s.exponent) + "  ior " + FormatGiven(s.refraction));
    auto file = [&](const char* label, const ImageMap& map) {
        w.Put(label);
        w.Put(JoinPath(directory, images[static_cast<std::size_t>(map.image)].name));
        if (blankAfterFileName) w.Put(' ');
        w.EndLine();
    };
    if (m.texture) {
        file("texture: ", *m.texture);
        w.Line(ImageMapping(*m.texture, false));
    }
    if (m.bump) {
        file("bump: ", *m.bump);
        w.Line(ImageMapping(*m.bump, true));
    }
}

// ----------------------------------------------------------------- the writer

}  // namespace

class ScnNodeWriter::Impl {
public:
    Impl(const Scene& scene, const std::string& directory, SceneWriter& w, JobControl& control)
        : scene_(scene), directory_(directory), w_(w), control_(control), ids_(scene.nodes().size(), 0)
    {
    }

    void WriteHeader() { ids_[0] = w_.WriteSceneHeaderChunks(); }
    void AssignId(int index, std::int32_t id) { ids_[static_cast<std::size_t>(index)] = id; }

    std::int32_t IdOf(int index)
    {
        std::int32_t& id = ids_[static_cast<std::size_t>(index)];
        if (id == 0) id = w_.NextId();
        return id;
    }
    std::int32_t ParentId(const Node& node) const { return ids_[static_cast<std::size_t>(node.parent)]; }

public:
    void WriteNode(int index)
    {
        const Node& node = scene_.node(index);
        switch (node.kind) {
        case NodeKind::Root: break;
        case NodeKind::Group: WriteGroup(index); break;
        case NodeKind::Object: WriteObject(index); break;
        case NodeKind::Terrain: WriteTerrain(index); break;
        case NodeKind::Light: WriteLight(index); break;
        case NodeKind::Camera: WriteCamera(index); break;
        }
    }

private:

    void WriteGroup(int index)
    {
        const Node& node = scene_.node(index);
        const std::int32_t id = IdOf(index);
        // A group of lights takes its lights' ids together with its own.
        for (int child : node.children)
            if (scene_.node(child).kind == NodeKind::Light) IdOf(child);
        ObjectHeader(w_, "Grou", "V0.01", id, ParentId(node), node);
        w_.Unit(id);
    }

    void WriteLight(int index)
    {
        const Node& node = scene_.node(index);
        const std::int32_t id = IdOf(index);
        ObjectHeader(w_, "Lght", "V0.03", id, ParentId(node), node);
        const Light& light = *node.light;
        std::string type = light.kind == LightKind::Infinite ? "Infinite" : "Local";
        type += light.castsShadows ? " Shadows Raytraced" : " NoShadows";
        w_.Line(type);
        w_.Line("color " + FormatGiven(light.colour.x) + ',' + FormatGiven(light.colour.y) + ',' +
                FormatGiven(light.colour.z) + " cone angle " + FormatGiven(light.coneAngle) + " inner angle " +
                FormatGiven(light.innerAngle) + " falloff " + FormatGiven(light.falloff));
        w_.Unit(id);
    }

    void WriteCamera(int index)
    {
        const Node& node = scene_.node(index);
        const std::int32_t id = IdOf(index);
        ObjectHeader(w_, "Came", "V0.01", id, ParentId(node), node);
        w_.Unit(id);
    }

    // The flat-shaded objects (the sky and fog domes) take their materials'
    // ids together with their own, before their Unit chunk's.
    bool MaterialIdsFirst(const Node& node) const
    {
        for (int m : node.materials)
            if (scene_.materials()[static_cast<std::size_t>(m)].shading != Shading::Flat) return false;
        return !node.materials.empty();
    }

    void WriteMaterials(const Node& node, std::int32_t id, const std::vector<std::int32_t>& preset)
    {
        for (std::size_t n = 0; n < node.materials.size(); ++n) {
            const std::int32_t materialId = n < preset.size() ? preset[n] : w_.NextId();
            Mat1(w_, materialId, id, static_cast<int>(n), scene_.materials()[static_cast<std::size_t>(node.materials[n])],
                 scene_.images(), directory_, node.placed);
        }
    }

    void WriteObject(int index)
    {
        const Node& node = scene_.node(index);
        const std::int32_t id = IdOf(index);
        std::vector<std::int32_t> materialIds;
        if (MaterialIdsFirst(node))
            for (std::size_t n = 0; n < node.materials.size(); ++n) materialIds.push_back(w_.NextId());
        ObjectHeader(w_, "PolH", node.placed ? "V0.04" : "V0.02", id, ParentId(node), node);
        w_.Put(BodyOf(*node.mesh));
        w_.Unit(id);
        WriteMaterials(node, id, materialIds);
    }

    void WriteTerrain(int index)
    {
        const Node& node = scene_.node(index);
        const std::int32_t id = IdOf(index);
        ObjectHeader(w_, "PolH", "V0.02", id, ParentId(node), node);
        const TerrainFaceCount faces = WriteTerrainBody(w_, *scene_.terrain(), control_);
        w_.Unit(id);
        WriteMaterials(node, id, {});
        PatchTerrainFaceCount(w_, faces);
    }

    // Each mesh is spelled once and its text reused by every object wearing it.
    const std::string& BodyOf(const Mesh& mesh)
    {
        auto found = bodies_.find(&mesh);
        if (found == bodies_.end()) found = bodies_.emplace(&mesh, ScnMeshBody(mesh)).first;
        return found->second;
    }

    const Scene& scene_;
    const std::string directory_;
    SceneWriter& w_;
    JobControl& control_;
    std::vector<std::int32_t> ids_;
    std::unordered_map<const Mesh*, std::string> bodies_;
};

std::string ScnMeshBody(const Mesh& mesh)
{
    const MeshSpelling spelling = SpellingOfMesh(mesh.name);
    const MeshNumberStyle style = spelling.numbers;
    std::string out;
    out.reserve(48 * (mesh.vertices.size() + mesh.texcoords.size() + 2 * mesh.faces.size()));
    const char* crlf = "\r\n";
    out += "World Vertices " + std::to_string(mesh.vertices.size()) + spelling.countTail + crlf;
    for (const Vec3& p : mesh.vertices)
        out += MeshNumber(p.x, style) + ' ' + MeshNumber(p.y, style) + ' ' + MeshNumber(p.z, style) + crlf;
    out += "Texture Vertices " + std::to_string(mesh.texcoords.size()) + spelling.countTail + crlf;
    for (const Vec2& t : mesh.texcoords)
        out += MeshNumber(t.u, style) + ' ' + MeshNumber(t.v, style) + spelling.countTail + crlf;
    std::size_t records = 0;
    for (const Face& f : mesh.faces) records += 1 + f.holes.size();
    out += "Faces " + std::to_string(records) + spelling.countTail + crlf;
    bool first = true;
    for (const Face& f : mesh.faces) {
        out += "Face verts " + std::to_string(f.corners.size()) + " flags " + (f.oneSided ? "16" : "0") + " mat " +
               std::to_string(f.material);
        if (first) out += spelling.firstFaceTail;
        out += crlf;
        Pairs(out, f.corners);
        out += first ? spelling.firstPairTail : spelling.pairTail;
        out += crlf;
        first = false;
        for (const auto& hole : f.holes) {
            out += "Hole verts " + std::to_string(hole.size()) + crlf;
            Pairs(out, hole);
            out += spelling.pairTail;
            out += crlf;
        }
    }
    return out;
}

ScnNodeWriter::ScnNodeWriter(const Scene& scene, const std::string& imageDirectory, SceneWriter& writer,
                             JobControl& control)
    : impl_(new Impl(scene, imageDirectory, writer, control))
{
}

ScnNodeWriter::~ScnNodeWriter() { delete impl_; }
void ScnNodeWriter::WriteHeader() { impl_->WriteHeader(); }
void ScnNodeWriter::AssignId(int node, std::int32_t id) { impl_->AssignId(node, id); }
void ScnNodeWriter::WriteNode(int node) { impl_->WriteNode(node); }

void WriteScnScene(const Scene& scene, const std::string& imageDirectory, SceneWriter& writer, JobControl& control,
                   const std::function<void(const Node&)>& afterNode)
{
    ScnNodeWriter nodes(scene, imageDirectory, writer, control);
    nodes.WriteHeader();
    const auto& all = scene.nodes();
    for (std::size_t i = 1; i < all.size(); ++i) {
        const Node& node = all[i];
        nodes.WriteNode(static_cast<int>(i));
        if (afterNode) afterNode(node);
        // A stop check after every object but the terrain (which checks its
        // own rows), the lights of a group and the placed trees and rocks.
        const bool groupedLight = node.kind == NodeKind::Light && node.parent != scene.Root();
        if (!node.placed && node.kind != NodeKind::Terrain && !groupedLight) control.CheckStop();
    }
}

}  // namespace kv
