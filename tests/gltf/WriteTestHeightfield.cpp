// Writes a smooth heightfield of sines as a 24-bit grey bitmap, for the
// exports the glTF validator checks at the largest size.
//
//   kelvane_test_heightfield FILE.bmp SIDE
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/inputs/Bitmap24.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: kelvane_test_heightfield FILE.bmp SIDE\n");
        return 2;
    }
    const int side = std::atoi(argv[2]);
    if (side < 2 || side > 8192) {
        std::fprintf(stderr, "the side must be 2 to 8192 pixels\n");
        return 2;
    }
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(side) * static_cast<std::size_t>(side) * 3);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const double v = 127.5 + 70.0 * std::sin(x / 97.0) * std::cos(y / 131.0) + 50.0 * std::sin((x - 2 * y) / 211.0);
            const auto g = static_cast<std::uint8_t>(static_cast<int>(v) & 255);
            std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(side) + static_cast<std::size_t>(x)) * 3];
            p[0] = p[1] = p[2] = g;
        }
    if (!kv::WriteBmp24(argv[1], side, side, rgb.data())) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
