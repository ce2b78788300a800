// The data tool: generates the program directory's stock files at build time.
// Usage: kv-datagen PROGRAM_DIR [DATA_DIR]
#include <cstdio>
#include <filesystem>

#include "tools/datagen/Generators.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: kv-datagen PROGRAM_DIR [DATA_DIR]\n");
        return 2;
    }
    const std::string out = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    using namespace kv::datagen;
    bool ok = GenerateHeightfields(out);
    ok = ok && GeneratePlacement(out);
    ok = ok && GeneratePatterns(out);
    ok = ok && GenerateClouds(out);
    ok = ok && GenerateStockTextures(out);
    if (ok && argc > 2) ok = CopyStaticData(argv[2], out);
    return ok ? 0 : 1;
}
