// Reading glTF files for kelvane-gui --view: a small binary file assembled
// byte by byte in the test (a textured, alpha-masked quad on a Y-up node
// with a camera and lights), a whole landscape written by tinygltf's writer
// and read back, and files that cannot be shown.
#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <cstring>

#include "GltfTestWriter.h"
#include "SyntheticLandscape.h"
#include "app/view/GltfSceneReader.h"
#include "app/view/SceneView.h"
#include "app/view/ViewWindow.h"

using namespace kv::view;
using namespace kv::view::test;

namespace {

bool Close(const QVector3D& a, const QVector3D& b, float tolerance = 1e-4f) { return (a - b).length() < tolerance; }

void Append(QByteArray& bytes, const void* data, int size) { bytes.append(static_cast<const char*>(data), size); }

void Pad(QByteArray& bytes, char with)
{
    while (bytes.size() % 4 != 0) bytes.append(with);
}

// A binary glTF file: the JSON chunk and the binary chunk, by the layout.
QByteArray Glb(QByteArray json, QByteArray binary)
{
    Pad(json, ' ');
    Pad(binary, '\0');
    QByteArray file("glTF");
    const std::uint32_t version = 2;
    const auto total = static_cast<std::uint32_t>(12 + 8 + json.size() + 8 + binary.size());
    Append(file, &version, 4);
    Append(file, &total, 4);
    const auto jsonLength = static_cast<std::uint32_t>(json.size());
    Append(file, &jsonLength, 4);
    file.append("JSON", 4);
    file.append(json);
    const auto binaryLength = static_cast<std::uint32_t>(binary.size());
    Append(file, &binaryLength, 4);
    file.append("BIN\0", 4);
    file.append(binary);
    return file;
}

// A 4 x 4 PNG: red, its left half transparent.
QByteArray HalfTransparentPng()
{
    QImage image(4, 4, QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) image.setPixel(x, y, qRgba(255, 0, 0, x < 2 ? 0 : 255));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// A unit quad lying flat in the file's Y-up world (y = 0), raised 2 units by
// its node, with texture coordinates, a masked double-sided material with a
// texture transform, a camera above it looking down, a directional light
// shining down and a point light.
QByteArray QuadFile(const QByteArray& json, const QByteArray& png, std::uint16_t lastIndex = 3)
{
    QByteArray binary;
    const float positions[] = {-1, 0, 1, 1, 0, 1, 1, 0, -1, -1, 0, -1};
    const float texCoords[] = {0, 1, 1, 1, 1, 0, 0, 0};
    const std::uint16_t indices[] = {0, 1, 2, 0, 2, lastIndex};
    Append(binary, positions, sizeof positions);    // 0..47
    Append(binary, texCoords, sizeof texCoords);    // 48..79
    Append(binary, indices, sizeof indices);        // 80..91
    binary.append(png);                             // 92..
    QByteArray text = json;
    text.replace("PNGLENGTH", QByteArray::number(png.size()));
    return Glb(text, binary);
}

const char* const kQuadJson = R"({
  "asset": {"version": "2.0"},
  "extensionsUsed": ["KHR_texture_transform", "KHR_lights_punctual", "KHR_materials_unlit"],
  "extensions": {"KHR_lights_punctual": {"lights": [
      {"type": "directional", "color": [1.0, 0.5, 0.25], "intensity": 6.2831853},
      {"type": "point", "color": [1.0, 1.0, 1.0], "intensity": 113.097336}]}},
  "scene": 0,
  "scenes": [{"nodes": [0, 1, 2, 3]}],
  "nodes": [
    {"name": "terrain", "mesh": 0, "translation": [0, 2, 0]},
    {"name": "YOU", "camera": 0, "translation": [0, 10, 0], "rotation": [-0.7071068, 0, 0, 0.7071068]},
    {"name": "sunlight", "rotation": [-0.7071068, 0, 0, 0.7071068],
     "extensions": {"KHR_lights_punctual": {"light": 0}}},
    {"name": "sun", "translation": [0, 8, 0], "extensions": {"KHR_lights_punctual": {"light": 1}}}],
  "cameras": [{"type": "perspective", "perspective": {"yfov": 0.5, "znear": 0.1}}],
  "meshes": [{"name": "quad", "primitives": [{"attributes": {"POSITION": 0, "TEXCOORD_0": 1}, "indices": 2,
                                              "material": 0}]}],
  "materials": [{"name": "leaf", "alphaMode": "MASK", "alphaCutoff": 0.3, "doubleSided": true,
                 "pbrMetallicRoughness": {"baseColorFactor": [0.214041, 1.0, 0.0, 1.0],
                   "baseColorTexture": {"index": 0,
                     "extensions": {"KHR_texture_transform": {"offset": [0.5, 0.25], "scale": [20, 20]}}}}}],
  "textures": [{"source": 0}],
  "images": [{"bufferView": 3, "mimeType": "image/png"}],
  "buffers": [{"byteLength": BUFLENGTH}],
  "bufferViews": [
    {"buffer": 0, "byteOffset": 0, "byteLength": 48},
    {"buffer": 0, "byteOffset": 48, "byteLength": 32},
    {"buffer": 0, "byteOffset": 80, "byteLength": 12},
    {"buffer": 0, "byteOffset": 92, "byteLength": PNGLENGTH}],
  "accessors": [
    {"bufferView": 0, "componentType": 5126, "count": 4, "type": "VEC3", "min": [-1, 0, -1], "max": [1, 0, 1]},
    {"bufferView": 1, "componentType": 5126, "count": 4, "type": "VEC2"},
    {"bufferView": 2, "componentType": 5123, "count": 6, "type": "SCALAR"}]
})";

QByteArray QuadJson(const QByteArray& png)
{
    QByteArray json(kQuadJson);
    int binaryLength = 92 + static_cast<int>(png.size());
    while (binaryLength % 4 != 0) ++binaryLength;
    json.replace("BUFLENGTH", QByteArray::number(binaryLength));
    return json;
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) qFatal("cannot write a test file");
    return file.fileName();
}

}  // namespace

class GltfSceneReaderTest : public QObject {
    Q_OBJECT

private slots:
    void texturedMaskedQuadTurnedUpright();
    void landscapeWrittenAndReadBack();
    void filesThatCannotBeShown();
};

void GltfSceneReaderTest::texturedMaskedQuadTurnedUpright()
{
    QTemporaryDir dir;
    const QByteArray png = HalfTransparentPng();
    const GltfReadResult read = ReadGltfScene(WriteFile(dir, "quad.glb", QuadFile(QuadJson(png), png)));
    QVERIFY2(read.scene, qPrintable(read.error));
    const ViewScene& scene = *read.scene;

    QCOMPARE(scene.meshes.size(), std::size_t(1));
    QCOMPARE(scene.instances.size(), std::size_t(1));
    const ViewMesh& quad = scene.meshes[0];
    QCOMPARE(quad.indices, (std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3}));
    QVERIFY(quad.normals.empty());  // the view computes them
    QCOMPARE(quad.texCoords.size(), std::size_t(4));
    QCOMPARE(quad.texCoords[1], QVector2D(1, 1));
    // The file's y is the view's z: the quad lies flat, 2 units up; the
    // file's +z (towards a Y-up viewer) is the view's -y.
    const QMatrix4x4& world = scene.instances[0].world;
    QVERIFY(Close(world.map(quad.positions[0]), QVector3D(-1, -1, 2)));
    QVERIFY(Close(world.map(quad.positions[2]), QVector3D(1, 1, 2)));
    // Wound counter-clockwise seen from above in both worlds.
    const QVector3D a = world.map(quad.positions[0]), b = world.map(quad.positions[1]), c = world.map(quad.positions[2]);
    QVERIFY(QVector3D::crossProduct(b - a, c - a).z() > 0);
    // The terrain node gives the pivot and size.
    QVERIFY(Close(scene.terrainCentre, QVector3D(0, 0, 2)));
    QVERIFY(Close(scene.terrainSize, QVector3D(2, 2, 0)));

    QCOMPARE(scene.materials.size(), std::size_t(1));
    const ViewMaterial& leaf = scene.materials[0];
    QCOMPARE(leaf.alphaMode, AlphaMode::Mask);
    QCOMPARE(leaf.alphaCutoff, 0.3f);
    QVERIFY(leaf.doubleSided);
    QVERIFY(!leaf.unlit);
    QCOMPARE(leaf.textureScale, QVector2D(20, 20));
    QCOMPARE(leaf.textureOffset, QVector2D(0.5f, 0.25f));
    // Linear 0.214041 is display 0.5.
    QVERIFY(std::abs(leaf.baseColour.x() - 0.5f) < 1e-3f && leaf.baseColour.y() == 1.0f && leaf.baseColour.w() == 1.0f);
    QCOMPARE(leaf.texture.size(), QSize(4, 4));
    QVERIFY(leaf.texture.hasAlphaChannel());
    QCOMPARE(qAlpha(leaf.texture.pixel(0, 0)), 0);
    QCOMPARE(leaf.texture.pixel(3, 3), qRgba(255, 0, 0, 255));

    // The camera 10 up looks straight down; its picture's top is the view's +y.
    QVERIFY(Close(scene.camera.position, QVector3D(0, 0, 10)));
    QVERIFY(Close(scene.camera.forward, QVector3D(0, 0, -1)));
    QVERIFY(Close(scene.camera.up, QVector3D(0, 1, 0)));
    QVERIFY(std::abs(scene.camera.verticalFovDegrees - 28.6479f) < 1e-3f);
    // The directional light shines straight down with colour times intensity
    // over pi (2 pi here); the point light 6 units above the terrain's centre
    // gives 36 pi / 6² / pi there.
    QCOMPARE(scene.directionalLights.size(), std::size_t(1));
    QVERIFY(Close(scene.directionalLights[0].direction, QVector3D(0, 0, -1)));
    QVERIFY(Close(scene.directionalLights[0].colour, QVector3D(2, 1, 0.5f)));
    QCOMPARE(scene.pointLights.size(), std::size_t(1));
    QVERIFY(Close(scene.pointLights[0].position, QVector3D(0, 0, 8)));
    QVERIFY(Close(scene.pointLights[0].colour, QVector3D(1, 1, 1)));

    // Shown: from its camera the quad fills the middle; the transparent half
    // of each texture repeat is cut away, showing the background, the opaque
    // half is red lit by the warm light.
    ViewWindow window(read.scene, "quad");
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QImage frame = window.view().grabFramebuffer();
    int red = 0, background = 0;
    for (int x = frame.width() / 2 - 40; x < frame.width() / 2 + 40; ++x) {
        const QColor c = frame.pixel(x, frame.height() / 2);
        if (c.red() > 200 && c.green() < 40 && c.blue() < 40) ++red;
        if (c.red() < 200) ++background;
    }
    QVERIFY2(red > 20 && background > 20, qPrintable(QStringLiteral("red %1 background %2").arg(red).arg(background)));
}

void GltfSceneReaderTest::landscapeWrittenAndReadBack()
{
    LandscapeRecipe recipe;
    recipe.fog = true;
    recipe.water = true;
    recipe.trees = 5;
    recipe.rocks = 3;
    const auto original = MakeLandscape(recipe);
    QTemporaryDir dir;
    const QString path = dir.filePath("landscape.glb");
    QCOMPARE(WriteGltf(*original, path), QString());
    const GltfReadResult read = ReadGltfScene(path);
    QVERIFY2(read.scene, qPrintable(read.error));
    const ViewScene& scene = *read.scene;

    // Shared meshes stay shared: one mesh per kind, one instance per object.
    QCOMPARE(scene.meshes.size(), original->meshes.size());
    QCOMPARE(scene.instances.size(), original->instances.size());
    for (std::size_t i = 0; i < scene.instances.size(); ++i) {
        QCOMPARE(scene.instances[i].mesh, original->instances[i].mesh);
        const ViewMesh& mesh = original->meshes[static_cast<std::size_t>(original->instances[i].mesh)];
        // Placed where they were, through the Y-up file and back.
        for (std::size_t v = 0; v < mesh.positions.size(); v += 17)
            QVERIFY(Close(scene.instances[i].world.map(scene.meshes[static_cast<std::size_t>(scene.instances[i].mesh)].positions[v]),
                          original->instances[i].world.map(mesh.positions[v]), 1e-3f));
    }
    QCOMPARE(scene.materials.size(), original->materials.size());
    for (std::size_t m = 0; m < scene.materials.size(); ++m) {
        const ViewMaterial& a = scene.materials[m];
        const ViewMaterial& b = original->materials[m];
        QCOMPARE(a.alphaMode, b.alphaMode);
        QCOMPARE(a.unlit, b.unlit);
        QCOMPARE(a.doubleSided, b.doubleSided);
        QCOMPARE(a.textureScale, b.textureScale);
        QCOMPARE(a.texture.size(), b.texture.size());
        QVERIFY((a.baseColour - b.baseColour).length() < 2e-3f);
    }
    QVERIFY(Close(scene.camera.position, original->camera.position));
    QVERIFY(Close(scene.camera.forward, original->camera.forward));
    QVERIFY(Close(scene.camera.up, original->camera.up));
    QCOMPARE(scene.directionalLights.size(), original->directionalLights.size());
    for (std::size_t i = 0; i < scene.directionalLights.size(); ++i) {
        QVERIFY(Close(scene.directionalLights[i].direction, original->directionalLights[i].direction));
        QVERIFY(Close(scene.directionalLights[i].colour, original->directionalLights[i].colour));
    }
    QCOMPARE(scene.pointLights.size(), std::size_t(1));
    QVERIFY(Close(scene.pointLights[0].colour, original->pointLights[0].colour, 1e-3f));
    // The terrain without its lowest ring of vertices: nearly all of it.
    QVERIFY(Close(scene.terrainCentre * QVector3D(1, 1, 0), QVector3D(0, 0, 0), 0.2f));
    QVERIFY(scene.terrainSize.x() > 9.0f && scene.terrainSize.x() <= 10.0f);
    QVERIFY(std::abs(scene.terrainSize.z() - 3.33f) < 0.05f);
}

void GltfSceneReaderTest::filesThatCannotBeShown()
{
    QTemporaryDir dir;
    const auto refused = [](const QString& path, const char* reason) {
        const GltfReadResult read = ReadGltfScene(path);
        QVERIFY2(!read.scene, reason);
        QVERIFY2(read.error.contains(path), qPrintable(read.error));
        QVERIFY2(read.error.contains(reason, Qt::CaseInsensitive), qPrintable(read.error));
    };
    refused(dir.filePath("missing.glb"), "does not exist");
    refused(dir.path(), "cannot be read");
    refused(WriteFile(dir, "text.glb", "this is not a scene"), "not a glTF scene");
    const QByteArray png = HalfTransparentPng();
    const QByteArray whole = QuadFile(QuadJson(png), png);
    refused(WriteFile(dir, "cut.glb", whole.left(whole.size() / 2)), "not a glTF scene");
    // Indices past the vertices, an accessor past its data, a picture that
    // is not one: each a clear sentence, never a crash.
    QByteArray json = QuadJson(png);
    refused(WriteFile(dir, "indices.glb", QuadFile(json, png, 9)), "missing vertex");
    refused(WriteFile(dir, "short.glb",
                      QuadFile(QByteArray(json).replace(R"("count": 4, "type": "VEC2")", R"("count": 40, "type": "VEC2")"), png)),
            "past the end");
    QByteArray notPng = png;
    notPng.fill('x');
    refused(WriteFile(dir, "picture.glb", QuadFile(json, notPng)), "not a glTF scene");
}

QTEST_MAIN(GltfSceneReaderTest)
#include "GltfSceneReaderTest.moc"
