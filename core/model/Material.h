#pragma once
// How a surface looks: its shading, colour, surface values and image maps.
#include <cstdint>
#include <optional>
#include <variant>

#include "core/inputs/ProjectSettings.h"
#include "core/model/Geometry.h"

namespace kv {

enum class Shading { Phong, Flat };

// How the normals of neighbouring faces are blended: always (smooth), or
// only across edges whose faces meet at less than 32 degrees.
enum class Faceting { Smooth, Angle32 };

// A colour stated in whole 8-bit components ...
using WholeColour = RgbColor;
// ... or as fractions of full intensity computed in single precision.
struct FractionColour {
    float r = 0.0f, g = 0.0f, b = 0.0f;
};
using MaterialColour = std::variant<WholeColour, FractionColour>;

// The surface values, as the scene states them.
struct Surface {
    double alpha = 1.0;       // opacity
    double ambient = 0.0;     // share of ambient light
    double specular = 0.0;    // strength of highlights
    double exponent = 0.0;    // roughness of highlights
    double refraction = 1.0;  // index of refraction
};

// An image laid onto the surface: which image (an index into the scene's
// image list), where it starts and how often it repeats across the texture
// coordinates, and for a bump map its height.
struct ImageMap {
    int image = 0;
    Vec2 offset;
    Vec2 repeats{1.0, 1.0};
    double amplitude = 0.0;
};

struct Material {
    Shading shading = Shading::Phong;
    Faceting faceting = Faceting::Smooth;
    MaterialColour colour = WholeColour{0, 0, 0};
    Surface surface;
    std::optional<ImageMap> texture;  // colour picture
    std::optional<ImageMap> bump;     // height picture
};

}  // namespace kv
