#pragma once
// Draws a ViewScene with OpenGL: uploads its meshes (prepared and merged) and
// its images (mipmapped) once, then draws a frame for a camera in the order
// DrawOrder gives. Every call needs the view's OpenGL context current,
// destruction included.
#include <QMatrix3x3>
#include <QMatrix4x4>
#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>
#include <QSize>
#include <QString>

#include <memory>
#include <vector>

#include "app/view/DrawOrder.h"
#include "app/view/OrbitCamera.h"
#include "app/view/ViewScene.h"

namespace kv::view {

struct TextureLevels;

struct FrameStatistics {
    int drawCalls = 0;
    long long triangles = 0;
};

class SceneRenderer : protected QOpenGLFunctions {
public:
    explicit SceneRenderer(std::shared_ptr<const ViewScene> scene);
    ~SceneRenderer();
    SceneRenderer(const SceneRenderer&) = delete;
    SceneRenderer& operator=(const SceneRenderer&) = delete;

    // False when the shaders could not be built; failure() tells why.
    bool isValid() const { return failure_.isEmpty(); }
    const QString& failure() const { return failure_; }

    // Draws the scene into the bound framebuffer, whose size is given.
    void draw(const OrbitCamera& camera, const QSize& viewport);
    const FrameStatistics& lastFrame() const { return lastFrame_; }
    // The textures held: one per distinct picture, however many materials wear it.
    int textureCount() const { return static_cast<int>(textures_.size()); }

    // Near and far planes that hold the whole scene seen from `eye`.
    std::pair<float, float> depthRange(const QVector3D& eye) const;

private:
    struct GpuMesh {
        GLuint vertexBuffer = 0;
        GLuint indexBuffer = 0;
        GLsizei indexCount = 0;
        int material = -1;
        QVector3D boxMin;  // in the mesh's coordinates
        QVector3D boxMax;
    };
    struct GpuMaterial {
        GLuint texture = 0;
        ViewMaterial parameters;  // without its image, which lives on the GPU
    };
    struct PlacedInstance {
        int mesh = 0;
        QMatrix4x4 world;
        QMatrix3x3 normalMatrix;
    };

    void buildProgram();
    void uploadMeshes();
    void uploadMaterials();
    GLuint uploadTexture(const TextureLevels& prepared);
    void placeInstances();
    void findUniforms();
    void setLights();
    void useMaterial(int material);

    std::shared_ptr<const ViewScene> scene_;
    QString failure_;
    QOpenGLShaderProgram program_;
    struct Uniforms {
        int modelViewProjection, model, normalMatrix, texScale, texOffset, unlit, texture, textured, baseColour,
            alphaCutoff, blended;
    } uniforms_{};
    std::vector<GpuMesh> meshes_;
    std::vector<GpuMaterial> materials_;
    std::vector<GLuint> textures_;  // each once, however many materials wear it
    std::vector<PlacedInstance> instances_;
    std::vector<DrawCandidate> candidates_;  // one per instance
    QVector3D boundsMin_;
    QVector3D boundsMax_;
    GpuMaterial defaultMaterial_;
    FrameStatistics lastFrame_;
    int maxTextureSize_ = 2048;
};

}  // namespace kv::view
