#pragma once
// A supersampled drawing surface for the foliage cards: strokes and blades
// are drawn into a grid of `samples` x `samples` points per pixel, later
// ones over earlier ones, and each pixel's alpha is the share of its points
// that something covers. Drawing coordinates are those of a card's texture:
// u from 0 at the left to 1 at the right, v from 0 at the bottom (the base
// of a leaf) to 1 at the top (its tip).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kv::datagen {

struct Point {
    double u, v;
};
inline Point operator+(Point a, Point b) { return {a.u + b.u, a.v + b.v}; }
inline Point operator-(Point a, Point b) { return {a.u - b.u, a.v - b.v}; }
inline Point operator*(double s, Point a) { return {s * a.u, s * a.v}; }

struct Rgb {
    double r, g, b;
};
inline Rgb Mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
inline Rgb Scale(Rgb a, double s) { return {a.r * s, a.g * s, a.b * s}; }

// The colour of a covered point from its place on the shape: `along` 0 at
// the shape's start to 1 at its end, `across` -1 at one edge through 0 on
// the centre line to 1 at the other.
using Shade = std::function<Rgb(double along, double across)>;

class Canvas {
public:
    Canvas(int width, int height, int samples);

    // A stroke from a to b whose half-width runs linearly from ra to rb,
    // with round ends.
    void Stroke(Point a, Point b, double ra, double rb, const Shade& shade);

    // A blade along a polyline: half-width width(along) at each point of the
    // line (along 0 to 1 by length), shaded by the nearest point of the line.
    void Blade(const std::vector<Point>& line, const std::function<double(double)>& width, const Shade& shade);

    // The picture as R, G, B, A rows from the top. Pixels that nothing
    // covers get alpha 0 and the colour `gap` (the foliage's own average
    // tone, so that filtering at the edges brings in no dark fringe).
    std::vector<std::uint8_t> Resolve(Rgb gap) const;

    int width() const { return width_; }
    int height() const { return height_; }

private:
    void Put(int x, int y, Rgb c);

    int width_, height_, samples_;
    int sw_, sh_;                       // sample grid size
    std::vector<float> colour_;         // 3 per sample
    std::vector<std::uint8_t> covered_;
};

}  // namespace kv::datagen
