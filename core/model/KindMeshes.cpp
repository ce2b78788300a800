#include "core/model/KindMeshes.h"

#include <map>
#include <stdexcept>
#include <string>

#include "core/model/KindMeshData.h"

namespace kv {

namespace {

std::vector<Corner> ReadCorners(const int*& word, int count)
{
    std::vector<Corner> corners(static_cast<std::size_t>(count));
    for (Corner& c : corners) {
        c.vertex = *word++;
        c.texcoord = *word++;
    }
    return corners;
}

std::shared_ptr<const Mesh> Build(const KindMeshData& data)
{
    auto mesh = std::make_shared<Mesh>();
    mesh->name = data.name;
    mesh->vertices.reserve(data.vertexCount);
    for (std::size_t i = 0; i < data.vertexCount; ++i)
        mesh->vertices.push_back({data.vertices[3 * i], data.vertices[3 * i + 1], data.vertices[3 * i + 2]});
    mesh->texcoords.reserve(data.texcoordCount);
    for (std::size_t i = 0; i < data.texcoordCount; ++i)
        mesh->texcoords.push_back({data.texcoords[2 * i], data.texcoords[2 * i + 1]});
    const int* word = data.faces;
    mesh->faces.reserve(data.faceCount);
    for (std::size_t f = 0; f < data.faceCount; ++f) {
        Face face;
        const int corners = *word++;
        face.oneSided = *word++ != 0;
        const int holes = *word++;
        face.corners = ReadCorners(word, corners);
        for (int h = 0; h < holes; ++h) {
            const int count = *word++;
            face.holes.push_back(ReadCorners(word, count));
        }
        mesh->faces.push_back(std::move(face));
    }
    if (word != data.faces + data.faceWords) throw std::logic_error(std::string("malformed mesh data ") + data.name);
    return mesh;
}

const std::map<std::string, std::shared_ptr<const Mesh>, std::less<>>& Library()
{
    static const auto library = [] {
        std::map<std::string, std::shared_ptr<const Mesh>, std::less<>> meshes;
        for (std::size_t i = 0; i < kKindMeshCount; ++i) meshes.emplace(kKindMeshData[i].name, Build(kKindMeshData[i]));
        return meshes;
    }();
    return library;
}

}  // namespace

std::shared_ptr<const Mesh> KindMesh(std::string_view name)
{
    const auto& library = Library();
    const auto found = library.find(name);
    if (found == library.end()) throw std::out_of_range("no mesh " + std::string(name));
    return found->second;
}

std::vector<std::string_view> KindMeshNames()
{
    std::vector<std::string_view> names;
    for (std::size_t i = 0; i < kKindMeshCount; ++i) names.push_back(kKindMeshData[i].name);
    return names;
}

}  // namespace kv
