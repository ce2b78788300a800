#include "app/view/MeshPreparation.h"

#include <QVector2D>

#include <array>
#include <bit>
#include <unordered_map>

namespace kv::view {

namespace {

// The bits of a float, with -0 taken as +0 so that the two compare equal.
std::uint32_t Bits(float value) { return std::bit_cast<std::uint32_t>(value + 0.0f); }

template <std::size_t N>
struct BitsKey {
    std::array<std::uint32_t, N> bits;
    bool operator==(const BitsKey&) const = default;
};

template <std::size_t N>
struct BitsKeyHash {
    std::size_t operator()(const BitsKey<N>& key) const
    {
        std::uint64_t hash = 1469598103934665603ull;  // FNV-1a over the words
        for (std::uint32_t word : key.bits) {
            hash ^= word;
            hash *= 1099511628211ull;
        }
        return static_cast<std::size_t>(hash ^ (hash >> 29));
    }
};

BitsKey<3> PositionKey(const QVector3D& p) { return {{Bits(p.x()), Bits(p.y()), Bits(p.z())}}; }

bool TriangleInRange(const std::vector<std::uint32_t>& indices, std::size_t first, std::size_t vertexCount)
{
    return indices[first] < vertexCount && indices[first + 1] < vertexCount && indices[first + 2] < vertexCount;
}

}  // namespace

std::vector<QVector3D> SmoothNormals(const std::vector<QVector3D>& positions,
                                     const std::vector<std::uint32_t>& indices)
{
    // Corners at one position share one sum.
    std::unordered_map<BitsKey<3>, std::uint32_t, BitsKeyHash<3>> groupOf;
    std::vector<std::uint32_t> group(positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const auto [entry, added] =
            groupOf.try_emplace(PositionKey(positions[i]), static_cast<std::uint32_t>(groupOf.size()));
        group[i] = entry->second;
    }
    std::vector<QVector3D> sums(groupOf.size());
    for (std::size_t t = 0; t + 2 < indices.size(); t += 3) {
        if (!TriangleInRange(indices, t, positions.size())) continue;
        const QVector3D& a = positions[indices[t]];
        const QVector3D& b = positions[indices[t + 1]];
        const QVector3D& c = positions[indices[t + 2]];
        // The cross product's length is twice the area: larger faces count more.
        const QVector3D faceNormal = QVector3D::crossProduct(b - a, c - a);
        for (int corner = 0; corner < 3; ++corner) sums[group[indices[t + corner]]] += faceNormal;
    }
    std::vector<QVector3D> normals(positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const QVector3D& sum = sums[group[i]];
        normals[i] = sum.lengthSquared() > 0.0f ? sum.normalized() : QVector3D(0, 0, 1);
    }
    return normals;
}

PreparedMesh PrepareMesh(const ViewMesh& mesh)
{
    PreparedMesh prepared;
    prepared.material = mesh.material;
    const std::size_t count = mesh.positions.size();
    const bool ownNormals = mesh.normals.size() == count;
    const std::vector<QVector3D> normals = ownNormals ? mesh.normals : SmoothNormals(mesh.positions, mesh.indices);
    const bool hasTexCoords = mesh.texCoords.size() == count;

    std::unordered_map<BitsKey<kFloatsPerVertex>, std::uint32_t, BitsKeyHash<kFloatsPerVertex>> merged;
    merged.reserve(count);
    // The vertex each source vertex became, once it is used.
    constexpr std::uint32_t kUnused = ~0u;
    std::vector<std::uint32_t> mergedIndex(count, kUnused);
    prepared.indices.reserve(mesh.indices.size());
    bool anyVertex = false;
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
        if (!TriangleInRange(mesh.indices, t, count)) continue;
        for (int corner = 0; corner < 3; ++corner) {
            const std::uint32_t source = mesh.indices[t + corner];
            if (mergedIndex[source] == kUnused) {
                const QVector3D& p = mesh.positions[source];
                const QVector3D n = normals[source].lengthSquared() > 0.0f ? normals[source].normalized()
                                                                           : QVector3D(0, 0, 1);
                const QVector2D uv = hasTexCoords ? mesh.texCoords[source] : QVector2D(0, 0);
                const std::array<float, kFloatsPerVertex> values = {p.x(), p.y(), p.z(), n.x(),
                                                                   n.y(), n.z(), uv.x(), uv.y()};
                BitsKey<kFloatsPerVertex> key;
                for (int k = 0; k < kFloatsPerVertex; ++k) key.bits[k] = Bits(values[k]);
                const auto [entry, added] =
                    merged.try_emplace(key, static_cast<std::uint32_t>(prepared.vertexCount()));
                if (added) {
                    prepared.vertices.insert(prepared.vertices.end(), values.begin(), values.end());
                    if (!anyVertex) {
                        prepared.boundsMin = prepared.boundsMax = p;
                        anyVertex = true;
                    }
                    for (int axis = 0; axis < 3; ++axis) {
                        prepared.boundsMin[axis] = std::min(prepared.boundsMin[axis], p[axis]);
                        prepared.boundsMax[axis] = std::max(prepared.boundsMax[axis], p[axis]);
                    }
                }
                mergedIndex[source] = entry->second;
            }
            prepared.indices.push_back(mergedIndex[source]);
        }
    }
    return prepared;
}

}  // namespace kv::view
