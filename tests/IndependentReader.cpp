#include "IndependentReader.h"

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <sstream>

#include "TestSupport.h"

namespace kv::test {

bool IndependentReaderAvailable() { return std::system("command -v assimp >/dev/null 2>&1") == 0; }

// The reader has four faults that correct scenes trip over; the copy works
// around each of them without changing the geometry:
//  1. its number parser takes a comma followed by a digit as a decimal point,
//     so colour lines such as "rgb 0,0,0" are rewritten as "rgb 0, 0, 0";
//  2. it ignores the Scen chunk and drops everything whose Parent is the
//     scene, so the Parent of the scene's direct children becomes 0000000;
//  3. it misreads Lght chunks, so they are dropped with their Unit chunks;
//  4. it does not know hole records, so the pair line after each
//     "Hole verts" line is dropped (the hole line itself is skipped by it).
std::string AdaptForIndependentReader(const std::string& text)
{
    std::istringstream in(text);
    std::string line;
    std::string out;
    std::string sceneId;
    bool inLight = false;
    bool dropNext = false;
    static const std::regex rgb(R"(^rgb ([0-9.]+),([0-9.]+),([0-9.]+)\r?$)");
    static const std::regex header(R"(^(\w+) (V[0-9.]+) Id (\d+) Parent (\d+) Size -1\r?$)");
    while (std::getline(in, line)) {
        if (dropNext) {
            dropNext = false;
            continue;
        }
        std::smatch m;
        if (std::regex_match(line, m, header)) {
            const std::string tag = m[1];
            if (tag == "Scen") sceneId = m[3];
            if (tag == "Lght") inLight = true;
            else if (tag != "Unit") inLight = false;
            if (inLight) continue;
            if (m[4] == sceneId && tag != "ROpt")
                line = tag + " " + std::string(m[2]) + " Id " + std::string(m[3]) + " Parent 0000000 Size -1\r";
        } else if (inLight) {
            if (line.rfind("END ", 0) == 0 || line.rfind("Vews", 0) == 0) inLight = false;
            else continue;
        }
        if (std::regex_match(line, m, rgb)) line = "rgb " + std::string(m[1]) + ", " + std::string(m[2]) + ", " +
                                                   std::string(m[3]) + "\r";
        if (line.rfind("Hole verts", 0) == 0) dropNext = true;
        out += line;
        if (!in.eof()) out += '\n';
    }
    return out;
}

namespace {

long Field(const std::string& output, const std::string& name)
{
    const std::regex pattern(name + R"(:\s+(\d+))");
    std::smatch m;
    return std::regex_search(output, m, pattern) ? std::stol(m[1]) : -1;
}

}  // namespace

std::optional<ReaderSummary> ReadWithIndependentReader(const std::string& scenePath)
{
    if (!IndependentReaderAvailable()) return std::nullopt;
    ScratchDir dir;
    const std::string copy = dir.File("adapted.scn");
    WriteFile(copy, AdaptForIndependentReader(ReadFile(scenePath)));
    const std::string command = "assimp info " + copy + " 2>&1";
    ReaderSummary summary;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) summary.output.append(buffer, n);
        summary.loaded = pclose(pipe) == 0 && summary.output.find("Importing file") != std::string::npos;
    }
    summary.meshes = Field(summary.output, "Meshes");
    summary.nodes = Field(summary.output, "Nodes");
    summary.vertices = Field(summary.output, "Vertices");
    summary.faces = Field(summary.output, "Faces");
    summary.materials = Field(summary.output, "Materials");
    return summary;
}

}  // namespace kv::test
