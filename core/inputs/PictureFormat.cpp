#include "core/inputs/PictureFormat.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "core/inputs/ElevationInput.h"

namespace kv {

namespace {

bool StartsWith(const std::uint8_t* head, std::size_t headSize, std::string_view prefix)
{
    return headSize >= prefix.size() && std::memcmp(head, prefix.data(), prefix.size()) == 0;
}

// An ESRI ASCII grid opens with header lines "key value"; the first key is
// usually ncols, but the format lets the header keys come in any order.
bool OpensWithGridHeader(const std::uint8_t* head, std::size_t headSize)
{
    std::size_t at = 0;
    if (StartsWith(head, headSize, "\xEF\xBB\xBF")) at = 3;  // a UTF-8 byte order mark
    while (at < headSize && std::isspace(head[at])) ++at;
    std::string key;
    while (at < headSize && std::isalpha(head[at]) && key.size() < 16)
        key += static_cast<char>(std::tolower(head[at++]));
    if (at >= headSize || !(head[at] == ' ' || head[at] == '\t')) return false;
    static constexpr std::array<std::string_view, 7> kHeaderKeys = {
        "ncols", "nrows", "xllcorner", "yllcorner", "xllcenter", "yllcenter", "cellsize"};
    for (std::string_view k : kHeaderKeys)
        if (key == k) return true;
    return false;
}

}  // namespace

bool IsElevationFormat(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Tiff:
    case PictureFormat::AsciiGrid:
    case PictureFormat::SrtmHeights:
    case PictureFormat::OtherRaster:
        return true;
    case PictureFormat::Bmp:
    case PictureFormat::Png:
    case PictureFormat::Unknown:
        return false;
    }
    return false;
}

PictureFormat SniffPictureFormat(const std::uint8_t* head, std::size_t headSize, std::uint64_t fileSize)
{
    if (StartsWith(head, headSize, "\x89PNG\r\n\x1a\n")) return PictureFormat::Png;
    if (StartsWith(head, headSize, "BM")) return PictureFormat::Bmp;
    static constexpr std::string_view kTiffOpenings[] = {
        std::string_view("II*\0", 4), std::string_view("MM\0*", 4),
        std::string_view("II+\0", 4), std::string_view("MM\0+", 4)};
    for (std::string_view opening : kTiffOpenings)
        if (StartsWith(head, headSize, opening)) return PictureFormat::Tiff;
    if (OpensWithGridHeader(head, headSize)) return PictureFormat::AsciiGrid;
    if (SrtmLayoutOfSize(fileSize)) return PictureFormat::SrtmHeights;
    return PictureFormat::Unknown;
}

PictureFormat SniffPictureFile(const std::string& path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return PictureFormat::Unknown;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) return PictureFormat::Unknown;
    std::array<std::uint8_t, kSniffBytes> head{};
    std::size_t got = 0;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        got = std::fread(head.data(), 1, head.size(), file);
        std::fclose(file);
    } else {
        return PictureFormat::Unknown;
    }
    const PictureFormat format = SniffPictureFormat(head.data(), got, size);
    if (format == PictureFormat::Unknown && ElevationRasterRecognised(path)) return PictureFormat::OtherRaster;
    return format;
}

std::optional<SrtmLayout> SrtmLayoutOfSize(std::uint64_t fileSize)
{
    static constexpr SrtmLayout kTiles[] = {{1201, 1201}, {3601, 3601}, {1801, 3601}};
    for (const SrtmLayout& tile : kTiles)
        if (fileSize == 2ull * static_cast<std::uint64_t>(tile.width) * static_cast<std::uint64_t>(tile.height))
            return tile;
    return std::nullopt;
}

}  // namespace kv
