// The mesh generator: makes the tree and rock meshes. The build runs it to
// produce the program's mesh data; by hand it checks and pictures the models.
//
//   kv-meshgen source DATA.cpp SPELLING.cpp
//                                   the meshes as C++ data for the scene model,
//                                   and the scene file's spelling of each
//   kv-meshgen write DIR            write every table as DIR/<name>.mesh
//   kv-meshgen check DIR            read the tables back and check them
//   kv-meshgen render DIR OUT [flat|checker|sides] [MODEL] [TILE]
//                                   picture every assembled model as OUT/<model>.ppm
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "tools/meshgen/Check.h"
#include "tools/meshgen/Models.h"
#include "tools/meshgen/Render.h"
#include "tools/meshgen/SourceOutput.h"

using namespace kv::meshgen;

namespace {

bool ReadTable(const std::string& dir, const std::string& name, Mesh& mesh)
{
    std::ifstream in(dir + "/" + name + ".mesh", std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s/%s.mesh\n", dir.c_str(), name.c_str());
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string error;
    mesh.name = name;
    if (!ParseMeshText(text, mesh, error)) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), error.c_str());
        return false;
    }
    return true;
}

int Write(const std::string& dir)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    for (const Mesh& mesh : BuildAllMeshes()) {
        const std::string path = dir + "/" + mesh.name + ".mesh";
        std::ofstream out(path, std::ios::binary);
        out << MeshText(mesh);
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

bool WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

int Source(const std::string& dataPath, const std::string& spellingPath)
{
    const std::vector<Mesh> meshes = BuildAllMeshes();
    return WriteText(dataPath, ModelDataSource(meshes)) && WriteText(spellingPath, SpellingSource(meshes)) ? 0 : 1;
}

int Check(const std::string& dir)
{
    std::map<std::string, Mat34> placement;
    for (const Model& model : AssembledModels())
        for (const Part& part : model.parts) placement.emplace(part.mesh, part.local);
    bool all = true;
    for (const Mesh& built : BuildAllMeshes()) {
        Mesh mesh;
        if (!ReadTable(dir, built.name, mesh)) return 1;
        std::map<int, int> sizes, flags, holes;
        for (const Face& f : mesh.faces) {
            ++sizes[static_cast<int>(f.corners.size())];
            ++flags[f.flags];
            for (const auto& h : f.holes) ++holes[static_cast<int>(h.size())];
        }
        std::printf("%s: %zu vertices, %zu texture vertices, %d faces with holes\n", mesh.name.c_str(),
                    mesh.vertices.size(), mesh.texture.size(), mesh.FaceCountWithHoles());
        std::printf("  sizes:");
        for (const auto& [n, c] : sizes) std::printf(" %dx%d", c, n);
        std::printf("\n  flags:");
        for (const auto& [n, c] : flags) std::printf(" %d:%d", n, c);
        std::printf("\n  holes:");
        for (const auto& [n, c] : holes) std::printf(" %dx%d", c, n);
        std::printf("\n");
        CheckOptions options;
        options.local = placement[mesh.name];
        options.doubleSided = mesh.name == "fern_leaf" || mesh.name == "palm_leaf" || mesh.name == "evergreen_branches";
        std::string report;
        const bool ok = CheckMesh(mesh, options, report);
        std::printf("%s", report.c_str());
        all = all && ok;
    }
    return all ? 0 : 1;
}

int Render(const std::string& dir, const std::string& out, Shading shading, const std::string& only, int tile)
{
    std::map<std::string, Mesh> tables;
    for (const Mesh& built : BuildAllMeshes())
        if (!ReadTable(dir, built.name, tables[built.name])) return 1;
    for (const Model& model : AssembledModels()) {
        if (!only.empty() && model.name != only) continue;
        std::vector<RenderPart> parts;
        for (const Part& part : model.parts) parts.push_back({&tables[part.mesh], part.local, part.colour});
        RenderOptions options;
        options.shading = shading;
        options.tile = tile;
        const std::vector<View> views = {{-90, 8}, {0, 8}, {40, 35}, {150, 75}};
        const std::string path = out + "/" + model.name + ".ppm";
        if (!RenderToPpm(parts, views, options, path)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "source") == 0) return Source(argv[2], argv[3]);
    if (argc >= 3 && std::strcmp(argv[1], "write") == 0) return Write(argv[2]);
    if (argc >= 3 && std::strcmp(argv[1], "check") == 0) return Check(argv[2]);
    if (argc >= 4 && std::strcmp(argv[1], "render") == 0) {
        Shading shading = Shading::Flat;
        if (argc >= 5 && std::strcmp(argv[4], "checker") == 0) shading = Shading::Checker;
        if (argc >= 5 && std::strcmp(argv[4], "sides") == 0) shading = Shading::Sides;
        return Render(argv[2], argv[3], shading, argc >= 6 ? argv[5] : "", argc >= 7 ? std::atoi(argv[6]) : 420);
    }
    std::fprintf(stderr,
                 "usage: kv-meshgen source DATA.cpp SPELLING.cpp | write DIR | check DIR | render DIR OUT [flat|checker|sides] [MODEL]\n");
    return 2;
}
