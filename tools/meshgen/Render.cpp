#include "tools/meshgen/Render.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "tools/meshgen/Polygon.h"

namespace kv::meshgen {

namespace {

struct Tri {
    Vec3 p[3];
    Vec2 t[3];
    Vec3 normal;  // front normal
    unsigned colour;
    bool oneSided;
};

struct Image {
    int w, h;
    std::vector<unsigned char> rgb;
    std::vector<double> depth;
};

void CollectTriangles(const RenderPart& part, std::vector<Tri>& out)
{
    const Mesh& mesh = *part.mesh;
    std::vector<Vec3> world(mesh.vertices.size());
    for (size_t i = 0; i < world.size(); ++i) world[i] = part.local.Apply(mesh.vertices[i]);
    for (const Face& f : mesh.faces) {
        std::vector<Vec3> pts;
        std::vector<Vec2> uvs;
        for (const Corner& c : f.corners) {
            pts.push_back(world[c.v]);
            uvs.push_back(mesh.texture[c.t]);
        }
        const Vec3 newell = NewellVector(pts);
        if (Length(newell) == 0) continue;
        Vec3 centre;
        for (const Vec3& p : pts) centre += p;
        centre = centre / static_cast<double>(pts.size());
        const std::vector<P2> outer = ProjectToPlane(pts, newell, centre);
        std::vector<std::vector<P2>> holes;
        for (const auto& h : f.holes) {
            std::vector<Vec3> hp;
            for (const Corner& c : h) {
                hp.push_back(world[c.v]);
                pts.push_back(world[c.v]);
                uvs.push_back(mesh.texture[c.t]);
            }
            holes.push_back(ProjectToPlane(hp, newell, centre));
        }
        const auto tris = Triangulate(outer, holes);
        for (const auto& t : tris) {
            Tri tri;
            for (int k = 0; k < 3; ++k) {
                tri.p[k] = pts[t[k]];
                tri.t[k] = uvs[t[k]];
            }
            tri.normal = Normalized(-newell);
            tri.colour = part.colour;
            tri.oneSided = (f.flags & 16) != 0;
            out.push_back(tri);
        }
    }
}

}  // namespace

bool RenderToPpm(const std::vector<RenderPart>& parts, const std::vector<View>& views, const RenderOptions& options,
                 const std::string& path)
{
    std::vector<Tri> tris;
    for (const RenderPart& part : parts) CollectTriangles(part, tris);
    Vec3 lo{1e300, 1e300, 1e300}, hi{-1e300, -1e300, -1e300};
    for (const Tri& t : tris)
        for (const Vec3& p : t.p) {
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
    Vec3 centre = (lo + hi) * 0.5;
    double radius = Length(hi - lo) * 0.5;
    if (options.useFocus) centre = options.focus;
    radius /= options.zoom;
    if (options.ground) {
        const double g = std::max({hi.x - lo.x, hi.y - lo.y, 1.0}) * 0.9;
        const Vec3 c{(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, 0};
        const Vec3 a = c + Vec3{-g, -g, 0}, b = c + Vec3{g, -g, 0}, d = c + Vec3{g, g, 0}, e = c + Vec3{-g, g, 0};
        Tri t1{{a, d, b}, {{0, 0}, {1, 1}, {1, 0}}, {0, 0, 1}, 0x707a68, false};
        Tri t2{{a, e, d}, {{0, 0}, {0, 1}, {1, 1}}, {0, 0, 1}, 0x707a68, false};
        tris.push_back(t1);
        tris.push_back(t2);
    }
    const int tile = options.tile;
    Image img{tile * static_cast<int>(views.size()), tile, {}, {}};
    img.rgb.assign(static_cast<size_t>(img.w) * img.h * 3, 0);
    img.depth.assign(static_cast<size_t>(img.w) * img.h, -std::numeric_limits<double>::infinity());
    for (size_t i = 0; i < img.rgb.size(); i += 3) {
        img.rgb[i] = 0xc8;
        img.rgb[i + 1] = 0xd8;
        img.rgb[i + 2] = 0xe8;
    }
    const Vec3 light = Normalized({-0.4, -0.6, 0.7});
    for (size_t vi = 0; vi < views.size(); ++vi) {
        const double az = views[vi].azimuthDeg * kPi / 180, el = views[vi].elevationDeg * kPi / 180;
        const Vec3 w{std::cos(el) * std::cos(az), std::cos(el) * std::sin(az), std::sin(el)};
        const Vec3 r = Normalized(Cross({0, 0, 1}, w));
        const Vec3 u = Cross(w, r);
        const double scale = tile * 0.48 / radius;
        const int x0 = static_cast<int>(vi) * tile;
        for (const Tri& t : tris) {
            Vec3 n = t.normal;
            bool back = Dot(n, w) < 0;
            if (back && t.oneSided) continue;
            if (back) n = -n;
            double shade = 0.3 + 0.7 * std::max(0.0, Dot(n, light));
            double sx[3], sy[3], sz[3];
            for (int k = 0; k < 3; ++k) {
                const Vec3 q = t.p[k] - centre;
                sx[k] = x0 + tile / 2.0 + Dot(q, r) * scale;
                sy[k] = tile / 2.0 - Dot(q, u) * scale;
                sz[k] = Dot(q, w);
            }
            const double area = (sx[1] - sx[0]) * (sy[2] - sy[0]) - (sx[2] - sx[0]) * (sy[1] - sy[0]);
            if (std::fabs(area) < 1e-12) continue;
            const int minx = std::max(x0, static_cast<int>(std::floor(std::min({sx[0], sx[1], sx[2]}))));
            const int maxx = std::min(x0 + tile - 1, static_cast<int>(std::ceil(std::max({sx[0], sx[1], sx[2]}))));
            const int miny = std::max(0, static_cast<int>(std::floor(std::min({sy[0], sy[1], sy[2]}))));
            const int maxy = std::min(tile - 1, static_cast<int>(std::ceil(std::max({sy[0], sy[1], sy[2]}))));
            for (int y = miny; y <= maxy; ++y)
                for (int x = minx; x <= maxx; ++x) {
                    const double px = x + 0.5, py = y + 0.5;
                    const double b0 = ((sx[1] - px) * (sy[2] - py) - (sx[2] - px) * (sy[1] - py)) / area;
                    const double b1 = ((sx[2] - px) * (sy[0] - py) - (sx[0] - px) * (sy[2] - py)) / area;
                    const double b2 = 1 - b0 - b1;
                    if (b0 < -1e-9 || b1 < -1e-9 || b2 < -1e-9) continue;
                    const double z = b0 * sz[0] + b1 * sz[1] + b2 * sz[2];
                    const size_t at = static_cast<size_t>(y) * img.w + x;
                    if (z <= img.depth[at]) continue;
                    img.depth[at] = z;
                    double cr = ((t.colour >> 16) & 255) / 255.0, cg = ((t.colour >> 8) & 255) / 255.0,
                           cb = (t.colour & 255) / 255.0;
                    double s = shade;
                    if (options.shading == Shading::Checker) {
                        const double tu = b0 * t.t[0].u + b1 * t.t[1].u + b2 * t.t[2].u;
                        const double tv = b0 * t.t[0].v + b1 * t.t[1].v + b2 * t.t[2].v;
                        const int cu = static_cast<int>(std::floor(tu * 8)), cv = static_cast<int>(std::floor(tv * 8));
                        s *= ((cu + cv) & 1) ? 0.65 : 1.0;
                        // Tint by v so the direction of v can be read.
                        cr *= 0.6 + 0.4 * std::clamp(tv, 0.0, 1.0);
                        cb *= 1.0 - 0.4 * std::clamp(tu, 0.0, 1.0);
                    }
                    if (options.shading == Shading::Sides && back) {
                        cr = 1.0;
                        cg = 0.1;
                        cb = 1.0;
                    }
                    img.rgb[at * 3] = static_cast<unsigned char>(std::min(255.0, cr * s * 255));
                    img.rgb[at * 3 + 1] = static_cast<unsigned char>(std::min(255.0, cg * s * 255));
                    img.rgb[at * 3 + 2] = static_cast<unsigned char>(std::min(255.0, cb * s * 255));
                }
        }
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", img.w, img.h);
    std::fwrite(img.rgb.data(), 1, img.rgb.size(), f);
    return std::fclose(f) == 0;
}

}  // namespace kv::meshgen
