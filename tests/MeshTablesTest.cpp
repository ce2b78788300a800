// The model mesh tables compiled into the program: their counts and face
// structure, index ranges, shapes, winding, holes, the rows each model
// fixes, and the exact spelling of their lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <numeric>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "core/model/KindMeshes.h"
#include "core/writers/scn/ScnSceneWriter.h"

namespace kv {
namespace {

// A mesh as the scene file writes it, with LF line ends.
std::string WrittenTable(const std::string& name)
{
    std::string text = ScnMeshBody(*KindMesh(name));
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

struct Corner {
    int v = 0, t = 0;
};

struct Vec {
    double x = 0, y = 0, z = 0;
    Vec operator-(const Vec& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec operator+(const Vec& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec operator*(double s) const { return {x * s, y * s, z * s}; }
};
double Dot(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Cross(const Vec& a, const Vec& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Length(const Vec& a) { return std::sqrt(Dot(a, a)); }

struct Face {
    int flags = 0;
    int mat = 0;
    std::vector<Corner> corners;
    std::vector<std::vector<Corner>> holes;
};

struct Table {
    std::string name;
    std::vector<std::string> lines;  // without their LF
    int declaredVertices = -1, declaredTexture = -1, declaredFaces = -1;
    std::vector<Vec> vertices;
    std::vector<std::array<double, 2>> texture;
    std::vector<Face> faces;
    size_t firstFaceLine = 0;  // index into lines
    int Records() const
    {
        int n = 0;
        for (const Face& f : faces) n += 1 + static_cast<int>(f.holes.size());
        return n;
    }
};

const char* const kNames[] = {"boulder",    "cactus_arm",         "cactus_trunk",    "deadtree1",
                              "deadtree2",  "evergreen_branches", "evergreen_trunk", "fern_leaf",
                              "flatrock",   "palm_leaf",          "palm_trunk",      "pebbles"};

bool ReadPairs(const std::string& line, size_t count, std::vector<Corner>& out)
{
    static const std::regex pair(R"(<(\d+),(\d+)>)");
    out.clear();
    for (auto it = std::sregex_iterator(line.begin(), line.end(), pair); it != std::sregex_iterator(); ++it)
        out.push_back({std::stoi((*it)[1]), std::stoi((*it)[2])});
    return out.size() == count;
}

// Reads a table; failures are reported through gtest.
Table Load(const std::string& name)
{
    Table table;
    table.name = name;
    const std::string text = WrittenTable(name);
    EXPECT_FALSE(text.empty()) << name;
    if (text.empty()) return table;
    EXPECT_EQ(text.back(), '\n') << name << " must end with a line end";
    EXPECT_EQ(text.find('\r'), std::string::npos) << name << " is stored with LF line ends";
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        table.lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    size_t at = 0;
    auto next = [&]() -> const std::string& {
        static const std::string none;
        return at < table.lines.size() ? table.lines[at++] : none;
    };
    EXPECT_EQ(std::sscanf(next().c_str(), "World Vertices %d", &table.declaredVertices), 1) << name;
    for (int i = 0; i < table.declaredVertices; ++i) {
        Vec p;
        EXPECT_EQ(std::sscanf(next().c_str(), "%lf %lf %lf", &p.x, &p.y, &p.z), 3) << name << " vertex " << i;
        table.vertices.push_back(p);
    }
    EXPECT_EQ(std::sscanf(next().c_str(), "Texture Vertices %d", &table.declaredTexture), 1) << name;
    for (int i = 0; i < table.declaredTexture; ++i) {
        std::array<double, 2> t{};
        EXPECT_EQ(std::sscanf(next().c_str(), "%lf %lf", &t[0], &t[1]), 2) << name << " texture vertex " << i;
        table.texture.push_back(t);
    }
    EXPECT_EQ(std::sscanf(next().c_str(), "Faces %d", &table.declaredFaces), 1) << name;
    table.firstFaceLine = at;
    while (at < table.lines.size()) {
        const std::string& line = next();
        int n = 0;
        Face f;
        if (std::sscanf(line.c_str(), "Face verts %d flags %d mat %d", &n, &f.flags, &f.mat) == 3) {
            EXPECT_TRUE(ReadPairs(next(), static_cast<size_t>(n), f.corners)) << name << ": " << line;
            table.faces.push_back(f);
        } else if (std::sscanf(line.c_str(), "Hole verts %d", &n) == 1 && !table.faces.empty()) {
            std::vector<Corner> hole;
            EXPECT_TRUE(ReadPairs(next(), static_cast<size_t>(n), hole)) << name << ": " << line;
            table.faces.back().holes.push_back(hole);
        } else {
            ADD_FAILURE() << name << ": unexpected line \"" << line << "\"";
            break;
        }
    }
    return table;
}

const Table& Get(const std::string& name)
{
    static std::map<std::string, Table> cache;
    auto it = cache.find(name);
    if (it == cache.end()) it = cache.emplace(name, Load(name)).first;
    return it->second;
}

std::vector<Vec> Points(const Table& t, const std::vector<Corner>& corners)
{
    std::vector<Vec> p;
    for (const Corner& c : corners) p.push_back(t.vertices.at(static_cast<size_t>(c.v)));
    return p;
}

// Newell's vector: normal for which the corners run counterclockwise; its
// length is twice the area.
Vec Newell(const std::vector<Vec>& p)
{
    Vec n;
    for (size_t i = 0; i < p.size(); ++i) {
        const Vec& a = p[i];
        const Vec& b = p[(i + 1) % p.size()];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return n;
}

struct P2 {
    double x, y;
};

std::vector<P2> Project(const std::vector<Vec>& p, const Vec& normal)
{
    const Vec n = normal * (1 / Length(normal));
    const Vec a0 = std::fabs(n.x) < 0.7 ? Vec{1, 0, 0} : Vec{0, 1, 0};
    Vec a = Cross(n, a0);
    a = a * (1 / Length(a));
    const Vec b = Cross(n, a);
    std::vector<P2> out;
    for (const Vec& q : p) out.push_back({Dot(q, a), Dot(q, b)});
    return out;
}

double Orient(const P2& a, const P2& b, const P2& c) { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); }

bool Cross2(const P2& a, const P2& b, const P2& c, const P2& d)
{
    const double d1 = Orient(c, d, a), d2 = Orient(c, d, b), d3 = Orient(a, b, c), d4 = Orient(a, b, d);
    return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

bool Inside(const P2& q, const std::vector<P2>& p)
{
    bool in = false;
    for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++)
        if ((p[i].y > q.y) != (p[j].y > q.y) && q.x < (p[j].x - p[i].x) * (q.y - p[i].y) / (p[j].y - p[i].y) + p[i].x)
            in = !in;
    return in;
}

double Area2(const std::vector<P2>& p)
{
    double s = 0;
    for (size_t i = 0; i < p.size(); ++i) s += p[i].x * p[(i + 1) % p.size()].y - p[(i + 1) % p.size()].x * p[i].y;
    return s;
}

std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> words;
    size_t start = 0;
    while (start <= line.size()) {
        const size_t end = std::min(line.find(' ', start), line.size());
        words.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

std::string Fixed6(double v)
{
    char b[64];
    std::snprintf(b, sizeof b, "%.6f", v);
    return std::string(b) == "-0.000000" ? "0.000000" : b;
}

// ------------------------------------------------------------------ counts

struct Expected {
    const char* name;
    int vertices, texture, records;
    std::map<std::pair<int, int>, int> sizeFlags;  // (corners, flags) -> faces; empty: checked elsewhere
};

TEST(MeshTables, CountLinesMatchTheirRows)
{
    for (const char* name : kNames) {
        const Table& t = Get(name);
        EXPECT_EQ(static_cast<int>(t.vertices.size()), t.declaredVertices) << name;
        EXPECT_EQ(static_cast<int>(t.texture.size()), t.declaredTexture) << name;
        EXPECT_EQ(t.Records(), t.declaredFaces) << name << ": the Faces line counts faces and holes";
        for (const Face& f : t.faces) EXPECT_EQ(f.mat, 0) << name << ": every face uses material 0";
    }
}

TEST(MeshTables, CountsAndFaceKindsAreThoseOfEachModel)
{
    const std::vector<Expected> expected = {
        {"evergreen_trunk", 24, 27, 18, {{{4, 0}, 16}, {{8, 0}, 2}}},
        {"evergreen_branches", 384, 6, 256, {{{4, 16}, 256}}},
        {"palm_trunk", 64, 71, 50, {{{4, 0}, 48}, {{8, 0}, 2}}},
        {"palm_leaf", 26, 26, 24, {{{4, 16}, 24}}},
        {"fern_leaf", 26, 26, 24, {{{4, 16}, 24}}},
        {"cactus_trunk", 48, 88, 34, {{{4, 16}, 32}, {{8, 0}, 2}}},
        {"cactus_arm", 88, 188, 82, {{{4, 16}, 80}, {{8, 0}, 2}}},
        {"boulder", 242, 287, 256, {{{3, 0}, 32}, {{4, 0}, 224}}},
        {"flatrock", 242, 265, 256, {{{3, 0}, 32}, {{4, 0}, 224}}},
        {"deadtree1", 748, 1531, 416, {}},
        {"deadtree2", 247, 567, 187, {}},
        {"pebbles", 636, 1087, 680, {}},
    };
    for (const Expected& e : expected) {
        const Table& t = Get(e.name);
        EXPECT_EQ(t.declaredVertices, e.vertices) << e.name;
        EXPECT_EQ(t.declaredTexture, e.texture) << e.name;
        EXPECT_EQ(t.declaredFaces, e.records) << e.name;
        if (e.sizeFlags.empty()) continue;
        std::map<std::pair<int, int>, int> got;
        for (const Face& f : t.faces) {
            ++got[{static_cast<int>(f.corners.size()), f.flags}];
            EXPECT_TRUE(f.holes.empty()) << e.name;
        }
        EXPECT_EQ(got, e.sizeFlags) << e.name;
    }
}

TEST(MeshTables, DeadTreesAndPebblesHaveTheirFacesAndHoles)
{
    auto holeSizes = [](const Table& t) {
        std::multiset<int> s;
        for (const Face& f : t.faces)
            for (const auto& h : f.holes) s.insert(static_cast<int>(h.size()));
        return s;
    };
    auto sizeRange = [](const Table& t) {
        std::pair<size_t, size_t> r{1000, 0};
        for (const Face& f : t.faces) r = {std::min(r.first, f.corners.size()), std::max(r.second, f.corners.size())};
        return r;
    };
    const Table& d1 = Get("deadtree1");
    EXPECT_EQ(d1.faces.size(), 407u);
    EXPECT_EQ(sizeRange(d1), (std::pair<size_t, size_t>{3, 20}));
    EXPECT_EQ(holeSizes(d1), (std::multiset<int>{3, 3, 3, 3, 3, 3, 3, 3, 3}));
    for (const Face& f : d1.faces) EXPECT_EQ(f.flags, 0);

    const Table& d2 = Get("deadtree2");
    EXPECT_EQ(d2.faces.size(), 183u);
    EXPECT_EQ(sizeRange(d2), (std::pair<size_t, size_t>{3, 11}));
    EXPECT_EQ(holeSizes(d2), (std::multiset<int>{3, 3, 5, 5}));
    const long oneSided = std::count_if(d2.faces.begin(), d2.faces.end(), [](const Face& f) { return f.flags == 16; });
    const long twoSided = std::count_if(d2.faces.begin(), d2.faces.end(), [](const Face& f) { return f.flags == 0; });
    EXPECT_EQ(oneSided, 173);
    EXPECT_EQ(twoSided, 10);

    const Table& pb = Get("pebbles");
    EXPECT_EQ(pb.faces.size(), 678u);
    std::map<size_t, int> sizes;
    for (const Face& f : pb.faces) {
        ++sizes[f.corners.size()];
        EXPECT_EQ(f.flags, 0);
    }
    EXPECT_EQ(sizes[3], 323);
    EXPECT_EQ(sizes[4], 317);
    EXPECT_EQ(sizes.rbegin()->first, 9u) << "the largest pebble faces have nine corners";
    EXPECT_EQ(holeSizes(pb), (std::multiset<int>{4, 4}));
}

// ------------------------------------------------------------------ shapes

TEST(MeshTables, IndicesAreInRangeAndEveryVertexIsUsed)
{
    for (const char* name : kNames) {
        const Table& t = Get(name);
        std::vector<bool> usedV(t.vertices.size()), usedT(t.texture.size());
        auto check = [&](const std::vector<Corner>& corners) {
            for (const Corner& c : corners) {
                ASSERT_GE(c.v, 0) << name;
                ASSERT_LT(c.v, static_cast<int>(t.vertices.size())) << name;
                ASSERT_GE(c.t, 0) << name;
                ASSERT_LT(c.t, static_cast<int>(t.texture.size())) << name;
                usedV[c.v] = usedT[c.t] = true;
            }
        };
        for (const Face& f : t.faces) {
            check(f.corners);
            for (const auto& h : f.holes) check(h);
        }
        EXPECT_EQ(std::count(usedV.begin(), usedV.end(), false), 0) << name << ": unused world vertices";
        EXPECT_EQ(std::count(usedT.begin(), usedT.end(), false), 0) << name << ": unused texture vertices";
    }
}

TEST(MeshTables, NoFaceIsDegenerateOrCrossesItself)
{
    for (const char* name : kNames) {
        const Table& t = Get(name);
        for (size_t i = 0; i < t.faces.size(); ++i) {
            const Face& f = t.faces[i];
            std::set<int> seen;
            for (const Corner& c : f.corners) EXPECT_TRUE(seen.insert(c.v).second) << name << " face " << i;
            for (const auto& h : f.holes)
                for (const Corner& c : h) EXPECT_TRUE(seen.insert(c.v).second) << name << " hole of face " << i;
            const std::vector<Vec> p = Points(t, f.corners);
            double perimeter = 0;
            for (size_t k = 0; k < p.size(); ++k) perimeter += Length(p[(k + 1) % p.size()] - p[k]);
            const Vec n = Newell(p);
            EXPECT_GT(Length(n) / 2, 1e-4 * perimeter * perimeter) << name << " face " << i << " has no area";
            const std::vector<P2> q = Project(p, n);
            for (size_t a = 0; a < q.size(); ++a)
                for (size_t b = a + 2; b < q.size(); ++b) {
                    if (a == 0 && b == q.size() - 1) continue;
                    EXPECT_FALSE(Cross2(q[a], q[a + 1], q[b], q[(b + 1) % q.size()]))
                        << name << " face " << i << " crosses itself";
                }
        }
    }
}

TEST(MeshTables, HolesLieInsideTheFaceTheyCutAndRunTheOtherWay)
{
    for (const char* name : {"deadtree1", "deadtree2", "pebbles"}) {
        const Table& t = Get(name);
        for (size_t i = 0; i < t.faces.size(); ++i) {
            const Face& f = t.faces[i];
            if (f.holes.empty()) continue;
            const std::vector<Vec> p = Points(t, f.corners);
            const Vec n = Newell(p);
            const Vec unit = n * (1 / Length(n));
            const std::vector<P2> outer = Project(p, n);
            double span = 0;
            for (const Vec& a : p)
                for (const Vec& b : p) span = std::max(span, Length(a - b));
            for (const auto& h : f.holes) {
                const std::vector<Vec> hp = Points(t, h);
                for (const Vec& q : hp)
                    EXPECT_LT(std::fabs(Dot(q - p[0], unit)), 0.05 * span) << name << ": hole leaves face " << i;
                const std::vector<P2> hole = Project(hp, n);
                for (const P2& q : hole) EXPECT_TRUE(Inside(q, outer)) << name << ": hole outside face " << i;
                for (size_t a = 0; a < hole.size(); ++a)
                    for (size_t b = 0; b < outer.size(); ++b)
                        EXPECT_FALSE(Cross2(hole[a], hole[(a + 1) % hole.size()], outer[b], outer[(b + 1) % outer.size()]))
                            << name << ": hole crosses the outline of face " << i;
                EXPECT_LT(Area2(hole) * Area2(outer), 0) << name << ": hole of face " << i << " runs with its face";
            }
        }
    }
}

// For every vertex, a representative vertex of the part of the mesh it
// belongs to (vertices joined by faces and holes form one part).
std::vector<int> PartOfEachVertex(const Table& t)
{
    std::vector<int> part(t.vertices.size());
    std::iota(part.begin(), part.end(), 0);
    std::function<int(int)> find = [&](int a) { return part[a] == a ? a : part[a] = find(part[a]); };
    for (const Face& f : t.faces) {
        for (const Corner& c : f.corners) part[find(c.v)] = find(f.corners[0].v);
        for (const auto& h : f.holes)
            for (const Corner& c : h) part[find(c.v)] = find(f.corners[0].v);
    }
    for (std::size_t i = 0; i < part.size(); ++i) part[i] = find(static_cast<int>(i));
    return part;
}

// Fronts are the side from which a face's corners run clockwise. Closed
// parts must enclose their volume with their fronts outside; parts open at
// one end (the two sections of the palm and cactus trunks) are closed over
// their rims for the test.
TEST(MeshTables, FacesLookOutward)
{
    for (const char* name : {"evergreen_trunk", "palm_trunk", "cactus_trunk", "cactus_arm", "deadtree1", "deadtree2",
                             "boulder", "flatrock", "pebbles"}) {
        const Table& t = Get(name);
        std::map<std::pair<int, int>, int> edges;
        auto addLoop = [&](const std::vector<Corner>& loop) {
            for (size_t i = 0; i < loop.size(); ++i) ++edges[{loop[i].v, loop[(i + 1) % loop.size()].v}];
        };
        for (const Face& f : t.faces) {
            addLoop(f.corners);
            for (const auto& h : f.holes) addLoop(h);
        }
        for (const auto& [edge, count] : edges) EXPECT_EQ(count, 1) << name << ": edge used twice the same way";
        // Parts: vertices joined by faces.
        const std::vector<int> part = PartOfEachVertex(t);
        auto find = [&](int vertex) { return part[static_cast<std::size_t>(vertex)]; };
        std::map<int, double> volume;
        auto tet = [](const Vec& a, const Vec& b, const Vec& c) { return Dot(a, Cross(b, c)) / 6; };
        auto fan = [&](const std::vector<Corner>& loop) {
            double v = 0;
            for (size_t i = 1; i + 1 < loop.size(); ++i)
                v += tet(t.vertices[loop[0].v], t.vertices[loop[i].v], t.vertices[loop[i + 1].v]);
            return v;
        };
        for (const Face& f : t.faces) {
            double v = fan(f.corners);
            for (const auto& h : f.holes) v += fan(h);
            volume[find(f.corners[0].v)] += v;
        }
        std::map<int, std::vector<std::pair<int, int>>> rims;
        for (const auto& [edge, count] : edges)
            if (!edges.count({edge.second, edge.first})) rims[find(edge.first)].push_back(edge);
        for (const auto& [p, rim] : rims) {
            Vec c;
            for (const auto& e : rim) c = c + t.vertices[e.first];
            c = c * (1.0 / static_cast<double>(rim.size()));
            for (const auto& e : rim) volume[p] += tet(c, t.vertices[e.second], t.vertices[e.first]);
        }
        for (const auto& [p, v] : volume) EXPECT_LT(v, 0) << name << ": a part faces inward";
    }
}

// Stones are round: every face of a boulder, the flat rock or a pebble looks
// away from the middle of its stone (the stone with the hole through it
// excepted: its tunnel looks into the hole).
TEST(MeshTables, RockFacesLookAwayFromTheMiddleOfTheirStone)
{
    for (const char* name : {"boulder", "flatrock", "pebbles"}) {
        const Table& t = Get(name);
        const std::vector<int> part = PartOfEachVertex(t);
        auto find = [&](int vertex) { return part[static_cast<std::size_t>(vertex)]; };
        std::map<int, std::pair<Vec, int>> middle;
        std::set<int> holed;
        for (size_t i = 0; i < t.vertices.size(); ++i) {
            auto& [sum, n] = middle[find(static_cast<int>(i))];
            sum = sum + t.vertices[i];
            ++n;
        }
        for (const Face& f : t.faces)
            if (!f.holes.empty()) holed.insert(find(f.corners[0].v));
        for (size_t i = 0; i < t.faces.size(); ++i) {
            const Face& f = t.faces[i];
            const int p = find(f.corners[0].v);
            if (holed.count(p)) continue;
            const std::vector<Vec> q = Points(t, f.corners);
            Vec c;
            for (const Vec& v : q) c = c + v;
            c = c * (1.0 / static_cast<double>(q.size()));
            const Vec centre = middle[p].first * (1.0 / middle[p].second);
            // Fronts are the clockwise side: opposite to Newell's vector.
            EXPECT_LT(Dot(Newell(q), c - centre), 0) << name << " face " << i << " looks into its stone";
        }
    }
}

TEST(MeshTables, OneSidedCardsAreListedFromBothSides)
{
    for (const char* name : {"evergreen_branches", "fern_leaf", "palm_leaf"}) {
        const Table& t = Get(name);
        std::multiset<std::vector<int>> keys;
        auto key = [](std::vector<int> v) {
            std::rotate(v.begin(), std::min_element(v.begin(), v.end()), v.end());
            return v;
        };
        for (const Face& f : t.faces) {
            std::vector<int> v;
            for (const Corner& c : f.corners) v.push_back(c.v);
            keys.insert(key(v));
        }
        for (const Face& f : t.faces) {
            std::vector<int> v;
            for (const Corner& c : f.corners) v.push_back(c.v);
            std::reverse(v.begin(), v.end());
            EXPECT_EQ(keys.count(key(v)), 1u) << name << ": a card face without its twin facing the other way";
        }
    }
}

// ------------------------------------------------------------------ texture

TEST(MeshTables, TextureCoordinatesStayInThePicture)
{
    for (const char* name : kNames)
        for (const auto& uv : Get(name).texture) {
            EXPECT_GE(uv[0], 0) << name;
            EXPECT_LE(uv[0], 1) << name;
            EXPECT_GE(uv[1], 0) << name;
            EXPECT_LE(uv[1], 1) << name;
        }
}

// Each branch card shows its picture with v = 0 where it leaves the trunk
// and v = 1 at its tip, u across it (0 on one edge, 1 on the other).
TEST(MeshTables, BranchCardsRunFromTheTrunkToTheirTips)
{
    const Table& t = Get("evergreen_branches");
    ASSERT_EQ(t.vertices.size(), 384u);
    for (const Face& f : t.faces) {
        // Each quad has two corners at one height of the picture and two at
        // another: the lower height's pair is the one nearer the trunk.
        std::map<double, std::pair<Vec, int>> byV;
        for (const Corner& c : f.corners) {
            auto& [sum, n] = byV[t.texture[c.t][1]];
            sum = sum + t.vertices[c.v];
            ++n;
        }
        ASSERT_EQ(byV.size(), 2u);
        const Vec nearMid = byV.begin()->second.first * (1.0 / byV.begin()->second.second);
        const Vec farMid = byV.rbegin()->second.first * (1.0 / byV.rbegin()->second.second);
        EXPECT_LT(std::hypot(nearMid.x, nearMid.y), std::hypot(farMid.x, farMid.y));
        std::set<double> us;
        for (const Corner& c : f.corners) us.insert(t.texture[c.t][0]);
        EXPECT_EQ(us, (std::set<double>{0, 1})) << "a card spans the picture's width";
    }
}

TEST(MeshTables, BoulderTextureIsAGridOfThirtySecondsAndSixteenths)
{
    const Table& t = Get("boulder");
    for (const auto& uv : t.texture) {
        EXPECT_DOUBLE_EQ(uv[0] * 32, std::round(uv[0] * 32));
        EXPECT_DOUBLE_EQ(uv[1] * 16, std::round(uv[1] * 16));
    }
    // Each face's corners sit on the grid where their vertices are: v falls
    // by a sixteenth per band from the top pole.
    for (size_t i = 0; i < t.faces.size(); ++i)
        for (const Corner& c : t.faces[i].corners) {
            const int band = c.v == 0 ? 0 : c.v == 1 ? 16 : 1 + (c.v - 2) / 16;
            EXPECT_DOUBLE_EQ(t.texture[c.t][1], 1.0 - band / 16.0) << "face " << i;
        }
}

// ------------------------------------------------------------------ fixed rows

TEST(MeshTables, RocksFollowTheDomeLayout)
{
    auto vertex = [](int band, int seg) { return band == 0 ? 0 : band == 16 ? 1 : 2 + 16 * (band - 1) + seg % 16; };
    std::vector<std::vector<int>> dome;
    for (int m = 0; m < 16; ++m) dome.push_back({0, vertex(1, m + 1), vertex(1, m)});
    for (int k = 1; k < 15; ++k)
        for (int m = 0; m < 16; ++m) dome.push_back({vertex(k, m), vertex(k, m + 1), vertex(k + 1, m + 1), vertex(k + 1, m)});
    for (int m = 0; m < 16; ++m) dome.push_back({vertex(15, m), vertex(15, m + 1), 1});
    const Table& flat = Get("flatrock");
    const Table& boulder = Get("boulder");
    ASSERT_EQ(flat.faces.size(), dome.size());
    ASSERT_EQ(boulder.faces.size(), dome.size());
    for (size_t i = 0; i < dome.size(); ++i) {
        std::vector<int> f, b;
        for (const Corner& c : flat.faces[i].corners) f.push_back(c.v);
        for (const Corner& c : boulder.faces[i].corners) b.push_back(c.v);
        EXPECT_EQ(f, dome[i]) << "flatrock face " << i;
        std::vector<int> later = dome[i];
        std::rotate(later.begin(), later.begin() + 1, later.end());
        EXPECT_EQ(b, later) << "boulder face " << i;
    }
}

TEST(MeshTables, FixedRowsAreExact)
{
    struct Row {
        const char* name;
        size_t line;  // 0 is the World Vertices line
        const char* text;
    };
    const Row rows[] = {
        {"evergreen_branches", 1, "0.12309 -0.0740236 3.5999366"},
        {"deadtree1", 1, "1.000000 0.000000 -1.000000"},
        {"deadtree1", 2, "0.309017 0.951057 -1.000000"},
        {"deadtree2", 1, "-0.699732 0.543747 11.171513"},
        {"palm_trunk", 1, "1.000000 0.000000 -1.000000"},
        {"cactus_trunk", 1, "-0.063917 -0.053649 5.807305"},
        {"cactus_arm", 1, "-0.262777 1.827870 -1.689714"},
        {"boulder", 1, "0.000000 0.171890 0.650082"},
        {"boulder", 2, "-0.198668 -0.319224 -1.418831"},
        {"boulder", 244, "0.031250 1.000000"},
        {"boulder", 245, "0.093750 1.000000"},
        {"boulder", 530, "0.875000 0.062500"},
        {"flatrock", 1, "0.004680 0.000000 0.136578"},
        {"flatrock", 2, "0.030876 0.000000 -0.140575"},
        {"flatrock", 244, "0.134863 0.576784"},
        {"pebbles", 1, "0.000000 -0.046935 0.221674"},
    };
    for (const Row& r : rows) {
        const Table& t = Get(r.name);
        ASSERT_LT(r.line, t.lines.size()) << r.name;
        EXPECT_EQ(t.lines[r.line], r.text) << r.name << " line " << r.line;
    }
    EXPECT_EQ(Get("boulder").lines[531], "Faces 256");
    const struct {
        const char* name;
        const char* pairs;
    } firstFaces[] = {
        {"evergreen_branches", "<4,3> <3,5> <0,0> <1,1>  "},
        {"boulder", "<3,12> <2,8> <0,0> "},
        {"flatrock", "<0,0> <3,3> <2,2> "},
    };
    for (const auto& f : firstFaces) {
        const Table& t = Get(f.name);
        EXPECT_EQ(t.lines.at(t.firstFaceLine + 1), f.pairs) << f.name;
    }
    const Table& branches = Get("evergreen_branches");
    const std::array<double, 2> tex[6] = {{0, 0}, {0, 0.5}, {0, 1}, {1, 0.5}, {1, 1}, {1, 0}};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(branches.texture[i], tex[i]);
    // The poles of the sphere rocks are vertices 0 and 1.
    EXPECT_EQ(Get("flatrock").faces.back().corners.back().v, 1);
}

TEST(MeshTables, FullyGivenMeshesAreExact)
{
    // The evergreen and fir trunk.
    std::string trunk = "World Vertices 24\n";
    const double radius[3] = {1, 1, 0.05};
    for (int ring = 0; ring < 3; ++ring)
        for (int m = 0; m < 8; ++m) {
            const double a = m * 3.14159265358979323846 / 4;
            trunk += Fixed6(radius[ring] * std::cos(a)) + ' ' + Fixed6(radius[ring] * std::sin(a)) + ' ' +
                     Fixed6(ring - 1.0) + '\n';
        }
    trunk += "Texture Vertices 27\n";
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 9; ++i) trunk += Fixed6(i / 8.0) + ' ' + Fixed6(j / 2.0) + '\n';
    trunk += "Faces 18\n";
    const char* const quads[] = {
        "<1,1> <0,0> <8,9> <9,10> ",       "<9,10> <10,11> <2,2> <1,1> ",     "<10,11> <11,12> <3,3> <2,2> ",
        "<11,12> <12,13> <4,4> <3,3> ",    "<12,13> <13,14> <5,5> <4,4> ",    "<13,14> <14,15> <6,6> <5,5> ",
        "<14,15> <15,16> <7,7> <6,6> ",    "<0,8> <7,7> <15,16> <8,17> ",     "<8,9> <16,18> <17,19> <9,10> ",
        "<9,10> <17,19> <18,20> <10,11> ", "<10,11> <18,20> <19,21> <11,12> ", "<11,12> <19,21> <20,22> <12,13> ",
        "<12,13> <20,22> <21,23> <13,14> ", "<13,14> <21,23> <22,24> <14,15> ", "<14,15> <22,24> <23,25> <15,16> ",
        "<15,16> <23,25> <16,26> <8,17> "};
    for (const char* q : quads) trunk += std::string("Face verts 4 flags 0 mat 0\n") + q + '\n';
    trunk += "Face verts 8 flags 0 mat 0\n<16,0> <23,0> <22,0> <21,0> <20,0> <19,0> <18,0> <17,0> \n";
    trunk += "Face verts 8 flags 0 mat 0\n<1,0> <2,0> <3,0> <4,0> <5,0> <6,0> <7,0> <0,0> \n";
    EXPECT_EQ(WrittenTable("evergreen_trunk"), trunk);
    EXPECT_NE(trunk.find("0.035355 0.035355 1.000000\n"), std::string::npos);
    EXPECT_NE(trunk.find("\n-0.707107 0.707107 -1.000000\n"), std::string::npos);

    // The fern leaf.
    const double arch[13] = {-1.649129, -1.059556, -0.623286, -0.319757, -0.128407, -0.028675, 0,
                             -0.001602, -0.014066, -0.048883, -0.117541, -0.231531, -0.402342};
    std::string fern = "World Vertices 26\n";
    for (int side = 0; side < 2; ++side)
        for (int j = 0; j < 13; ++j) fern += Fixed6(side ? 1 : -1) + ' ' + Fixed6(-1 + j / 6.0) + ' ' + Fixed6(arch[j]) + '\n';
    fern += "Texture Vertices 26\n";
    for (int side = 0; side < 2; ++side)
        for (int j = 0; j < 13; ++j) fern += Fixed6(side) + ' ' + Fixed6(j / 12.0) + '\n';
    fern += "Faces 24\n";
    auto quad = [&](int a, int b, int c, int d) {
        char line[128];
        std::snprintf(line, sizeof line, "Face verts 4 flags 16 mat 0\n<%d,%d> <%d,%d> <%d,%d> <%d,%d> \n", a, a, b, b, c,
                      c, d, d);
        fern += line;
    };
    for (int j = 0; j < 12; ++j) quad(14 + j, 13 + j, j, j + 1);
    for (int j = 0; j < 11; ++j) quad(j + 1, j, 13 + j, 14 + j);
    quad(24, 25, 12, 11);
    EXPECT_EQ(WrittenTable("fern_leaf"), fern);
    EXPECT_EQ(fern.substr(0, fern.find('\n', 18) + 1), "World Vertices 26\n-1.000000 -1.000000 -1.649129\n");
    EXPECT_NE(fern.find("\n1.000000 1.000000 -0.402342\n"), std::string::npos);

    // The palm leaf: the fern leaf with six vertex lines changed.
    const Table& palm = Get("palm_leaf");
    const Table& fernTable = Get("fern_leaf");
    ASSERT_EQ(palm.lines.size(), fernTable.lines.size());
    const std::map<size_t, std::string> moved = {
        {1, "-1.000046 -1.000000 -1.649151"}, {12, "-1.000379 0.833333 -0.231531"}, {13, "-1.000416 0.834025 -0.402373"},
        {14, "0.999954 -1.000033 -1.649105"}, {25, "0.999621 0.833333 -0.231531"}, {26, "0.999582 0.833965 -0.402293"}};
    for (size_t i = 0; i < palm.lines.size(); ++i) {
        auto it = moved.find(i);
        EXPECT_EQ(palm.lines[i], it == moved.end() ? fernTable.lines[i] : it->second) << "palm leaf line " << i;
    }
}

TEST(MeshTables, LinesAreSpelledAsTheSceneStoresThem)
{
    static const std::regex six(R"(-?\d+\.\d{6})");
    for (const char* name : kNames) {
        if (std::string(name) == "evergreen_branches") continue;
        const Table& t = Get(name);
        const size_t texStart = 1 + t.vertices.size();
        for (size_t i = 0; i < t.lines.size(); ++i) {
            const std::string& line = t.lines[i];
            const bool pairLine = i > t.firstFaceLine && line[0] == '<';
            if (pairLine) {
                EXPECT_EQ(line.back(), ' ') << name << " line " << i << ": pair lines end with a blank";
                EXPECT_NE(line[line.size() - 2], ' ') << name << " line " << i;
            } else {
                EXPECT_NE(line.back(), ' ') << name << " line " << i;
            }
            if ((i > 0 && i < texStart) || (i > texStart && i < t.firstFaceLine - 1)) {
                const std::vector<std::string> numbers = Words(line);
                for (const std::string& n : numbers) {
                    EXPECT_TRUE(std::regex_match(n, six)) << name << " line " << i << ": " << line;
                    EXPECT_NE(n, "-0.000000") << name << " line " << i;
                }
                EXPECT_EQ(numbers.size(), i < texStart ? 3u : 2u) << name << " line " << i;
            }
        }
        EXPECT_EQ(t.lines[0], "World Vertices " + std::to_string(t.vertices.size()));
        EXPECT_EQ(t.lines[texStart], "Texture Vertices " + std::to_string(t.texture.size()));
        EXPECT_EQ(t.lines[t.firstFaceLine - 1], "Faces " + std::to_string(t.Records()));
    }
}

// The branches table keeps its own spelling: two blanks after its count
// lines, its texture vertex lines, its first face line and its first pair
// line; no blank after the other lines; numbers with up to seven decimals
// and no trailing zeros.
TEST(MeshTables, BranchesTableKeepsItsOwnSpelling)
{
    const Table& t = Get("evergreen_branches");
    ASSERT_EQ(t.lines.size(), 1 + 384 + 1 + 6 + 1 + 2 * 256u);
    EXPECT_EQ(t.lines[0], "World Vertices 384  ");
    EXPECT_EQ(t.lines[385], "Texture Vertices 6  ");
    EXPECT_EQ(t.lines[392], "Faces 256  ");
    static const std::regex number(R"(-?(0|[1-9]\d*)(\.\d{0,6}[1-9])?)");
    for (size_t i = 1; i <= 384; ++i) {
        const std::string& line = t.lines[i];
        EXPECT_NE(line.back(), ' ') << i;
        const std::vector<std::string> numbers = Words(line);
        for (const std::string& n : numbers) EXPECT_TRUE(std::regex_match(n, number)) << "vertex line " << i << ": " << line;
        EXPECT_EQ(numbers.size(), 3u) << line;
    }
    const char* const tex[6] = {"0 0  ", "0 0.5  ", "0 1  ", "1 0.5  ", "1 1  ", "1 0  "};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(t.lines[386 + i], tex[i]);
    EXPECT_EQ(t.lines[393], "Face verts 4 flags 16 mat 0  ");
    EXPECT_EQ(t.lines[394], "<4,3> <3,5> <0,0> <1,1>  ");
    for (size_t i = 395; i < t.lines.size(); ++i) {
        EXPECT_NE(t.lines[i].back(), ' ') << "line " << i;
        if (i % 2 == 1) {
            EXPECT_EQ(t.lines[i], "Face verts 4 flags 16 mat 0") << i;
        }
    }
}

}  // namespace
}  // namespace kv
