#pragma once
// A grey picture of any shape: one byte a pixel, rows from the top.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kv {

struct GreyImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> grey;

    GreyImage() = default;
    GreyImage(int w, int h) : width(w), height(h), grey(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0)
    {
    }
    std::uint8_t* Row(int y) { return grey.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width); }
    const std::uint8_t* Row(int y) const
    {
        return grey.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    }
};

}  // namespace kv
