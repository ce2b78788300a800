#include "SyntheticLandscape.h"

#include <QtMath>

#include <cmath>
#include <cstdint>

namespace kv::view::test {

namespace {

// A small deterministic hash for patterns and placement.
std::uint32_t Hash(std::uint32_t a, std::uint32_t b)
{
    std::uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

float Unit(std::uint32_t a, std::uint32_t b) { return static_cast<float>(Hash(a, b) & 0xFFFFFF) / 16777215.0f; }

QImage PlainImage(int size, const QColor& colour, bool patterned)
{
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size; ++x) {
            // A pattern of blotches 16 pixels wide, brightening or darkening by up to 12%.
            const float factor =
                patterned ? 0.88f + 0.24f * (0.5f * Unit(x / 16, y / 16) + 0.5f * Unit(x, y)) : 1.0f;
            const auto channel = [factor](int c) { return std::min(255, static_cast<int>(c * factor)); };
            row[x] = qRgb(channel(colour.red()), channel(colour.green()), channel(colour.blue()));
        }
    }
    return image;
}

// A fog image: white, most opaque at the horizon row, clear at top and bottom.
QImage FogImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        const float fromHorizon = std::abs(static_cast<float>(y) / static_cast<float>(size - 1) - 0.5f) * 2.0f;
        const int alpha = static_cast<int>(160.0f * std::max(0.0f, 1.0f - 4.0f * fromHorizon));
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size; ++x) row[x] = qRgba(235, 235, 240, alpha);
    }
    return image;
}

// A leaf card's image: a green disc, transparent outside it.
QImage LeafImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    const float centre = (size - 1) / 2.0f;
    for (int y = 0; y < size; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const float r = std::hypot(x - centre, y - centre) / centre;
            const bool inside = r < 0.95f && Unit(x / 3, y / 3) > 0.25f * r;
            row[x] = qRgba(40 + (x * 50) / size, 120 + (y * 40) / size, 30, inside ? 255 : 0);
        }
    }
    return image;
}

QVector4D Colour(const QColor& c) { return QVector4D(c.redF(), c.greenF(), c.blueF(), c.alphaF()); }

// A unit sphere of `bands` bands and 2 x bands segments, wound to face
// outwards (or inwards), texture coordinates by `uv`.
template <typename Mapping>
ViewMesh Sphere(int bands, bool inwards, int material, Mapping uv)
{
    ViewMesh mesh;
    mesh.material = material;
    const int segments = 2 * bands;
    for (int k = 0; k <= bands; ++k) {
        const float polar = static_cast<float>(M_PI) * k / bands;
        for (int m = 0; m <= segments; ++m) {
            const float azimuth = 2.0f * static_cast<float>(M_PI) * m / segments;
            const QVector3D p(std::sin(polar) * std::cos(azimuth), std::sin(polar) * std::sin(azimuth), std::cos(polar));
            mesh.positions.push_back(p);
            mesh.texCoords.push_back(uv(p, static_cast<float>(m) / segments));
        }
    }
    const auto at = [segments](int k, int m) { return static_cast<std::uint32_t>(k * (segments + 1) + m); };
    for (int k = 0; k < bands; ++k) {
        for (int m = 0; m < segments; ++m) {
            // Counter-clockwise seen from outside.
            const std::uint32_t quad[4] = {at(k, m), at(k + 1, m), at(k + 1, m + 1), at(k, m + 1)};
            const std::uint32_t first[3] = {quad[0], quad[1], quad[2]}, second[3] = {quad[0], quad[2], quad[3]};
            for (const auto* triangle : {first, second}) {
                if (inwards) {
                    mesh.indices.insert(mesh.indices.end(), {triangle[0], triangle[2], triangle[1]});
                } else {
                    mesh.indices.insert(mesh.indices.end(), {triangle[0], triangle[1], triangle[2]});
                }
            }
        }
    }
    return mesh;
}

int AddMaterial(ViewScene& scene, ViewMaterial material)
{
    scene.materials.push_back(std::move(material));
    return static_cast<int>(scene.materials.size()) - 1;
}

int AddMesh(ViewScene& scene, ViewMesh mesh)
{
    scene.meshes.push_back(std::move(mesh));
    return static_cast<int>(scene.meshes.size()) - 1;
}

ViewMesh TerrainGrid(int n, int material)
{
    ViewMesh mesh;
    mesh.name = "terrain";
    mesh.material = material;
    for (int row = 0; row < n; ++row) {
        for (int column = 0; column < n; ++column) {
            const float x = -5.0f + 10.0f * column / (n - 1);
            const float y = -5.0f + 10.0f * row / (n - 1);
            mesh.positions.emplace_back(x, y, HillHeight(x, y));
            mesh.texCoords.emplace_back(static_cast<float>(column) / (n - 1), 1.0f - static_cast<float>(row) / (n - 1));
        }
    }
    for (int row = 0; row + 1 < n; ++row) {
        for (int column = 0; column + 1 < n; ++column) {
            const auto at = [n](int r, int c) { return static_cast<std::uint32_t>(r * n + c); };
            mesh.indices.insert(mesh.indices.end(), {at(row, column), at(row, column + 1), at(row + 1, column + 1)});
            mesh.indices.insert(mesh.indices.end(), {at(row, column), at(row + 1, column + 1), at(row + 1, column)});
        }
    }
    return mesh;
}

ViewMesh Square(float half, float z, int material)
{
    ViewMesh mesh;
    mesh.material = material;
    mesh.positions = {{-half, -half, z}, {half, -half, z}, {half, half, z}, {-half, half, z}};
    mesh.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    mesh.texCoords = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    mesh.indices = {0, 1, 2, 0, 2, 3};
    return mesh;
}

ViewMesh Trunk(int material)
{
    ViewMesh mesh;
    mesh.material = material;
    constexpr int sides = 6;
    for (int i = 0; i <= sides; ++i) {
        const float a = 2.0f * static_cast<float>(M_PI) * i / sides;
        for (float z : {0.0f, 0.6f}) {
            const float r = z == 0.0f ? 0.06f : 0.03f;
            mesh.positions.emplace_back(r * std::cos(a), r * std::sin(a), z);
            mesh.texCoords.emplace_back(static_cast<float>(i) / sides, z);
        }
    }
    for (std::uint32_t i = 0; i < sides; ++i) {
        const std::uint32_t b0 = 2 * i, t0 = 2 * i + 1, b1 = 2 * i + 2, t1 = 2 * i + 3;
        mesh.indices.insert(mesh.indices.end(), {b0, b1, t1, b0, t1, t0});
    }
    return mesh;
}

ViewMesh LeafCards(int cards, int material)
{
    ViewMesh mesh;
    mesh.material = material;
    for (int i = 0; i < cards; ++i) {
        // Small cards in a cone-shaped crown from 0.3 to 1.0 high, turned
        // and tilted, as a conifer's tiers are.
        const float height = 0.3f + 0.7f * Unit(static_cast<std::uint32_t>(i), 7);
        const float radius = 0.3f * (1.0f - (height - 0.3f) / 0.75f) * std::sqrt(Unit(static_cast<std::uint32_t>(i), 8));
        const float around = 2.0f * static_cast<float>(M_PI) * Unit(static_cast<std::uint32_t>(i), 9);
        const float turn = 2.0f * static_cast<float>(M_PI) * Unit(static_cast<std::uint32_t>(i), 10);
        const float tilt = 0.6f * (Unit(static_cast<std::uint32_t>(i), 11) - 0.5f);
        const float size = 0.07f;
        const QVector3D along(std::cos(turn) * size, std::sin(turn) * size, 0);
        const QVector3D upward(-std::sin(turn) * size * tilt, std::cos(turn) * size * tilt, size);
        const QVector3D centre(radius * std::cos(around), radius * std::sin(around), height);
        const auto base = static_cast<std::uint32_t>(mesh.positions.size());
        mesh.positions.insert(mesh.positions.end(), {centre - along - upward, centre + along - upward,
                                                     centre + along + upward, centre - along + upward});
        mesh.texCoords.insert(mesh.texCoords.end(), {{0, 1}, {1, 1}, {1, 0}, {0, 0}});
        mesh.indices.insert(mesh.indices.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
    }
    return mesh;
}

ViewMesh Rock(int bands, int material)
{
    ViewMesh mesh = Sphere(bands, false, material, [](const QVector3D& p, float u) {
        return QVector2D(u, 0.5f - 0.5f * p.z());
    });
    // Lumpy and flattened.
    for (QVector3D& p : mesh.positions) {
        const float lump = 0.85f + 0.3f * Unit(static_cast<std::uint32_t>((p.x() + 2) * 3),
                                               static_cast<std::uint32_t>((p.y() + 2) * 3 + (p.z() + 2) * 11));
        p = QVector3D(p.x() * lump, p.y() * lump, p.z() * lump * 0.6f) * 0.12f;
    }
    return mesh;
}

}  // namespace

float HillHeight(float x, float y)
{
    // Zero at the border, 3.33 at the centre.
    const float edge = std::max(0.0f, 1.0f - std::max(std::abs(x), std::abs(y)) / 5.0f);
    return 3.333333f * std::exp(-(x * x + y * y) / 6.0f) * std::min(1.0f, edge * 4.0f);
}

ViewCamera SceneCameraYou()
{
    ViewCamera camera;
    camera.position = QVector3D(0, 6, 0.5f);
    camera.forward = QVector3D(0, -1, 0);
    camera.up = QVector3D(0, 0, 1);
    camera.verticalFovDegrees = 45.0f;
    return camera;
}

std::shared_ptr<ViewScene> MakeLandscape(const LandscapeRecipe& recipe)
{
    auto scene = std::make_shared<ViewScene>();
    ViewScene& s = *scene;
    s.camera = SceneCameraYou();
    s.terrainCentre = QVector3D(0, 0, 3.333333f / 2);
    s.terrainSize = QVector3D(10, 10, 3.333333f);

    ViewMaterial ground;
    ground.name = "terrain";
    ground.texture = PlainImage(recipe.groundTextureSize, recipe.groundColour, recipe.patterned);
    const int terrainMaterial = AddMaterial(s, ground);
    ground.name = "surround";
    ground.texture = PlainImage(recipe.groundTextureSize, recipe.groundColour.darker(104), recipe.patterned);
    ground.textureScale = QVector2D(20, 20);
    const int surroundMaterial = AddMaterial(s, ground);
    s.instances.push_back({AddMesh(s, TerrainGrid(recipe.gridSize, terrainMaterial)), QMatrix4x4()});
    s.instances.push_back({AddMesh(s, Square(100.0f, -0.01f, surroundMaterial)), QMatrix4x4()});

    ViewMaterial sky;
    sky.name = "atmos";
    sky.texture = PlainImage(recipe.skyTextureSize, recipe.skyColour, false);
    sky.textureScale = QVector2D(2, 2);
    sky.unlit = true;
    const int skyMesh = AddMesh(s, Sphere(16, true, AddMaterial(s, sky), [](const QVector3D& p, float) {
        return QVector2D(0.5f + p.x() / 2, 0.5f + p.y() / 2);
    }));
    QMatrix4x4 skyPlace;
    skyPlace.scale(100, 100, 10);
    s.instances.push_back({skyMesh, skyPlace});

    if (recipe.fog) {
        ViewMaterial fog;
        fog.name = "fog";
        fog.texture = FogImage(recipe.skyTextureSize);
        fog.alphaMode = AlphaMode::Blend;
        fog.unlit = true;
        const int fogMesh = AddMesh(s, Sphere(16, true, AddMaterial(s, fog), [](const QVector3D& p, float u) {
            return QVector2D(u, 0.5f - p.z() / 2);
        }));
        QMatrix4x4 fogPlace;
        fogPlace.translate(0, 0, -1.5f);
        fogPlace.scale(99.95f, 99.95f, 9.95f);
        s.instances.push_back({fogMesh, fogPlace});
    }
    if (recipe.water) {
        ViewMaterial water;
        water.name = "ocean";
        water.baseColour = Colour(recipe.waterColour);
        water.baseColour.setW(0.4f);
        water.alphaMode = AlphaMode::Blend;
        water.doubleSided = true;
        s.instances.push_back({AddMesh(s, Square(100.0f, 0.1f, AddMaterial(s, water))), QMatrix4x4()});
    }

    if (recipe.trees > 0) {
        ViewMaterial bark;
        bark.name = "bark";
        bark.baseColour = QVector4D(0.35f, 0.25f, 0.15f, 1);
        if (recipe.barkTextureSize > 0) {
            bark.baseColour = QVector4D(1, 1, 1, 1);
            bark.texture = PlainImage(recipe.barkTextureSize, QColor(90, 64, 38), true);
        }
        const int trunk = AddMesh(s, Trunk(AddMaterial(s, bark)));
        ViewMaterial leaves;
        leaves.name = "leaves";
        leaves.texture = LeafImage(recipe.leafTextureSize);
        leaves.alphaMode = AlphaMode::Mask;
        leaves.doubleSided = true;
        const int crown = AddMesh(s, LeafCards(recipe.treeLeafCards, AddMaterial(s, leaves)));
        for (int i = 0; i < recipe.trees; ++i) {
            const float x = -4.5f + 9.0f * Unit(static_cast<std::uint32_t>(i), 1);
            const float y = -4.5f + 9.0f * Unit(static_cast<std::uint32_t>(i), 2);
            QMatrix4x4 place;
            place.translate(x, y, HillHeight(x, y));
            place.rotate(360.0f * Unit(static_cast<std::uint32_t>(i), 3), 0, 0, 1);
            place.scale(0.6f + 0.6f * Unit(static_cast<std::uint32_t>(i), 4));
            s.instances.push_back({trunk, place});
            s.instances.push_back({crown, place});
        }
    }
    if (recipe.rocks > 0) {
        ViewMaterial stone;
        stone.name = "rock";
        stone.texture = PlainImage(recipe.rockTextureSize, QColor(128, 120, 110), true);
        const int rock = AddMesh(s, Rock(recipe.rockBands, AddMaterial(s, stone)));
        for (int i = 0; i < recipe.rocks; ++i) {
            const float x = -4.5f + 9.0f * Unit(static_cast<std::uint32_t>(i), 11);
            const float y = -4.5f + 9.0f * Unit(static_cast<std::uint32_t>(i), 12);
            QMatrix4x4 place;
            place.translate(x, y, HillHeight(x, y));
            place.rotate(360.0f * Unit(static_cast<std::uint32_t>(i), 13), 0, 0, 1);
            place.scale(0.7f + 0.8f * Unit(static_cast<std::uint32_t>(i), 14));
            s.instances.push_back({rock, place});
        }
    }

    if (recipe.sceneLights) {
        // Four infinite lights from above at four bearings, and the sun.
        const float strengths[4] = {0.30f, 0.344f, 0.258f, 0.30f};
        for (int i = 0; i < 4; ++i) {
            const float bearing = static_cast<float>(M_PI) * (0.25f + 0.5f * i);
            const QVector3D travel(-std::cos(bearing), -std::sin(bearing), -1.2f);
            s.directionalLights.push_back({travel.normalized(), QVector3D(1, 1, 1) * strengths[i] * 0.6f});
        }
        s.pointLights.push_back({QVector3D(-13.2769f, 16.824f, 9.3313f), QVector3D(1, 0.97f, 0.9f) * 0.75f});
    } else {
        s.directionalLights.push_back({QVector3D(0, 0, -1), QVector3D(0.85f, 0.85f, 0.85f)});
    }
    return scene;
}

}  // namespace kv::view::test
