#pragma once
// A raster of real values, rows from the top, and the steps that turn one
// into the bytes of a stock picture.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kv::datagen {

struct Field {
    int width = 0;
    int height = 0;
    std::vector<double> values;

    Field() = default;
    Field(int w, int h) : width(w), height(h), values(static_cast<std::size_t>(w) * h, 0.0) {}
    double& at(int x, int y) { return values[static_cast<std::size_t>(y) * width + x]; }
    double at(int x, int y) const { return values[static_cast<std::size_t>(y) * width + x]; }

    // Fills every pixel with f(u, v), u and v the pixel centre in [0, 1).
    template <typename F>
    void Fill(F&& f)
    {
        for (int y = 0; y < height; ++y) {
            const double v = (y + 0.5) / height;
            for (int x = 0; x < width; ++x) at(x, y) = f((x + 0.5) / width, v);
        }
    }
};

// Halves both sides by averaging each 2 x 2 block (the sides must be even).
Field HalveByAveraging(const Field& f);

// Maps the values monotonically onto the bytes lo to hi so that every byte
// value is taken by as near the same number of pixels as possible; equal
// values are ordered by pixel index, so the result is fully determined.
std::vector<std::uint8_t> EqualizeToBytes(const Field& f, int lo, int hi);

// Maps [min, max] of the values linearly onto [lo, hi] (rounded to nearest).
std::vector<std::uint8_t> StretchToBytes(const Field& f, double lo, double hi);

// Rounds a real 0 to 255 to the nearest byte, clamped.
std::uint8_t ToByte(double v);

// Writers reporting failures on standard error; `out` is the program
// directory and `name` the file name.
bool SaveGreyBmp(const std::string& out, const char* name, int width, int height, const std::vector<std::uint8_t>& grey);
bool SaveRgbJpeg(const std::string& out, const char* name, int width, int height, const std::vector<std::uint8_t>& rgb);
bool SaveGreyJpeg(const std::string& out, const char* name, int width, int height,
                  const std::vector<std::uint8_t>& grey);
// `rgba` rows from the top; written bottom row first as B, G, R, A.
bool SaveTga32(const std::string& out, const char* name, int width, int height, const std::vector<std::uint8_t>& rgba);

// The JPEG quality of the stock textures.
inline constexpr int kStockJpegQuality = 95;

}  // namespace kv::datagen
