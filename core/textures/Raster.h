#pragma once
// The byte rasters and images the texture synthesis works on.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace kv {

// A square texture raster of size x size bytes, row by row from the top:
// pixel (x, y) is at y * size + x.
struct Raster {
    int size = 0;
    std::vector<std::uint8_t> bytes;

    Raster() = default;
    explicit Raster(int edge) : size(edge), bytes(static_cast<std::size_t>(edge) * static_cast<std::size_t>(edge), 0) {}

    std::uint8_t* Row(int y) { return bytes.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(size); }
    const std::uint8_t* Row(int y) const
    {
        return bytes.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(size);
    }
    std::uint8_t At(int x, int y) const { return Row(y)[x]; }
    bool Empty() const { return bytes.empty(); }
};

// A square raster of size x size single-precision values, laid out as Raster.
struct FloatRaster {
    int size = 0;
    std::vector<float> values;

    FloatRaster() = default;
    explicit FloatRaster(int edge)
        : size(edge), values(static_cast<std::size_t>(edge) * static_cast<std::size_t>(edge), 0.0f)
    {
    }

    float* Row(int y) { return values.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(size); }
    const float* Row(int y) const
    {
        return values.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(size);
    }
    float At(int x, int y) const { return Row(y)[x]; }
};

// An RGB image, 3 bytes a pixel (red, green, blue), rows from the top.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    RgbImage() = default;
    RgbImage(int w, int h)
        : width(w), height(h), rgb(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3, 0)
    {
    }
    std::uint8_t* Row(int y) { return rgb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3; }
    const std::uint8_t* Row(int y) const
    {
        return rgb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3;
    }
};

// Called after every row of a long pass. It throws to end the pass: the job's
// stop request, a failure elsewhere in the job, or work abandoned on a helper
// thread. An empty check never ends anything (previews, tests).
using RowCheck = std::function<void()>;

inline void CheckRow(const RowCheck& check)
{
    if (check) check();
}

}  // namespace kv
