// Copies the hand-written files of data/ (sample settings files) into the
// program directory.
#include <cstdio>
#include <filesystem>

#include "tools/datagen/Generators.h"

namespace kv::datagen {

bool CopyStaticData(const std::string& dataDir, const std::string& out)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(dataDir, ec)) return true;
    for (const auto& entry : fs::directory_iterator(dataDir, ec)) {
        if (!entry.is_regular_file()) continue;
        if (entry.path().filename() == "README.md") continue;
        fs::copy_file(entry.path(), fs::path(out) / entry.path().filename(), fs::copy_options::overwrite_existing,
                      ec);
        if (ec) {
            std::fprintf(stderr, "kv-datagen: cannot copy %s\n", entry.path().string().c_str());
            return false;
        }
    }
    return true;
}

}  // namespace kv::datagen
