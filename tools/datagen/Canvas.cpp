#include "tools/datagen/Canvas.h"

#include <algorithm>
#include <cmath>

#include "tools/datagen/Field.h"
#include "tools/datagen/Noise.h"

namespace kv::datagen {

Canvas::Canvas(int width, int height, int samples)
    : width_(width), height_(height), samples_(samples), sw_(width * samples), sh_(height * samples),
      colour_(static_cast<std::size_t>(sw_) * sh_ * 3, 0.0f), covered_(static_cast<std::size_t>(sw_) * sh_, 0)
{
}

void Canvas::Stroke(Point a, Point b, double ra, double rb, const Shade& shade)
{
    // Work in sample units; widths are given in units of the card's width.
    const double ax = a.u * sw_, ay = (1.0 - a.v) * sh_;
    const double bx = b.u * sw_, by = (1.0 - b.v) * sh_;
    const double r0 = ra * sw_, r1 = rb * sw_;
    const double reach = std::max(r0, r1) + 1.0;
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min(ax, bx) - reach)));
    const int x1 = std::min(sw_ - 1, static_cast<int>(std::ceil(std::max(ax, bx) + reach)));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min(ay, by) - reach)));
    const int y1 = std::min(sh_ - 1, static_cast<int>(std::ceil(std::max(ay, by) + reach)));
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const double px = x + 0.5 - ax, py = y + 0.5 - ay;
            const double t = len2 > 0.0 ? Clamp((px * dx + py * dy) / len2, 0.0, 1.0) : 0.0;
            const double ex = px - t * dx, ey = py - t * dy;
            const double dist2 = ex * ex + ey * ey;
            const double r = r0 + (r1 - r0) * t;
            if (r <= 0.0 || dist2 > r * r) continue;
            // The side of the centre line: image y grows downwards, so the
            // cross product's sign is flipped to keep "left of the direction
            // of drawing" negative in card coordinates.
            const double side = dx * py - dy * px;
            const double across = (side > 0.0 ? 1.0 : -1.0) * std::sqrt(dist2) / r;
            Put(x, y, shade(t, across));
        }
}

void Canvas::Blade(const std::vector<Point>& line, const std::function<double(double)>& width, const Shade& shade)
{
    // Points in sample units and their distance along the line.
    const std::size_t n = line.size();
    std::vector<double> px(n), py(n), at(n, 0.0), radius(n);
    for (std::size_t k = 0; k < n; ++k) px[k] = line[k].u * sw_, py[k] = (1.0 - line[k].v) * sh_;
    for (std::size_t k = 1; k < n; ++k) {
        const double dx = px[k] - px[k - 1], dy = py[k] - py[k - 1];
        at[k] = at[k - 1] + std::sqrt(dx * dx + dy * dy);
    }
    const double total = at.back() > 0.0 ? at.back() : 1.0;
    double reach = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
        at[k] /= total;
        radius[k] = width(at[k]) * sw_;
        reach = std::max(reach, radius[k]);
    }
    reach += 1.0;
    double minX = px[0], maxX = px[0], minY = py[0], maxY = py[0];
    for (std::size_t k = 1; k < n; ++k)
        minX = std::min(minX, px[k]), maxX = std::max(maxX, px[k]), minY = std::min(minY, py[k]),
        maxY = std::max(maxY, py[k]);
    const int x0 = std::max(0, static_cast<int>(std::floor(minX - reach)));
    const int x1 = std::min(sw_ - 1, static_cast<int>(std::ceil(maxX + reach)));
    const int y0 = std::max(0, static_cast<int>(std::floor(minY - reach)));
    const int y1 = std::min(sh_ - 1, static_cast<int>(std::ceil(maxY + reach)));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const double sx = x + 0.5, sy = y + 0.5;
            // The nearest point of the centre line; the width there decides
            // whether the sample is inside, and its place the shading.
            double best = 1e300, bestAlong = 0.0, bestSide = 0.0, bestRadius = 0.0;
            for (std::size_t k = 1; k < n; ++k) {
                const double dx = px[k] - px[k - 1], dy = py[k] - py[k - 1];
                const double len2 = dx * dx + dy * dy;
                const double qx = sx - px[k - 1], qy = sy - py[k - 1];
                const double t = len2 > 0.0 ? Clamp((qx * dx + qy * dy) / len2, 0.0, 1.0) : 0.0;
                const double ex = qx - t * dx, ey = qy - t * dy;
                const double d2 = ex * ex + ey * ey;
                if (d2 < best) {
                    best = d2;
                    bestAlong = at[k - 1] + (at[k] - at[k - 1]) * t;
                    bestRadius = radius[k - 1] + (radius[k] - radius[k - 1]) * t;
                    bestSide = dx * qy - dy * qx;
                }
            }
            if (bestRadius <= 0.0 || best > bestRadius * bestRadius) continue;
            const double across = (bestSide > 0.0 ? 1.0 : -1.0) * std::sqrt(best) / bestRadius;
            Put(x, y, shade(bestAlong, across));
        }
}

void Canvas::Put(int x, int y, Rgb c)
{
    const std::size_t i = static_cast<std::size_t>(y) * sw_ + x;
    colour_[3 * i] = static_cast<float>(c.r);
    colour_[3 * i + 1] = static_cast<float>(c.g);
    colour_[3 * i + 2] = static_cast<float>(c.b);
    covered_[i] = 1;
}

std::vector<std::uint8_t> Canvas::Resolve(Rgb gap) const
{
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width_) * height_ * 4);
    const int n = samples_ * samples_;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            double r = 0.0, g = 0.0, b = 0.0;
            int count = 0;
            for (int j = 0; j < samples_; ++j)
                for (int i = 0; i < samples_; ++i) {
                    const std::size_t k = static_cast<std::size_t>(y * samples_ + j) * sw_ + x * samples_ + i;
                    if (!covered_[k]) continue;
                    r += colour_[3 * k], g += colour_[3 * k + 1], b += colour_[3 * k + 2];
                    ++count;
                }
            std::uint8_t* p = rgba.data() + (static_cast<std::size_t>(y) * width_ + x) * 4;
            if (count == 0) {
                p[0] = ToByte(gap.r), p[1] = ToByte(gap.g), p[2] = ToByte(gap.b), p[3] = 0;
            } else {
                p[0] = ToByte(r / count), p[1] = ToByte(g / count), p[2] = ToByte(b / count);
                p[3] = ToByte(255.0 * count / n);
            }
        }
    return rgba;
}

}  // namespace kv::datagen
