#include "app/view/SceneRenderer.h"

#include <QOpenGLContext>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "app/view/Frustum.h"
#include "app/view/MeshPreparation.h"
#include "app/view/TextureLevels.h"
#include "app/view/ViewShaders.h"

#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif

namespace kv::view {

namespace {

enum Attribute : GLuint { kPosition = 0, kNormal = 1, kTexCoord = 2 };

const QVector4D kDefaultGrey(0.6f, 0.6f, 0.6f, 1.0f);
const QColor kClearColour(118, 134, 156);

// The box of `local` (a box in a mesh's coordinates) placed by `world`.
std::pair<QVector3D, QVector3D> PlacedBox(const QMatrix4x4& world, const QVector3D& lo, const QVector3D& hi)
{
    QVector3D boxMin, boxMax;
    for (int corner = 0; corner < 8; ++corner) {
        const QVector3D p = world.map(
            QVector3D(corner & 1 ? hi.x() : lo.x(), corner & 2 ? hi.y() : lo.y(), corner & 4 ? hi.z() : lo.z()));
        if (corner == 0) {
            boxMin = boxMax = p;
            continue;
        }
        for (int axis = 0; axis < 3; ++axis) {
            boxMin[axis] = std::min(boxMin[axis], p[axis]);
            boxMax[axis] = std::max(boxMax[axis], p[axis]);
        }
    }
    return {boxMin, boxMax};
}

}  // namespace

SceneRenderer::SceneRenderer(std::shared_ptr<const ViewScene> scene) : scene_(std::move(scene))
{
    initializeOpenGLFunctions();
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize_);
    defaultMaterial_.parameters.baseColour = kDefaultGrey;
    buildProgram();
    if (!isValid()) return;
    uploadMaterials();
    uploadMeshes();
    placeInstances();
}

SceneRenderer::~SceneRenderer()
{
    for (const GpuMesh& mesh : meshes_) {
        glDeleteBuffers(1, &mesh.vertexBuffer);
        glDeleteBuffers(1, &mesh.indexBuffer);
    }
    for (const GLuint texture : textures_) glDeleteTextures(1, &texture);
}

void SceneRenderer::buildProgram()
{
    // GLSL ES needs a default float precision in the fragment shader; desktop
    // GLSL ignores precision qualifiers.
    const QByteArray fragment = QByteArray("#ifdef GL_ES\nprecision mediump float;\n#endif\n") + SceneFragmentShader();
    if (!program_.addShaderFromSourceCode(QOpenGLShader::Vertex, SceneVertexShader()) ||
        !program_.addShaderFromSourceCode(QOpenGLShader::Fragment, fragment)) {
        failure_ = "The view's shaders do not compile: " + program_.log();
        return;
    }
    program_.bindAttributeLocation("aPosition", kPosition);
    program_.bindAttributeLocation("aNormal", kNormal);
    program_.bindAttributeLocation("aTexCoord", kTexCoord);
    if (!program_.link()) {
        failure_ = "The view's shaders do not link: " + program_.log();
        return;
    }
    findUniforms();
}

void SceneRenderer::findUniforms()
{
    const auto at = [this](const char* name) { return program_.uniformLocation(name); };
    uniforms_ = {at("uModelViewProjection"), at("uModel"),    at("uNormalMatrix"), at("uTexScale"),
                 at("uTexOffset"),           at("uUnlit"),    at("uTexture"),      at("uTextured"),
                 at("uBaseColour"),          at("uAlphaCutoff"), at("uBlended")};
}

GLuint SceneRenderer::uploadTexture(const TextureLevels& prepared)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    // QImage rows of four bytes a pixel start on 4-byte boundaries.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    const bool es = QOpenGLContext::currentContext()->isOpenGLES();
    const GLenum format = prepared.order == PixelOrder::Bgra ? GL_BGRA : GL_RGBA;
    // Desktop OpenGL may keep an opaque texture in three bytes a pixel.
    const GLint internal = es || prepared.alpha ? GL_RGBA : GL_RGB;
    for (std::size_t level = 0; level < prepared.levels.size(); ++level) {
        const QImage& image = prepared.levels[level];
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), internal, image.width(), image.height(), 0, format,
                     GL_UNSIGNED_BYTE, image.constBits());
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    return texture;
}

void SceneRenderer::uploadMaterials()
{
    materials_.reserve(scene_->materials.size());
    for (const ViewMaterial& material : scene_->materials) {
        GpuMaterial gpu;
        gpu.parameters = material;
        gpu.parameters.texture = QImage();
        materials_.push_back(std::move(gpu));
    }
    // The mipmap chains are made on worker threads and uploaded here as each
    // is ready, the largest images first. Materials that wear the same
    // picture (the rocks' and the bark trees') share one texture.
    std::vector<int> textured;  // one material per distinct picture
    std::map<qint64, std::vector<int>> wearers;  // by the picture's data
    for (std::size_t i = 0; i < scene_->materials.size(); ++i) {
        const QImage& image = scene_->materials[i].texture;
        if (image.isNull()) continue;
        std::vector<int>& same = wearers[image.cacheKey()];
        if (same.empty()) textured.push_back(static_cast<int>(i));
        same.push_back(static_cast<int>(i));
    }
    std::stable_sort(textured.begin(), textured.end(), [this](int a, int b) {
        const auto pixels = [this](int m) {
            const QImage& image = scene_->materials[static_cast<std::size_t>(m)].texture;
            return static_cast<long long>(image.width()) * image.height();
        };
        return pixels(a) > pixels(b);
    });
    std::vector<TextureLevels> prepared(textured.size());
    const bool bgra = !QOpenGLContext::currentContext()->isOpenGLES();
    // One worker prepares the next chain while this thread uploads the last:
    // as fast to the first frame as more workers (the upload is the slower
    // half), with one chain fewer held at a time (about 30 MB at Hi Res).
    constexpr int threads = 1;
    PrepareInOrder(
        static_cast<int>(textured.size()), threads,
        [&](int i) {
            try {
                prepared[static_cast<std::size_t>(i)] = MakeTextureLevels(
                    scene_->materials[static_cast<std::size_t>(textured[static_cast<std::size_t>(i)])].texture,
                    maxTextureSize_, bgra);
            } catch (const std::bad_alloc&) {
                // Too large to prepare: the material shows its base colour.
                prepared[static_cast<std::size_t>(i)] = {};
            }
        },
        [&](int i) {
            TextureLevels& levels = prepared[static_cast<std::size_t>(i)];
            const int first = textured[static_cast<std::size_t>(i)];
            if (!levels.levels.empty()) {
                const GLuint texture = uploadTexture(levels);
                textures_.push_back(texture);
                for (int m : wearers[scene_->materials[static_cast<std::size_t>(first)].texture.cacheKey()])
                    materials_[static_cast<std::size_t>(m)].texture = texture;
            }
            levels = {};
        });
}

void SceneRenderer::uploadMeshes()
{
    meshes_.reserve(scene_->meshes.size());
    for (const ViewMesh& mesh : scene_->meshes) {
        const PreparedMesh prepared = PrepareMesh(mesh);
        GpuMesh gpu;
        gpu.material = prepared.material;
        gpu.indexCount = static_cast<GLsizei>(prepared.indices.size());
        gpu.boxMin = prepared.boundsMin;
        gpu.boxMax = prepared.boundsMax;
        glGenBuffers(1, &gpu.vertexBuffer);
        glBindBuffer(GL_ARRAY_BUFFER, gpu.vertexBuffer);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(prepared.vertices.size() * sizeof(float)),
                     prepared.vertices.data(), GL_STATIC_DRAW);
        glGenBuffers(1, &gpu.indexBuffer);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, gpu.indexBuffer);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(prepared.indices.size() * sizeof(std::uint32_t)),
                     prepared.indices.data(), GL_STATIC_DRAW);
        meshes_.push_back(gpu);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);

}

void SceneRenderer::placeInstances()
{
    // Every instance's box, once: the scene does not move.
    bool first = true;
    for (const ViewInstance& instance : scene_->instances) {
        if (instance.mesh < 0 || instance.mesh >= static_cast<int>(meshes_.size())) continue;
        const GpuMesh& mesh = meshes_[static_cast<std::size_t>(instance.mesh)];
        if (mesh.indexCount == 0) continue;
        instances_.push_back({instance.mesh, instance.world, instance.world.normalMatrix()});
        const auto [boxMin, boxMax] = PlacedBox(instance.world, mesh.boxMin, mesh.boxMax);
        const bool known = mesh.material >= 0 && mesh.material < static_cast<int>(materials_.size());
        const ViewMaterial* material = known ? &materials_[static_cast<std::size_t>(mesh.material)].parameters : nullptr;
        const bool blended = material && material->alphaMode == AlphaMode::Blend;
        const bool dome = material && material->unlit && material->doubleSided;
        candidates_.push_back({boxMin, boxMax, blended, dome});
        if (first) {
            boundsMin_ = boxMin;
            boundsMax_ = boxMax;
            first = false;
        }
        for (int axis = 0; axis < 3; ++axis) {
            boundsMin_[axis] = std::min(boundsMin_[axis], boxMin[axis]);
            boundsMax_[axis] = std::max(boundsMax_[axis], boxMax[axis]);
        }
    }
}

std::pair<float, float> SceneRenderer::depthRange(const QVector3D& eye) const
{
    // The farthest corner of the scene's box, with a margin; the near plane
    // as far out as the depth buffer's precision at the domes asks.
    float farthest = 1.0f;
    for (int corner = 0; corner < 8; ++corner) {
        const QVector3D p(corner & 1 ? boundsMax_.x() : boundsMin_.x(), corner & 2 ? boundsMax_.y() : boundsMin_.y(),
                          corner & 4 ? boundsMax_.z() : boundsMin_.z());
        farthest = std::max(farthest, (p - eye).length());
    }
    const float farPlane = farthest * 1.05f;
    const float nearPlane = std::clamp(farPlane / 4000.0f, 0.005f, 1.0f);
    return {nearPlane, farPlane};
}

void SceneRenderer::setLights()
{
    std::array<QVector3D, kMaxDirectionalLights> toLight{}, lightColour{};
    // The brightest lights when a scene has more than the shader takes.
    std::vector<ViewDirectionalLight> directional = scene_->directionalLights;
    std::stable_sort(directional.begin(), directional.end(), [](const auto& a, const auto& b) {
        return a.colour.length() > b.colour.length();
    });
    for (std::size_t i = 0; i < directional.size() && i < toLight.size(); ++i) {
        const QVector3D direction = directional[i].direction;
        if (direction.lengthSquared() == 0.0f) continue;
        toLight[i] = -direction.normalized();
        lightColour[i] = directional[i].colour;
    }
    std::array<QVector3D, kMaxPointLights> pointPosition{}, pointColour{};
    for (std::size_t i = 0; i < scene_->pointLights.size() && i < pointPosition.size(); ++i) {
        pointPosition[i] = scene_->pointLights[i].position;
        pointColour[i] = scene_->pointLights[i].colour;
    }
    program_.setUniformValueArray("uToLight", toLight.data(), kMaxDirectionalLights);
    program_.setUniformValueArray("uLightColour", lightColour.data(), kMaxDirectionalLights);
    program_.setUniformValueArray("uPointPosition", pointPosition.data(), kMaxPointLights);
    program_.setUniformValueArray("uPointColour", pointColour.data(), kMaxPointLights);
    program_.setUniformValue("uAmbient", scene_->ambient);
}

void SceneRenderer::useMaterial(int index)
{
    const bool known = index >= 0 && index < static_cast<int>(materials_.size());
    const GpuMaterial& material = known ? materials_[static_cast<std::size_t>(index)] : defaultMaterial_;
    const ViewMaterial& p = material.parameters;
    program_.setUniformValue(uniforms_.baseColour, p.baseColour);
    program_.setUniformValue(uniforms_.textured, material.texture != 0 ? 1.0f : 0.0f);
    if (material.texture != 0) glBindTexture(GL_TEXTURE_2D, material.texture);
    program_.setUniformValue(uniforms_.texScale, p.textureScale);
    program_.setUniformValue(uniforms_.texOffset, p.textureOffset);
    program_.setUniformValue(uniforms_.alphaCutoff, p.alphaMode == AlphaMode::Mask ? p.alphaCutoff : -1.0f);
    program_.setUniformValue(uniforms_.blended, p.alphaMode == AlphaMode::Blend ? 1.0f : 0.0f);
    program_.setUniformValue(uniforms_.unlit, p.unlit ? 1.0f : 0.0f);
    if (p.doubleSided) {
        glDisable(GL_CULL_FACE);
    } else {
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
    }
    if (p.alphaMode == AlphaMode::Blend) {
        glEnable(GL_BLEND);
        // The picture keeps alpha 1 wherever it is blended over.
        glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
        glDepthMask(GL_FALSE);
    } else {
        glDisable(GL_BLEND);
        glDepthMask(GL_TRUE);
    }
}

void SceneRenderer::draw(const OrbitCamera& camera, const QSize& viewport)
{
    lastFrame_ = {};
    glViewport(0, 0, viewport.width(), viewport.height());
    glClearColor(kClearColour.redF(), kClearColour.greenF(), kClearColour.blueF(), 1.0f);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!isValid() || viewport.isEmpty()) return;

    const QVector3D eye = camera.camera().position;
    const auto [nearPlane, farPlane] = depthRange(eye);
    const float aspect = static_cast<float>(viewport.width()) / static_cast<float>(viewport.height());
    const QMatrix4x4 viewProjection = camera.projectionMatrix(aspect, nearPlane, farPlane) * camera.viewMatrix();

    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glActiveTexture(GL_TEXTURE0);
    program_.bind();
    program_.setUniformValue(uniforms_.texture, 0);
    setLights();
    for (GLuint attribute : {kPosition, kNormal, kTexCoord}) glEnableVertexAttribArray(attribute);

    // Only what lies at least partly in the picture.
    const Frustum frustum(viewProjection);
    std::vector<int> visible;
    std::vector<DrawCandidate> visibleCandidates;
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
        if (frustum.excludes(candidates_[i].boxMin, candidates_[i].boxMax)) continue;
        visible.push_back(static_cast<int>(i));
        visibleCandidates.push_back(candidates_[i]);
    }

    int boundMaterial = -2;
    int boundMesh = -1;
    for (int order : DrawOrder(visibleCandidates, eye)) {
        const PlacedInstance& instance = instances_[static_cast<std::size_t>(visible[static_cast<std::size_t>(order)])];
        const GpuMesh& mesh = meshes_[static_cast<std::size_t>(instance.mesh)];
        if (mesh.material != boundMaterial) {
            useMaterial(mesh.material);
            boundMaterial = mesh.material;
        }
        if (instance.mesh != boundMesh) {
            glBindBuffer(GL_ARRAY_BUFFER, mesh.vertexBuffer);
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.indexBuffer);
            constexpr GLsizei stride = kFloatsPerVertex * sizeof(float);
            glVertexAttribPointer(kPosition, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
            glVertexAttribPointer(kNormal, 3, GL_FLOAT, GL_FALSE, stride,
                                  reinterpret_cast<const void*>(3 * sizeof(float)));
            glVertexAttribPointer(kTexCoord, 2, GL_FLOAT, GL_FALSE, stride,
                                  reinterpret_cast<const void*>(6 * sizeof(float)));
            boundMesh = instance.mesh;
        }
        program_.setUniformValue(uniforms_.modelViewProjection, viewProjection * instance.world);
        program_.setUniformValue(uniforms_.model, instance.world);
        program_.setUniformValue(uniforms_.normalMatrix, instance.normalMatrix);
        glDrawElements(GL_TRIANGLES, mesh.indexCount, GL_UNSIGNED_INT, nullptr);
        ++lastFrame_.drawCalls;
        lastFrame_.triangles += mesh.indexCount / 3;
    }

    for (GLuint attribute : {kPosition, kNormal, kTexCoord}) glDisableVertexAttribArray(attribute);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    program_.release();
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_TRUE);
}

}  // namespace kv::view
