#include "TestSupport.h"

#include <fstream>
#include <iterator>
#include <random>

#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"

namespace kv::test {

ScratchDir::ScratchDir()
{
    const std::string file = CreateUniqueTemporaryFile("kvtest");
    std::filesystem::remove(file);
    std::filesystem::create_directories(file);
    path_ = file;
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string ScratchDir::File(const std::string& name) const { return JoinPath(path_, name); }

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string ProgramDir() { return KV_TEST_PROGRAM_DIR; }

std::vector<std::string> TemporaryFilesIn(const std::string& directory)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(directory, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == 9 && name.rfind(".kv", 0) == 0) names.push_back(name);
    }
    return names;
}

}  // namespace kv::test
