#include "TextureReference.h"

#include <cmath>
#include <cstdlib>

namespace kv::ref {

namespace {

int Trunc(double v) { return static_cast<int>(v); }

}  // namespace

Bytes HeightTexture(const HeightGrid& grid, int t, int& cell)
{
    const int n = grid.n;
    const float step = static_cast<float>(t - 1) / static_cast<float>(n - 1);
    const int s = static_cast<int>(step);
    cell = s;
    Bytes h(static_cast<std::size_t>(t * t), 0);
    auto at = [&](int x, int y) -> std::uint8_t& { return h[static_cast<std::size_t>(y * t + x)]; };
    for (int y = 0; y < t - s; ++y) {
        for (int x = 0; x < t - s; ++x) {
            const float u = static_cast<float>(x) / step;
            const float v = static_cast<float>(y) / step;
            const int iu = static_cast<int>(u);
            const int iv = static_cast<int>(v);
            const float g0 = static_cast<float>(grid.At(iu, iv));
            const float g1 = static_cast<float>(grid.At(iu + 1, iv));
            const float a = (1.0f - u) + static_cast<float>(iu);
            const float b = u - static_cast<float>(iu);
            const float value = a * g0 / 3.0f + b * g1 / 3.0f;
            at(t - 1 - x, y) = static_cast<std::uint8_t>(static_cast<int>(value));
        }
    }
    int largest = 0;
    for (int y = 0; y < t - s; ++y) {
        for (int x = 0; x < t - s; ++x) {
            const float v = static_cast<float>(y) / step;
            const int iv = static_cast<int>(v);
            const float a = (1.0f - v) + static_cast<float>(iv);
            const float b = v - static_cast<float>(iv);
            const float value = a * static_cast<float>(at(x, y)) + b * static_cast<float>(at(x, y + s));
            const int stored = static_cast<int>(value);
            at(x, y) = static_cast<std::uint8_t>(stored);
            if (stored > largest) largest = stored;
        }
    }
    for (std::uint8_t& value : h) {
        if (largest == 0) {
            value = 0;
            continue;
        }
        int normalised = static_cast<int>(static_cast<float>(value) / static_cast<float>(largest) * 255.0f);
        if (normalised > 255) normalised = 255;
        value = static_cast<std::uint8_t>(normalised);
    }
    return h;
}

Bytes SlopeTexture(const Bytes& height, int t, int s)
{
    auto h = [&](int x, int y) -> int {
        if (x < 0 || y < 0 || x >= t || y >= t) return 0;
        return height[static_cast<std::size_t>(y * t + x)];
    };
    Bytes slope(height.size());
    for (int y = 0; y < t; ++y)
        for (int x = 0; x < t; ++x) {
            const int left = h(x - s, y), right = h(x + s, y), up = h(x, y - s), down = h(x, y + s);
            const int upLeft = h(x - s, y - s), downRight = h(x + s, y + s);
            const int downLeft = h(x - s, y + s), upRight = h(x + s, y - s);
            int v = (std::abs(left - right) + std::abs(up - down) + std::abs(downLeft - upRight) +
                     std::abs(upLeft - downRight)) /
                    2;
            if (v > 255) v = 255;
            slope[static_cast<std::size_t>(y * t + x)] = static_cast<std::uint8_t>(v);
        }
    return slope;
}

Bytes NoiseTexture(int t, Random& random)
{
    Bytes noise(static_cast<std::size_t>(t * t));
    for (auto& value : noise) {
        const int r = random.Next();
        value = static_cast<std::uint8_t>(static_cast<int>(static_cast<float>(r) / 32767.0f * 255.0f));
    }
    return noise;
}

Bytes TilePattern(const Bitmap24& picture)
{
    const int w = picture.width, hgt = picture.height;
    Bytes out(static_cast<std::size_t>(4 * w * hgt));
    for (int y = 0; y < 2 * hgt; ++y)
        for (int x = 0; x < 2 * w; ++x) out[static_cast<std::size_t>(y * 2 * w + x)] = picture.Green(x % w, y % hgt);
    return out;
}

int BandWeight(int v, int lo, int hi)
{
    if (hi >= 254 && 2 * v > hi + lo) return 255;
    if (lo == 0 && 2 * v < hi + lo) return 255;
    if (v < lo || v > hi) return 0;
    if (hi == lo) return 0;
    const int d = std::min(std::abs(v - hi), std::abs(v - lo));
    return d * 510 / (hi - lo);
}

namespace {

const int kStrata[256] = {
    // 1: 0..31 step 8
    0, 8, 16, 24, 32, 40, 48, 56, 64, 72, 80, 88, 96, 104, 112, 120, 128, 136, 144, 152, 160, 168, 176, 184, 192,
    200, 208, 216, 224, 232, 240, 248,
    // 2: 32..47 step 16
    0, 16, 32, 48, 64, 80, 96, 112, 128, 144, 160, 176, 192, 208, 224, 240,
    // 3: 48..111 step 4
    0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40, 44, 48, 52, 56, 60, 64, 68, 72, 76, 80, 84, 88, 92, 96, 100, 104, 108,
    112, 116, 120, 124, 128, 132, 136, 140, 144, 148, 152, 156, 160, 164, 168, 172, 176, 180, 184, 188, 192, 196,
    200, 204, 208, 212, 216, 220, 224, 228, 232, 236, 240, 244, 248, 252,
    // 4: 112..127 step 16
    0, 16, 32, 48, 64, 80, 96, 112, 128, 144, 160, 176, 192, 208, 224, 240,
    // 5: 128..159 step 8
    0, 8, 16, 24, 32, 40, 48, 56, 64, 72, 80, 88, 96, 104, 112, 120, 128, 136, 144, 152, 160, 168, 176, 184, 192,
    200, 208, 216, 224, 232, 240, 248,
    // 6: 160..175 step 16
    0, 16, 32, 48, 64, 80, 96, 112, 128, 144, 160, 176, 192, 208, 224, 240,
    // 7: 176..207 step 8
    0, 8, 16, 24, 32, 40, 48, 56, 64, 72, 80, 88, 96, 104, 112, 120, 128, 136, 144, 152, 160, 168, 176, 184, 192,
    200, 208, 216, 224, 232, 240, 248,
    // 8: 208..239 step 8
    0, 8, 16, 24, 32, 40, 48, 56, 64, 72, 80, 88, 96, 104, 112, 120, 128, 136, 144, 152, 160, 168, 176, 184, 192,
    200, 208, 216, 224, 232, 240, 248,
    // 9: 240..255 step 16
    0, 16, 32, 48, 64, 80, 96, 112, 128, 144, 160, 176, 192, 208, 224, 240,
};

struct Colour {
    int r, g, b;
};

Colour Ramp(RgbColor c1, RgbColor c2, RgbColor c3, int v)
{
    auto one = [&](int a, int b, int c) {
        if (v < 128) return Trunc((128.0 - v) / 128.0 * a + v / 128.0 * b);
        return Trunc((v - 128.0) / 127.0 * c + (255.0 - v) / 128.0 * b);
    };
    return Colour{one(c1.r, c2.r, c3.r), one(c1.g, c2.g, c3.g), one(c1.b, c2.b, c3.b)};
}

struct Limits {
    int a0, a1, s0, s1, d;
};

Limits LimitsOf(int amin, int amax, int smin, int smax, int density, int origin)
{
    return Limits{Trunc((amin - origin) * 3.1875), Trunc((amax - origin - 6) * 3.1875),
                  Trunc((smin - origin) * 3.1875), Trunc((smax - origin - 6) * 3.1875),
                  Trunc((density - origin) * 1.59375)};
}

// Pattern value P of a cover at pixel i (x, y) and its mirror m.
double PatternValue(int cover, int index, int d, const Textures& tx, int x, int y)
{
    const int t = tx.size;
    const std::size_t i = static_cast<std::size_t>(y * t + x);
    const std::size_t m = static_cast<std::size_t>(y * t + (t - 1 - x));
    const double N_i = tx.noise[i], R_i = tx.rc[i], E_i = tx.em[i];
    const double N_m = tx.noise[m], R_m = tx.rc[m], E_m = tx.em[m];
    const double k = 255 - d;
    if (cover == 1) {
        switch (index) {
        case 1: return N_i * k / 255;
        case 2: return R_i * k / 255;
        case 3: return E_i * k / 255;
        case 4: return (E_m + E_i) * k / 510;
        case 5: return (N_i + 2 * R_i) * k / 765;
        case 6: return (N_i + 2 * E_i) * k / 765;
        case 7: return (2 * E_m + N_i + 2 * E_i) * k / 1275;
        }
    } else {
        switch (index) {
        case 1: return N_m * k / 255;
        case 2: return R_m * k / 255;
        case 3: return E_m * k / 255;
        case 4: return (E_m + E_i) * k / 510;
        case 5: return (N_m + 2 * R_m) * k / 765;
        case 6: return (N_m + 2 * E_m) * k / 765;
        case 7: return (N_m + 2 * E_m + 2 * E_i) * k / 1275;
        }
    }
    return 0.0;
}

// Step 4: Cover1Mask, then Cover2Mask written over the slope raster.
void Covers(const ProjectSettings& st, Textures& tx, Bytes& cover1, Bytes& band)
{
    const int t = tx.size;
    const Limits c1 = LimitsOf(st.cover1altitudemin, st.cover1altitudemax, st.cover1slopemin, st.cover1slopemax,
                               st.cover1density, 115);
    const Limits c2 = LimitsOf(st.cover2altitudemin, st.cover2altitudemax, st.cover2slopemin, st.cover2slopemax,
                               st.cover2density, 214);
    const std::size_t count = static_cast<std::size_t>(t * t);
    for (std::size_t i = 0; i < count; ++i)
        cover1[i] = static_cast<std::uint8_t>(BandWeight(tx.height[i], c1.a0, c1.a1));
    for (std::size_t i = 0; i < count; ++i) {
        band[i] = static_cast<std::uint8_t>(BandWeight(tx.slope[i], c1.s0, c1.s1));
        if (band[i] > cover1[i]) band[i] = cover1[i];
    }
    for (int y = 0; y < t; ++y)
        for (int x = 0; x < t; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * t + x);
            if (st.cover1index == 0) {
                cover1[i] = 0;
                continue;
            }
            const double p = PatternValue(1, st.cover1index, c1.d, tx, x, y);
            const int score = Trunc(p + static_cast<double>(band[i]) * c1.d / 255);
            cover1[i] = score > 255 - c1.d ? 255 : 0;
        }
    for (std::size_t i = 0; i < count; ++i) band[i] = static_cast<std::uint8_t>(BandWeight(tx.height[i], c2.a0, c2.a1));
    for (std::size_t i = 0; i < count; ++i) {
        tx.slope[i] = static_cast<std::uint8_t>(BandWeight(tx.slope[i], c2.s0, c2.s1));
        if (tx.slope[i] > band[i]) tx.slope[i] = band[i];
    }
    for (int y = 0; y < t; ++y)
        for (int x = 0; x < t; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * t + x);
            if (st.cover2index == 0) {
                tx.slope[i] = 0;
                continue;
            }
            const double p = PatternValue(2, st.cover2index, c2.d, tx, x, y);
            const int score = Trunc(p + static_cast<double>(tx.slope[i]) * c2.d / 255);
            tx.slope[i] = score > 255 - c2.d ? 255 : 0;
        }
}

// Steps 5 and 6.
Bytes ColourPass(const ProjectSettings& st, const Textures& tx, const Bytes& cover1, Bytes& band)
{
    const int t = tx.size;
    for (int y = 0; y < t; ++y)
        for (int x = 0; x < t; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * t + x);
            const int n = tx.noise[i], p = tx.rc[i], h = tx.height[i];
            int shade;
            if (st.baseindex == 0 || st.baseindex == 1) {
                shade = (n / 2 + p) % 256;
            } else {
                const int s = kStrata[h];
                shade = s + n < 255 ? (s + n) / 2 : s;
            }
            band[i] = static_cast<std::uint8_t>(shade);
        }
    Bytes rgb(static_cast<std::size_t>(3 * t * t));
    for (int y = 0; y < t; ++y)
        for (int x = 0; x < t; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * t + x);
            const int nMirrored = tx.noise[static_cast<std::size_t>((t - 1 - y) * t + x)];
            Colour c;
            if (tx.slope[i] == 255)
                c = Ramp(st.cover2color1, st.cover2color2, st.cover2color3, nMirrored);
            else if (cover1[i] == 255)
                c = Ramp(st.cover1color1, st.cover1color2, st.cover1color3, nMirrored);
            else
                c = Ramp(st.basecolor1, st.basecolor2, st.basecolor3, band[i]);
            rgb[3 * i] = static_cast<std::uint8_t>(c.r);
            rgb[3 * i + 1] = static_cast<std::uint8_t>(c.g);
            rgb[3 * i + 2] = static_cast<std::uint8_t>(c.b);
        }
    return rgb;
}

// Step 7: into the em raster and a grey image.
Bytes Bump(const ProjectSettings& st, Textures& tx, const Bytes& cover1)
{
    const std::size_t count = tx.em.size();
    Bytes rgb(3 * count);
    for (std::size_t i = 0; i < count; ++i) {
        int b;
        if (tx.slope[i] == 255)
            b = tx.ra[i] + 25;
        else if (cover1[i] == 255)
            b = tx.ra[i];
        else if (st.baseindex == 1 || st.baseindex == 3)
            b = tx.ra[i] - 25;
        else
            b = tx.em[i];
        b = ((b % 256) + 256) % 256;
        tx.em[i] = static_cast<std::uint8_t>(b);
        rgb[3 * i] = rgb[3 * i + 1] = rgb[3 * i + 2] = static_cast<std::uint8_t>(b);
    }
    return rgb;
}

}  // namespace

std::map<std::string, Bytes> Synthesize(const ProjectSettings& st, Textures tx, bool rocks)
{
    const int t = tx.size;
    const std::size_t count = static_cast<std::size_t>(t * t);
    std::map<std::string, Bytes> images;
    Bytes cover1(count), band(count);
    const Bytes emLoaded = tx.em;

    Covers(st, tx, cover1, band);
    images["tex1.jpg"] = ColourPass(st, tx, cover1, band);
    images["bump1.jpg"] = Bump(st, tx, cover1);

    tx.em = emLoaded;  // loaded again
    std::fill(tx.height.begin(), tx.height.end(), std::uint8_t{0});
    std::fill(tx.slope.begin(), tx.slope.end(), std::uint8_t{0});
    Covers(st, tx, cover1, band);
    images["tex2.jpg"] = ColourPass(st, tx, cover1, band);
    images["bump2.jpg"] = Bump(st, tx, cover1);

    if (rocks) {
        Bytes rockbump(3 * count);
        for (std::size_t i = 0; i < count; ++i) rockbump[3 * i] = rockbump[3 * i + 1] = rockbump[3 * i + 2] = tx.rc[i];
        images["rockbump.jpg"] = rockbump;
        for (int y = 0; y < t; ++y)
            for (int x = 0; x < t; ++x) {
                const std::size_t i = static_cast<std::size_t>(y * t + x);
                const int n = tx.noise[i];
                if (st.baseindex == 0 || st.baseindex == 1) {
                    tx.noise[i] = static_cast<std::uint8_t>((n / 2 + tx.rc[i]) % 256);
                } else {
                    const int s = kStrata[(y / 4) % 256];
                    tx.noise[i] = static_cast<std::uint8_t>(s + n < 255 ? (s + n) / 2 : s);
                }
            }
        Bytes rocktex(3 * count);
        for (int y = 0; y < t; ++y)
            for (int x = 0; x < t; ++x) {
                const std::size_t i = static_cast<std::size_t>(y * t + x);
                const Colour c = Ramp(st.basecolor1, st.basecolor2, st.basecolor3,
                                      tx.noise[static_cast<std::size_t>((t - 1 - y) * t + x)]);
                rocktex[3 * i] = static_cast<std::uint8_t>(c.r);
                rocktex[3 * i + 1] = static_cast<std::uint8_t>(c.g);
                rocktex[3 * i + 2] = static_cast<std::uint8_t>(c.b);
            }
        images["rocktex.jpg"] = rocktex;
    }
    return images;
}

}  // namespace kv::ref
