#include "core/platform/Paths.h"

#include <filesystem>

namespace kv {

char PathSeparator()
{
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

std::string JoinPath(const std::string& dir, const std::string& name)
{
    std::string path;
    path.reserve(dir.size() + 1 + name.size());
    path += dir;
    path += PathSeparator();
    path += name;
    return path;
}

std::string NormaliseDirectory(const std::string& dir)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path p = fs::absolute(fs::path(dir.empty() ? "." : dir), ec);
    if (ec) p = fs::path(dir);
    const fs::path resolved = fs::weakly_canonical(p, ec);
    std::string text = (ec ? p.lexically_normal() : resolved).string();
    while (text.size() > 1 && (text.back() == '/' || text.back() == '\\')) {
#ifdef _WIN32
        if (text.size() == 3 && text[1] == ':') break;  // keep "C:\"
#endif
        text.pop_back();
    }
    return text;
}

void SplitPath(const std::string& path, std::string& directory, std::string& fileName)
{
    namespace fs = std::filesystem;
    const fs::path p(path);
    fileName = p.filename().string();
    directory = NormaliseDirectory(p.has_parent_path() ? p.parent_path().string() : std::string("."));
}

}  // namespace kv

namespace kv {

bool SameDirectory(const std::string& a, const std::string& b)
{
    std::error_code ec;
    const bool same = std::filesystem::equivalent(a, b, ec);
    if (!ec) return same;
    return NormaliseDirectory(a) == NormaliseDirectory(b);
}

bool HasControlCharacter(const std::string& text)
{
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) return true;
    }
    return false;
}

}  // namespace kv
