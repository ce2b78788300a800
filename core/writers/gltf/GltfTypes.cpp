#include "core/writers/gltf/GltfTypes.h"

namespace kv::gltf {

int ComponentSize(ComponentType type)
{
    switch (type) {
    case ComponentType::Byte:
    case ComponentType::UnsignedByte: return 1;
    case ComponentType::Short:
    case ComponentType::UnsignedShort: return 2;
    case ComponentType::UnsignedInt:
    case ComponentType::Float: break;
    }
    return 4;
}

int ComponentCount(ElementType type)
{
    switch (type) {
    case ElementType::Scalar: return 1;
    case ElementType::Vec2: return 2;
    case ElementType::Vec3: return 3;
    case ElementType::Vec4:
    case ElementType::Mat2: return 4;
    case ElementType::Mat3: return 9;
    case ElementType::Mat4: break;
    }
    return 16;
}

int ComponentTypeCode(ComponentType type)
{
    switch (type) {
    case ComponentType::Byte: return 5120;
    case ComponentType::UnsignedByte: return 5121;
    case ComponentType::Short: return 5122;
    case ComponentType::UnsignedShort: return 5123;
    case ComponentType::UnsignedInt: return 5125;
    case ComponentType::Float: break;
    }
    return 5126;
}

const char* ElementTypeName(ElementType type)
{
    switch (type) {
    case ElementType::Scalar: return "SCALAR";
    case ElementType::Vec2: return "VEC2";
    case ElementType::Vec3: return "VEC3";
    case ElementType::Vec4: return "VEC4";
    case ElementType::Mat2: return "MAT2";
    case ElementType::Mat3: return "MAT3";
    case ElementType::Mat4: break;
    }
    return "MAT4";
}

std::array<double, 4> ZUpToYUpRotation()
{
    // A rotation by -90 degrees about X: (sin(-45°), 0, 0, cos(-45°)).
    constexpr double kHalfRoot2 = 0.70710678118654752440;
    return {-kHalfRoot2, 0.0, 0.0, kHalfRoot2};
}

}  // namespace kv::gltf
