#include "tools/datagen/Field.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/inputs/Bitmap24.h"
#include "core/platform/Paths.h"
#include "core/textures/ImageOutput.h"

namespace kv::datagen {

Field HalveByAveraging(const Field& f)
{
    Field half(f.width / 2, f.height / 2);
    for (int y = 0; y < half.height; ++y)
        for (int x = 0; x < half.width; ++x)
            half.at(x, y) = (f.at(2 * x, 2 * y) + f.at(2 * x + 1, 2 * y) + f.at(2 * x, 2 * y + 1) +
                             f.at(2 * x + 1, 2 * y + 1)) * 0.25;
    return half;
}

std::vector<std::uint8_t> EqualizeToBytes(const Field& f, int lo, int hi)
{
    // Rank the pixels by value: a stable radix sort on the values' bit
    // patterns (mapped so that unsigned order is numeric order), which keeps
    // pixels of equal value in index order.
    const std::size_t n = f.values.size();
    std::vector<std::uint64_t> key(n), nextKey(n);
    std::vector<std::uint32_t> order(n), nextOrder(n);
    for (std::size_t i = 0; i < n; ++i) {
        std::uint64_t bits;
        std::memcpy(&bits, &f.values[i], sizeof bits);
        key[i] = (bits >> 63) ? ~bits : bits | (std::uint64_t{1} << 63);
        order[i] = static_cast<std::uint32_t>(i);
    }
    std::vector<std::size_t> count(65536);
    for (int shift = 0; shift < 64; shift += 16) {
        std::fill(count.begin(), count.end(), 0);
        for (std::size_t i = 0; i < n; ++i) ++count[(key[i] >> shift) & 0xFFFF];
        std::size_t start = 0;
        for (std::size_t& c : count) {
            const std::size_t here = c;
            c = start;
            start += here;
        }
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t to = count[(key[i] >> shift) & 0xFFFF]++;
            nextKey[to] = key[i];
            nextOrder[to] = order[i];
        }
        key.swap(nextKey);
        order.swap(nextOrder);
    }
    const std::uint64_t levels = static_cast<std::uint64_t>(hi - lo + 1);
    std::vector<std::uint8_t> bytes(n);
    for (std::size_t rank = 0; rank < n; ++rank)
        bytes[order[rank]] = static_cast<std::uint8_t>(lo + static_cast<int>(rank * levels / n));
    return bytes;
}

std::uint8_t ToByte(double v)
{
    const double r = std::floor(v + 0.5);
    return static_cast<std::uint8_t>(r < 0.0 ? 0.0 : (r > 255.0 ? 255.0 : r));
}

std::vector<std::uint8_t> StretchToBytes(const Field& f, double lo, double hi)
{
    const auto [mn, mx] = std::minmax_element(f.values.begin(), f.values.end());
    const double range = *mx > *mn ? *mx - *mn : 1.0;
    std::vector<std::uint8_t> bytes(f.values.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = ToByte(lo + (f.values[i] - *mn) / range * (hi - lo));
    return bytes;
}

namespace {

bool Report(bool ok, const std::string& path)
{
    if (!ok) std::fprintf(stderr, "kv-datagen: cannot write %s\n", path.c_str());
    return ok;
}

bool SizeMatches(std::size_t size, int width, int height, int channels, const char* name)
{
    if (width > 0 && height > 0 && size == static_cast<std::size_t>(width) * height * channels) return true;
    std::fprintf(stderr, "kv-datagen: %s: the picture does not hold %d x %d pixels\n", name, width, height);
    return false;
}

}  // namespace

bool SaveGreyBmp(const std::string& out, const char* name, int width, int height, const std::vector<std::uint8_t>& grey)
{
    if (!SizeMatches(grey.size(), width, height, 1, name)) return false;
    std::vector<std::uint8_t> rgb(grey.size() * 3);
    for (std::size_t i = 0; i < grey.size(); ++i) rgb[3 * i] = rgb[3 * i + 1] = rgb[3 * i + 2] = grey[i];
    const std::string path = JoinPath(out, name);
    return Report(WriteBmp24(path, width, height, rgb.data()), path);
}

bool SaveRgbJpeg(const std::string& out, const char* name, int width, int height, const std::vector<std::uint8_t>& rgb)
{
    if (!SizeMatches(rgb.size(), width, height, 3, name)) return false;
    const std::string path = JoinPath(out, name);
    return Report(EncodeJpegFile(path, rgb.data(), width, height, kStockJpegQuality) == JpegStatus::Ok, path);
}

bool SaveGreyJpeg(const std::string& out, const char* name, int width, int height,
                  const std::vector<std::uint8_t>& grey)
{
    if (!SizeMatches(grey.size(), width, height, 1, name)) return false;
    std::vector<std::uint8_t> rgb(grey.size() * 3);
    for (std::size_t i = 0; i < grey.size(); ++i) rgb[3 * i] = rgb[3 * i + 1] = rgb[3 * i + 2] = grey[i];
    return SaveRgbJpeg(out, name, width, height, rgb);
}

bool SaveTga32(const std::string& out, const char* name, int width, int height, const std::vector<std::uint8_t>& rgba)
{
    if (!SizeMatches(rgba.size(), width, height, 4, name)) return false;
    std::vector<std::uint8_t> bgra(rgba.size());
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = rgba.data() + static_cast<std::size_t>(height - 1 - y) * width * 4;
        std::uint8_t* dst = bgra.data() + static_cast<std::size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x) {
            dst[4 * x] = src[4 * x + 2];
            dst[4 * x + 1] = src[4 * x + 1];
            dst[4 * x + 2] = src[4 * x];
            dst[4 * x + 3] = src[4 * x + 3];
        }
    }
    const std::string path = JoinPath(out, name);
    return Report(WriteTga32(path, width, height, bgra.data()), path);
}

}  // namespace kv::datagen
