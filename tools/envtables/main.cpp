// Generates the fixed vertex tables of the sky and fog domes as C++ data:
// the build runs it and compiles its output into the program.
//
//   kv-envtables > DomeTables.cpp
//
// The dome is the unit sphere of 16 segments and 16 bands: vertex 0 the top
// pole, vertex 1 the bottom pole, then for band k = 1..15 (top to bottom) and
// segment m = 0..15 the vertex 2 + 16(k - 1) + m at
//   (sin(k pi/16) cos(m pi/8), sin(k pi/16) sin(m pi/8), cos(k pi/16)).
// Values are rounded to six decimals from the exact point, with two fixed
// departures: a zero never carries a minus sign, and sixteen places hold
// +-0.653282 where exact rounding gives +-0.653281 (every such place of band 4,
// and the x component of segments 2, 6, 10 and 14 in bands 6 and 10).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

// Six-decimal text of a value, never "-0.000000".
std::string Six(long double v)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6Lf", v);
    std::string text = buffer;
    if (text == "-0.000000") text = "0.000000";
    // Cross-check against double arithmetic: a value sitting so close to a
    // rounding boundary that the two disagree would make the table depend on
    // the precision used; stop rather than guess.
    char check[64];
    std::snprintf(check, sizeof check, "%.6f", static_cast<double>(v));
    std::string checkText = check;
    if (checkText == "-0.000000") checkText = "0.000000";
    if (checkText != text) {
        std::fprintf(stderr, "precision-dependent rounding at %.20Lg\n", v);
        std::exit(1);
    }
    return text;
}

struct Point {
    long double x, y, z;
};

Point Vertex(int index)
{
    if (index == 0) return {0, 0, 1};
    if (index == 1) return {0, 0, -1};
    const int k = (index - 2) / 16 + 1;
    const int m = (index - 2) % 16;
    const long double ring = sinl(k * kPi / 16);
    return {ring * cosl(m * kPi / 8), ring * sinl(m * kPi / 8), cosl(k * kPi / 16)};
}

// True where the table prints +-0.653282 instead of the exact +-0.653281.
bool RaisedPlace(int k, int m, int component)
{
    if (k == 4) return true;  // only the +-0.653281 places of band 4 are asked about
    if ((k == 6 || k == 10) && component == 0 && m % 4 == 2) return true;
    return false;
}

std::string Component(int index, int component, int& raised, int& exactCount)
{
    const Point p = Vertex(index);
    const long double v = component == 0 ? p.x : component == 1 ? p.y : p.z;
    std::string text = Six(v);
    const bool is653281 = text == "0.653281" || text == "-0.653281";
    if (is653281) ++exactCount;
    if (is653281 && index >= 2) {
        const int k = (index - 2) / 16 + 1;
        const int m = (index - 2) % 16;
        if (RaisedPlace(k, m, component)) {
            text[text.size() - 1] = '2';
            ++raised;
        }
    }
    return text;
}

// Each line's numbers as double literals: the values the table states.
void PrintArray(const char* name, int columns, const std::vector<std::string>& lines)
{
    std::printf("const double %s[%zu][%d] = {\n", name, lines.size(), columns);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string numbers = lines[i];
        for (char& c : numbers)
            if (c == ' ') c = ',';
        std::printf("    {%s},  // %zu\n", numbers.c_str(), i);
    }
    std::printf("};\n\n");
}

}  // namespace

int main()
{
    int raised = 0;
    int exactCount = 0;
    std::vector<std::string> world;
    for (int i = 0; i < 242; ++i) {
        std::string line = Component(i, 0, raised, exactCount);
        line += ' ';
        line += Component(i, 1, raised, exactCount);
        line += ' ';
        line += Component(i, 2, raised, exactCount);
        world.push_back(line);
    }
    if (exactCount != 32 || raised != 16) {
        std::fprintf(stderr, "expected 32 places of 0.653281 and 16 raised, found %d and %d\n", exactCount, raised);
        return 1;
    }

    // Sky dome: a projection from above, (0.5 + x/2, 0.5 + y/2) of the exact point.
    std::vector<std::string> atmos;
    for (int i = 0; i < 242; ++i) {
        const Point p = Vertex(i);
        atmos.push_back(Six(0.5L + p.x / 2) + " " + Six(0.5L + p.y / 2));
    }

    // Fog dome: u = m/16 round the dome, v = 0.5 + z/2 up it, with a seam
    // column at u = -1/16 and one pole point per segment.
    std::vector<std::string> fog(289);
    fog[0] = "2.000000 1.000000";
    fog[1] = "2.000000 0.000000";
    for (int i = 2; i < 242; ++i) {
        const int m = (i - 2) % 16;
        fog[i] = Six(static_cast<long double>(m) / 16) + " " + Six(0.5L + Vertex(i).z / 2);
    }
    for (int m = 0; m < 15; ++m) {
        fog[242 + m] = Six((m + 0.5L) / 16) + " " + Six(1);
        fog[273 + m] = Six((m + 0.5L) / 16) + " " + Six(0);
    }
    fog[258] = Six(-0.5L / 16) + " " + Six(1);
    fog[288] = Six(-0.5L / 16) + " " + Six(0);
    for (int k = 1; k <= 15; ++k) fog[k == 1 ? 257 : 257 + k] = Six(-1.0L / 16) + " " + Six(0.5L + Vertex(2 + 16 * (k - 1)).z / 2);
    for (std::size_t i = 0; i < fog.size(); ++i)
        if (fog[i].empty()) {
            std::fprintf(stderr, "fog texture vertex %zu unset\n", i);
            return 1;
        }

    std::printf("// The fixed vertex tables of the sky and fog domes. Generated at build time\n");
    std::printf("// by tools/envtables; edit that tool, not this file.\n");
    std::printf("#include \"core/model/SphereTable.h\"\n\nnamespace kv {\n\n");
    PrintArray("kDomeWorldVertices", 3, world);
    PrintArray("kAtmosTextureVertices", 2, atmos);
    PrintArray("kFogTextureVertices", 2, fog);
    std::printf("}  // namespace kv\n");
    return 0;
}
