// Heightfields and placement maps from PNG and from elevation rasters: the
// height rules of every PNG kind, exact placement colours, bad and hostile
// files, choosing the reader by content, and (in a build with GDAL) cropping,
// resampling and the mapping of elevations onto heights.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "PngWriter.h"
#include "TestSupport.h"
#include "core/inputs/Bitmap24.h"
#include "core/inputs/ElevationInput.h"
#include "core/inputs/HeightGrid.h"
#include "core/inputs/HeightPicture.h"
#include "core/inputs/HeightSource.h"
#include "core/inputs/PictureFormat.h"
#include "core/inputs/PngInput.h"
#include "core/platform/Paths.h"
#include "core/basics/Messages.h"

#if KV_HAVE_GDAL
#include <gdal.h>
#endif

namespace kv {
namespace {

using test::EncodePng;
using test::MakePng;
using test::PngPicture;
using test::ScratchDir;
using test::WriteFile;
using Kind = PngPicture::Kind;

// The text of the JobFailure that `load` throws ("" and a test failure when
// it throws none).
std::string FailureText(const std::function<void()>& load)
{
    try {
        load();
    } catch (const JobFailure& failure) {
        return failure.message.text;
    }
    ADD_FAILURE() << "no JobFailure was thrown";
    return "";
}

HeightPicture PngHeights(const PngPicture& picture, std::int64_t maxSide = kMaxBitmapSide)
{
    const std::vector<std::uint8_t> bytes = EncodePng(picture);
    EXPECT_FALSE(bytes.empty());
    PictureRequest request = PictureRequest::ForPath("test.png");
    request.maxSide = maxSide;
    return DecodePngHeights(bytes.data(), bytes.size(), request);
}

Bitmap24 PngColours(const PngPicture& picture)
{
    const std::vector<std::uint8_t> bytes = EncodePng(picture);
    EXPECT_FALSE(bytes.empty());
    return DecodePngColours(bytes.data(), bytes.size(), PictureRequest::ForPath("test.png"));
}

// A PNG whose IHDR declares another size (its CRC made right again).
std::vector<std::uint8_t> WithDeclaredSize(std::vector<std::uint8_t> png, std::uint32_t width, std::uint32_t height)
{
    auto put = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) png[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
    };
    put(16, width);
    put(20, height);
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), png.data() + 12, 17);  // "IHDR" and its 13 bytes
    put(29, static_cast<std::uint32_t>(crc));
    return png;
}

// The process's peak resident memory in kB, reset first when `reset`.
long PeakResidentKb(bool reset)
{
    if (reset) std::ofstream("/proc/self/clear_refs") << "5";
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// ---------------------------------------------------------------- PNG heights

TEST(PngHeights, EightBitGreyGivesExactlyTheHeightsOfTheGreyBmpItWasMadeFrom)
{
    ScratchDir dir;
    auto grey = [](int x, int y) { return (x * 37 + y * 11 + x * y) % 256; };
    const int n = 23;  // an odd width: the BMP rows carry padding
    test::WriteGreyBmp(dir.File("grey.bmp"), n, n, grey);
    const PngPicture png = MakePng(n, n, Kind::Grey, 8, [&](int x, int y, int) { return grey(x, y); });
    WriteFile(dir.File("grey.png"), EncodePng(png));
    // The same grey widened to 16 bits by repeating the byte (v * 257).
    const PngPicture wide = MakePng(n, n, Kind::Grey, 16, [&](int x, int y, int) { return grey(x, y) * 257; });
    WriteFile(dir.File("wide.png"), EncodePng(wide));

    const HeightPicture fromBmp = LoadHeightSource(dir.path(), "grey.bmp", {});
    const HeightPicture fromPng = LoadHeightSource(dir.path(), "grey.png", {});
    const HeightPicture fromWide = LoadHeightSource(dir.path(), "wide.png", {});
    ASSERT_EQ(fromPng.width, n);
    ASSERT_EQ(fromPng.height, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            EXPECT_EQ(fromBmp.At(x, y), static_cast<float>(3 * grey(x, y))) << x << "," << y;
            EXPECT_EQ(fromPng.At(x, y), fromBmp.At(x, y)) << x << "," << y;
            EXPECT_EQ(fromWide.At(x, y), fromBmp.At(x, y)) << x << "," << y;
        }

    // The BMP route is the existing loader's: its grid is these heights
    // mirrored, with the border band at 0.
    const HeightGrid grid = BuildHeightGrid(LoadHeightfield(dir.path(), "grey.bmp"));
    for (int y = 2; y < n - 1; ++y)
        for (int x = 2; x < n - 1; ++x) EXPECT_EQ(static_cast<float>(grid.At(n - 1 - x, y)), fromPng.At(x, y));
}

TEST(PngHeights, SixteenBitGreyRampRisesByOneConstantStep)
{
    // 4096 columns rising by 16 each: an 8-bit picture would give runs of 16
    // equal heights and then a jump of 3.
    const int width = 4096;
    const HeightPicture ramp = PngHeights(MakePng(width, 2, Kind::Grey, 16, [](int x, int, int) { return 16 * x; }));
    ASSERT_EQ(ramp.width, width);
    const double step = 765.0 * 16 / 65535.0;
    for (int x = 1; x < width; ++x) {
        const double rise = static_cast<double>(ramp.At(x, 1)) - ramp.At(x - 1, 1);
        ASSERT_NEAR(rise, step, 1e-4) << "column " << x;
    }
    EXPECT_EQ(ramp.At(0, 0), 0.0f);
    EXPECT_NEAR(ramp.At(width - 1, 0), 765.0 * 65520 / 65535, 1e-4);
    EXPECT_EQ(PngHeights(MakePng(2, 2, Kind::Grey, 16, [](int, int, int) { return 65535; })).At(1, 1), 765.0f);
}

TEST(PngHeights, ColourIsTheSumOfItsSamplesAndAlphaIsIgnored)
{
    // 8 bits: the sum of the bytes, as a BMP pixel.
    auto rgb = [](int x, int y, int c) { return (x * 50 + y * 7 + c * 90) % 256; };
    const HeightPicture colour = PngHeights(MakePng(6, 5, Kind::Rgb, 8, rgb));
    const HeightPicture withAlpha =
        PngHeights(MakePng(6, 5, Kind::Rgba, 8, [&](int x, int y, int c) { return c == 3 ? x * 40 : rgb(x, y, c); }));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(colour.At(x, y), static_cast<float>(rgb(x, y, 0) + rgb(x, y, 1) + rgb(x, y, 2)));
            EXPECT_EQ(withAlpha.At(x, y), colour.At(x, y));
        }

    // 16 bits: 765 (r + g + b) / (3 * 65535); samples that are multiples of
    // 257 land on whole heights, the others between them.
    const HeightPicture deep = PngHeights(MakePng(3, 1, Kind::Rgba, 16, [](int x, int, int c) {
        const int samples[3][4] = {{257 * 10, 257 * 20, 257 * 30, 0}, {65535, 65535, 65535, 1}, {1, 2, 0, 65535}};
        return samples[x][c];
    }));
    EXPECT_EQ(deep.At(0, 0), 60.0f);
    EXPECT_EQ(deep.At(1, 0), 765.0f);
    EXPECT_NEAR(deep.At(2, 0), 765.0 * 3 / (3 * 65535.0), 1e-9);
    EXPECT_GT(deep.At(2, 0), 0.0f);

    // Grey with alpha: the grey alone.
    const HeightPicture greyAlpha =
        PngHeights(MakePng(2, 1, Kind::GreyAlpha, 16, [](int x, int, int c) { return c == 1 ? 0 : 257 * (x + 1); }));
    EXPECT_EQ(greyAlpha.At(0, 0), 3.0f);
    EXPECT_EQ(greyAlpha.At(1, 0), 6.0f);
}

TEST(PngHeights, PaletteEntriesAndLowBitGreyAreWidenedFirst)
{
    PngPicture palette = MakePng(4, 2, Kind::Palette, 2, [](int x, int y, int) { return (x + y) % 4; });
    palette.paletteRgb = {0, 0, 0, 10, 20, 30, 255, 255, 255, 200, 0, 100};
    palette.paletteAlpha = {0, 128, 255, 0};  // transparency changes nothing
    const HeightPicture fromPalette = PngHeights(palette);
    const float sums[4] = {0, 60, 765, 300};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(fromPalette.At(x, y), sums[(x + y) % 4]) << x << "," << y;

    // Grey of 1, 2 and 4 bits spreads over 0..255 before it counts three times.
    EXPECT_EQ(PngHeights(MakePng(8, 1, Kind::Grey, 1, [](int x, int, int) { return x % 2; })).At(1, 0), 765.0f);
    const HeightPicture twoBit = PngHeights(MakePng(4, 1, Kind::Grey, 2, [](int x, int, int) { return x; }));
    for (int x = 0; x < 4; ++x) EXPECT_EQ(twoBit.At(x, 0), static_cast<float>(255 * x));
    PngPicture fourBit = MakePng(16, 1, Kind::Grey, 4, [](int x, int, int) { return x; });
    fourBit.transparentGrey = 3;  // a transparent grey adds no alpha channel to trip on
    const HeightPicture fromFourBit = PngHeights(fourBit);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(fromFourBit.At(x, 0), static_cast<float>(3 * 17 * x));
}

TEST(PngHeights, InterlacedPicturesGiveTheSameHeights)
{
    // Sizes that leave some of the seven passes empty or partial.
    for (const int side : {1, 3, 9, 33}) {
        for (const Kind kind : {Kind::Grey, Kind::Rgba}) {
            for (const int depth : {8, 16}) {
                PngPicture picture = MakePng(side, side + 2, kind, depth, [&](int x, int y, int c) {
                    return (x * 977 + y * 131 + c * 7919) % (depth == 8 ? 256 : 65536);
                });
                const HeightPicture plain = PngHeights(picture);
                picture.interlaced = true;
                const HeightPicture interlaced = PngHeights(picture);
                EXPECT_EQ(interlaced.width, side);
                EXPECT_EQ(interlaced.height, side + 2);
                EXPECT_EQ(interlaced.heights, plain.heights) << side << " " << depth;
            }
        }
    }
}

// ---------------------------------------------------------------- PNG placement maps

TEST(PngColours, EightBitColourGivesExactColoursAddressedAsABmp)
{
    // The twelve codes and a colour one level off, on a width with row padding.
    const int codes[][3] = {{0, 0, 255},   {0, 0, 196},  {0, 0, 128},  {0, 0, 64},  {0, 255, 0},
                            {0, 196, 0},   {0, 128, 0},  {0, 64, 0},   {255, 0, 0}, {196, 0, 0},
                            {128, 0, 0},   {64, 0, 0},   {0, 129, 0}};
    const int count = static_cast<int>(std::size(codes));
    auto code = [&](int x, int y, int c) { return codes[(x + 3 * y) % count][c]; };
    for (const bool interlaced : {false, true}) {
        PngPicture rgb = MakePng(7, 5, Kind::Rgb, 8, code);
        rgb.interlaced = interlaced;
        // Alpha 0 must not blend the colour away.
        PngPicture rgba = MakePng(7, 5, Kind::Rgba, 8, [&](int x, int y, int c) { return c == 3 ? 0 : code(x, y, c); });
        rgba.interlaced = interlaced;
        PngPicture palette = MakePng(7, 5, Kind::Palette, 8, [&](int x, int y, int) { return (x + 3 * y) % count; });
        for (const auto& entry : codes) palette.paletteRgb.insert(palette.paletteRgb.end(), entry, entry + 3);
        palette.paletteAlpha.assign(count, 0);
        palette.interlaced = interlaced;
        for (const PngPicture* source : {&rgb, &rgba, &palette}) {
            const Bitmap24 bitmap = PngColours(*source);
            ASSERT_EQ(bitmap.width, 7);
            ASSERT_EQ(bitmap.height, 5);
            EXPECT_EQ(bitmap.stride, 7u * 3 + 3);
            EXPECT_GE(bitmap.pixels.size(), static_cast<std::size_t>(bitmap.stride) * 5);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 7; ++x) {
                    EXPECT_EQ(bitmap.Red(x, y), code(x, y, 0)) << x << "," << y;
                    EXPECT_EQ(bitmap.Green(x, y), code(x, y, 1)) << x << "," << y;
                    EXPECT_EQ(bitmap.Blue(x, y), code(x, y, 2)) << x << "," << y;
                }
        }
    }
}

TEST(PngColours, GreyAndSixteenBitPicturesAreRefused)
{
    const std::string expected = "test.png must be an 8-bit colour PNG.";
    EXPECT_EQ(FailureText([] { PngColours(MakePng(2, 2, Kind::Grey, 8, [](int, int, int) { return 1; })); }),
              expected);
    EXPECT_EQ(FailureText([] { PngColours(MakePng(2, 2, Kind::GreyAlpha, 8, [](int, int, int) { return 1; })); }),
              expected);
    EXPECT_EQ(FailureText([] { PngColours(MakePng(2, 2, Kind::Rgb, 16, [](int, int, int) { return 1; })); }),
              expected);
}

// ---------------------------------------------------------------- bad PNG files

TEST(PngFailures, TruncatedAndCorruptFilesFailWithLibpngsReason)
{
    const std::vector<std::uint8_t> good =
        EncodePng(MakePng(40, 40, Kind::Rgb, 8, [](int x, int y, int c) { return (x * y + c * 31) % 256; }));
    const std::string prefix = "Error reading the PNG file test.png: ";
    // Cut everywhere from inside the signature to just before the image data ends.
    for (std::size_t cut = 0; cut + 12 < good.size(); cut += 7) {
        const std::string heights = FailureText([&] { DecodePngHeights(good.data(), cut, PictureRequest::ForPath("test.png")); });
        EXPECT_EQ(heights.rfind(prefix, 0), 0u) << "cut at " << cut << ": " << heights;
        const std::string colours = FailureText([&] { DecodePngColours(good.data(), cut, PictureRequest::ForPath("test.png")); });
        EXPECT_EQ(colours.rfind(prefix, 0), 0u) << "cut at " << cut << ": " << colours;
    }
    const std::string truncated = FailureText([&] { DecodePngHeights(good.data(), good.size() / 2, PictureRequest::ForPath("test.png")); });
    EXPECT_EQ(truncated, prefix + "the file ends too soon.");

    // A wrong CRC on the image data, and a flipped bit inside it.
    const std::size_t idat = std::string(good.begin(), good.end()).find("IDAT");
    ASSERT_NE(idat, std::string::npos);
    const std::size_t idatLength = static_cast<std::size_t>(good[idat - 4]) << 24 | good[idat - 3] << 16 |
                                   good[idat - 2] << 8 | good[idat - 1];
    std::vector<std::uint8_t> badCrc = good;
    badCrc[idat + 4 + idatLength] ^= 0x01;
    EXPECT_EQ(FailureText([&] { DecodePngHeights(badCrc.data(), badCrc.size(), PictureRequest::ForPath("test.png")); }),
              prefix + "IDAT: CRC error.");
    std::vector<std::uint8_t> flipped = good;
    flipped[idat + 4 + idatLength / 2] ^= 0x10;
    EXPECT_EQ(FailureText([&] { DecodePngHeights(flipped.data(), flipped.size(), PictureRequest::ForPath("test.png")); })
                  .rfind(prefix, 0),
              0u);

    // A BMP handed to the PNG reader.
    const std::vector<std::uint8_t> bmp = EncodeBmp24(1, 1, std::vector<std::uint8_t>{1, 2, 3}.data());
    EXPECT_EQ(FailureText([&] { DecodePngHeights(bmp.data(), bmp.size(), PictureRequest::ForPath("test.png")); }),
              prefix + "Not a PNG file.");

    ScratchDir dir;
    EXPECT_EQ(FailureText([&] { LoadPngHeights(dir.File("missing.png"), PictureRequest::ForPath("missing.png")); }),
              "Error opening missing.png.");
    EXPECT_EQ(FailureText([&] { LoadPngColours(dir.path(), PictureRequest::ForPath("a directory")); }),
              "Error opening a directory.");
}

TEST(PngFailures, DeclaredSizeIsRefusedBeforeAnyPixelIsAllocated)
{
    const std::vector<std::uint8_t> small = EncodePng(MakePng(4, 4, Kind::Grey, 16, [](int, int, int) { return 7; }));
    PictureRequest request = PictureRequest::Heightfield("dir", "big.png", 2304);
    const std::string overTexture =
        "The heightfield bitmap " + JoinPath("dir", "big.png") +
        " is larger than the texture resolution; choose a higher resolution.";
    const std::string tooLarge = JoinPath("dir", "big.png") + " is too large.";
    struct Case {
        std::uint32_t width, height;
        const std::string* message;
    };
    for (const Case& c : {Case{2305, 4, &overTexture}, Case{4, 2305, &overTexture}, Case{16385, 16385, &tooLarge},
                          Case{1000000, 3, &tooLarge}}) {
        const std::vector<std::uint8_t> declared = WithDeclaredSize(small, c.width, c.height);
        EXPECT_EQ(FailureText([&] { DecodePngHeights(declared.data(), declared.size(), request); }), *c.message);
        EXPECT_EQ(FailureText([&] { DecodePngColours(declared.data(), declared.size(), request); }),
                  c.message == &tooLarge ? tooLarge : *c.message);
    }

    // The largest side allowed: the tiny file is read until its data runs
    // out, and the rows it never held are never touched.
    const std::vector<std::uint8_t> huge = WithDeclaredSize(small, 16384, 16384);
    [[maybe_unused]] const long before = PeakResidentKb(true);
    const std::string message =
        FailureText([&] { DecodePngHeights(huge.data(), huge.size(), PictureRequest::ForPath("huge.png")); });
    [[maybe_unused]] const long after = PeakResidentKb(false);
    EXPECT_EQ(message.rfind("Error reading the PNG file huge.png: ", 0), 0u) << message;
#if !defined(__SANITIZE_ADDRESS__)
    if (before > 0 && after > 0) {
        EXPECT_LT(after - before, 64 * 1024) << "kB of peak memory for a 200-byte file";
    }
#endif

    // Ancillary chunks that declare close to a gigabyte of data the file does
    // not hold are skipped, not buffered.
    for (const char* type : {"sPLT", "iCCP", "zTXt", "sCAL", "eXIf"}) {
        std::vector<std::uint8_t> bloated;
        bloated.reserve(64);
        bloated.assign(small.begin(), small.begin() + 33);  // signature and IHDR
        for (const std::uint8_t byte : {0x3a, 0, 0, 0}) bloated.push_back(byte);  // the length
        for (int i = 0; i < 4; ++i) bloated.push_back(static_cast<std::uint8_t>(type[i]));
        bloated.resize(bloated.size() + 16, 0x41);
        const long start = PeakResidentKb(true);
        EXPECT_EQ(FailureText([&] { DecodePngHeights(bloated.data(), bloated.size(), PictureRequest::ForPath("x.png")); }),
                  "Error reading the PNG file x.png: the file ends too soon.")
            << type;
        const long end = PeakResidentKb(false);
        if (start > 0 && end > 0) {
            EXPECT_LT(end - start, 64 * 1024) << "kB of peak memory for a " << type << " chunk";
        }
    }
}

// ---------------------------------------------------------------- sniffing and the loaders by content

TEST(PictureSniffing, ContentDecidesTheFormat)
{
    auto sniff = [](const std::string& head, std::uint64_t size = 1000) {
        return SniffPictureFormat(reinterpret_cast<const std::uint8_t*>(head.data()), head.size(), size);
    };
    EXPECT_EQ(sniff("\x89PNG\r\n\x1a\n...."), PictureFormat::Png);
    EXPECT_EQ(sniff("\x89PNG\r\n\x1a"), PictureFormat::Unknown);  // a signature cut short
    EXPECT_EQ(sniff("BM6\0\0\0"), PictureFormat::Bmp);
    EXPECT_EQ(sniff(std::string("II*\0\x08\0", 6)), PictureFormat::Tiff);
    EXPECT_EQ(sniff(std::string("MM\0*\0\0", 6)), PictureFormat::Tiff);
    EXPECT_EQ(sniff(std::string("II+\0\x08\0", 6)), PictureFormat::Tiff);
    EXPECT_EQ(sniff("ncols 5\nnrows 5\n"), PictureFormat::AsciiGrid);
    EXPECT_EQ(sniff("\xEF\xBB\xBF  NCOLS\t5\r\n"), PictureFormat::AsciiGrid);
    EXPECT_EQ(sniff("xllcorner 3.5\nncols 2\n"), PictureFormat::AsciiGrid);
    EXPECT_EQ(sniff("ncolsx 5\n"), PictureFormat::Unknown);
    EXPECT_EQ(sniff("columns 5\n"), PictureFormat::Unknown);
    // SRTM tiles have no signature, only their size; a signature wins.
    const std::string zeros(64, '\0');
    EXPECT_EQ(sniff(zeros, 1201ull * 1201 * 2), PictureFormat::SrtmHeights);
    EXPECT_EQ(sniff(zeros, 3601ull * 3601 * 2), PictureFormat::SrtmHeights);
    EXPECT_EQ(sniff(zeros, 1801ull * 3601 * 2), PictureFormat::SrtmHeights);
    EXPECT_EQ(sniff(zeros, 1201ull * 1201 * 2 + 1), PictureFormat::Unknown);
    EXPECT_EQ(sniff("BM" + zeros, 1201ull * 1201 * 2), PictureFormat::Bmp);
    EXPECT_EQ(sniff(""), PictureFormat::Unknown);
    ASSERT_TRUE(SrtmLayoutOfSize(1801ull * 3601 * 2));
    EXPECT_EQ(SrtmLayoutOfSize(1801ull * 3601 * 2)->width, 1801);
    EXPECT_EQ(SrtmLayoutOfSize(1801ull * 3601 * 2)->height, 3601);
}

TEST(PictureSniffing, FilesAreReadByContentWhateverTheirName)
{
    ScratchDir dir;
    auto grey = [](int x, int y) { return 10 * x + y; };
    WriteFile(dir.File("png-named.bmp"), EncodePng(MakePng(5, 5, Kind::Grey, 16, [&](int x, int y, int) {
                  return grey(x, y) * 257 + 128;  // between whole heights: only the PNG reader gives these
              })));
    test::WriteGreyBmp(dir.File("bmp-named.png"), 5, 5, grey);
    EXPECT_EQ(SniffPictureFile(dir.File("png-named.bmp")), PictureFormat::Png);
    EXPECT_EQ(SniffPictureFile(dir.File("bmp-named.png")), PictureFormat::Bmp);
    EXPECT_EQ(SniffPictureFile(dir.File("missing")), PictureFormat::Unknown);
    EXPECT_EQ(SniffPictureFile(dir.path()), PictureFormat::Unknown);

    const HeightPicture fromPng = LoadHeightSource(dir.path(), "png-named.bmp", {});
    const HeightPicture fromBmp = LoadHeightSource(dir.path(), "bmp-named.png", {});
    EXPECT_NEAR(fromPng.At(4, 3), 765.0 * (43 * 257 + 128) / 65535, 1e-4);
    EXPECT_EQ(fromBmp.At(4, 3), 3.0f * 43);

    // Placement maps too: a PNG named .bmp gives its exact colours.
    WriteFile(dir.File("trees.bmp"),
              EncodePng(MakePng(3, 3, Kind::Rgb, 8, [](int x, int, int c) { return c == 1 && x == 2 ? 128 : 0; })));
    const Bitmap24 trees = LoadPlacementSource(dir.File("trees.bmp"));
    EXPECT_EQ(trees.Green(2, 1), 128);
    EXPECT_EQ(trees.Green(1, 1), 0);
    test::WriteGreyBmp(dir.File("trees.png"), 3, 3, [](int x, int) { return x; });
    EXPECT_EQ(LoadPlacementSource(dir.File("trees.png")).Blue(2, 0), 2);
    // Anything else keeps the 24-bit rules and their messages.
    WriteFile(dir.File("text.bmp"), std::string(80, 'x'));
    EXPECT_EQ(FailureText([&] { LoadPlacementSource(dir.File("text.bmp")); }), dir.File("text.bmp") + " must be 24 bit.");
    EXPECT_EQ(FailureText([&] { LoadHeightSource(dir.path(), "missing.png", {}); }),
              "Error getting handle to " + dir.File("missing.png") + ".");
}

TEST(HeightSource, PngHeightfieldsFollowTheHeightfieldRules)
{
    ScratchDir dir;
    const std::string path = dir.File("h.png");
    WriteFile(path, EncodePng(MakePng(6, 5, Kind::Grey, 8, [](int, int, int) { return 1; })));
    EXPECT_EQ(FailureText([&] { LoadHeightSource(dir.path(), "h.png", {}); }),
              "The heightfield bitmap " + path + " must be square.");
    WriteFile(path, EncodePng(MakePng(1, 1, Kind::Grey, 8, [](int, int, int) { return 1; })));
    EXPECT_EQ(FailureText([&] { LoadHeightSource(dir.path(), "h.png", {}); }),
              "The heightfield bitmap " + path + " must be at least 2 pixels wide.");
    WriteFile(path, EncodePng(MakePng(577, 577, Kind::Grey, 8, [](int, int, int) { return 1; })));
    HeightSourceOptions options;
    options.textureSize = 576;
    EXPECT_EQ(FailureText([&] { LoadHeightSource(dir.path(), "h.png", options); }),
              "The heightfield bitmap " + path + " is larger than the texture resolution; choose a higher resolution.");
    options.textureSize = 1152;
    EXPECT_EQ(LoadHeightSource(dir.path(), "h.png", options).width, 577);

    // A BMP is held to the same texture size.
    test::WriteGreyBmp(dir.File("h.bmp"), 577, 577, [](int, int) { return 1; });
    options.textureSize = 576;
    EXPECT_EQ(FailureText([&] { LoadHeightSource(dir.path(), "h.bmp", options); }),
              "The heightfield bitmap " + dir.File("h.bmp") +
                  " is larger than the texture resolution; choose a higher resolution.");

    // The square and two-pixel rules are checked on the declared size, before
    // any row is read: a PNG that declares 16384 x 2 and holds none of it.
    const std::vector<std::uint8_t> small = EncodePng(MakePng(4, 4, Kind::Grey, 16, [](int, int, int) { return 7; }));
    WriteFile(path, WithDeclaredSize(small, 16384, 2));
    EXPECT_EQ(FailureText([&] { LoadHeightSource(dir.path(), "h.png", {}); }),
              "The heightfield bitmap " + path + " must be square.");
    WriteFile(path, WithDeclaredSize(small, 1, 1));
    EXPECT_EQ(FailureText([&] { LoadHeightSource(dir.path(), "h.png", {}); }),
              "The heightfield bitmap " + path + " must be at least 2 pixels wide.");
}

// ---------------------------------------------------------------- elevations onto heights

TEST(ElevationMapping, LowestToHighestWithSeaNoDataRangeAndFlatRasters)
{
    auto mapped = [](std::vector<float> values, std::optional<double> noData = std::nullopt, double range = 0) {
        ElevationsToHeights(values.data(), values.size(), noData, range);
        return values;
    };
    // Land only: lowest to highest.
    EXPECT_EQ(mapped({100, 250, 175}), (std::vector<float>{0, 765, 382.5f}));
    // Sea: 0 m is the bottom, everything at or below it is 0.
    EXPECT_EQ(mapped({-20, 0, 50, 100}), (std::vector<float>{0, 0, 382.5f, 765}));
    // No-data and non-finite cells are 0 and do not count as the lowest.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(mapped({-9999, 200, 300, 400, nan, inf}, -9999.0), (std::vector<float>{0, 0, 382.5f, 765, 0, 0}));
    // A fixed range: 0..R onto 0..765, clamped both ways.
    EXPECT_EQ(mapped({-5, 250, 1000, 2000}, std::nullopt, 1000), (std::vector<float>{0, 191.25f, 765, 765}));
    EXPECT_EQ(mapped({-9999, 500}, -9999.0, 1000), (std::vector<float>{0, 382.5f}));
    // Nothing to map: flat land, flat sea, all sea, all void.
    EXPECT_EQ(mapped({123, 123}), (std::vector<float>{0, 0}));
    EXPECT_EQ(mapped({0, 0}), (std::vector<float>{0, 0}));
    EXPECT_EQ(mapped({-40, -10}), (std::vector<float>{0, 0}));
    EXPECT_EQ(mapped({-9999, -9999}, -9999.0), (std::vector<float>{0, 0}));
    // A no-data value beyond float's range matches nothing.
    EXPECT_EQ(mapped({1, 3}, 1e300), (std::vector<float>{0, 765}));
    // Full precision: a span of a few metres is not rounded to whole heights.
    const std::vector<float> fine = mapped({1000.0f, 1000.25f, 1003.0f});
    EXPECT_NEAR(fine[1], 765.0 * 0.25 / 3, 1e-4);
}

#if KV_HAVE_GDAL

// ---------------------------------------------------------------- elevation rasters through GDAL

// An ESRI ASCII grid of `columns` x `rows` cells, row 0 the northern one.
template <typename F>
void WriteAsciiGrid(const std::string& path, int columns, int rows, F elevation, const char* noData = nullptr)
{
    std::ofstream out(path);
    out << "ncols " << columns << "\nnrows " << rows << "\nxllcorner 0\nyllcorner 0\ncellsize 30\n";
    if (noData) out << "NODATA_value " << noData << "\n";
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) out << (x ? " " : "") << elevation(x, y);
        out << "\n";
    }
}

// A copy of `source` in another of GDAL's formats, made through GDAL's API.
void CopyThroughGdal(const std::string& source, const std::string& target, const char* driverName)
{
    GDALAllRegister();
    GDALDatasetH input = GDALOpen(source.c_str(), GA_ReadOnly);
    ASSERT_NE(input, nullptr);
    GDALDriverH driver = GDALGetDriverByName(driverName);
    ASSERT_NE(driver, nullptr) << driverName;
    GDALDatasetH output = GDALCreateCopy(driver, target.c_str(), input, FALSE, nullptr, nullptr, nullptr);
    ASSERT_NE(output, nullptr);
    GDALClose(output);
    GDALClose(input);
}

HeightPicture Elevations(const std::string& path, const ElevationScale& scale = {},
                         std::int64_t maxSide = kMaxBitmapSide)
{
    PictureRequest request = PictureRequest::ForPath(path);
    request.maxSide = maxSide;
    return LoadElevationHeights(path, request, scale);
}

TEST(ElevationRasters, AsciiGridAndItsGeoTiffCopyGiveTheSameHeights)
{
    ScratchDir dir;
    // 100 m to 250 m in steps of 10 m: 51 heights a step.
    WriteAsciiGrid(dir.File("grid.asc"), 4, 4, [](int x, int y) { return 100 + 10 * (x + 4 * y); });
    CopyThroughGdal(dir.File("grid.asc"), dir.File("grid.tif"), "GTiff");
    EXPECT_EQ(SniffPictureFile(dir.File("grid.asc")), PictureFormat::AsciiGrid);
    EXPECT_EQ(SniffPictureFile(dir.File("grid.tif")), PictureFormat::Tiff);
    for (const char* name : {"grid.asc", "grid.tif"}) {
        const HeightPicture picture = LoadHeightSource(dir.path(), name, {});
        ASSERT_EQ(picture.width, 4) << name;
        ASSERT_EQ(picture.height, 4) << name;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) EXPECT_EQ(picture.At(x, y), 51.0f * (x + 4 * y)) << name << " " << x << "," << y;
    }
}

// The mapping's rules are tested above; here the raster's own no-data value
// and the range override must reach it.
TEST(ElevationRasters, NoDataValueAndRangeOverrideReachTheMapping)
{
    ScratchDir dir;
    WriteAsciiGrid(
        dir.File("voids.asc"), 3, 3, [](int x, int y) { return x == 1 && y == 1 ? -9999 : 200 + 100 * x; }, "-9999");
    const HeightPicture voids = Elevations(dir.File("voids.asc"));
    EXPECT_EQ(voids.At(1, 1), 0.0f);
    EXPECT_EQ(voids.At(0, 0), 0.0f);
    EXPECT_EQ(voids.At(1, 0), 382.5f);
    EXPECT_EQ(voids.At(2, 2), 765.0f);

    // The same 250 m is the same height in a tile of any relief.
    WriteAsciiGrid(dir.File("b.asc"), 2, 2, [](int x, int y) { return std::vector<int>{300, 250, 260, 2000}[x + 2 * y]; });
    ElevationScale scale;
    scale.rangeMetres = 1000;
    EXPECT_EQ(Elevations(dir.File("b.asc"), scale).heights, (std::vector<float>{229.5f, 191.25f, 198.9f, 765}));
    EXPECT_EQ(Elevations(dir.File("b.asc")).At(1, 0), 0.0f);
}

TEST(ElevationRasters, NonSquareRastersAreCroppedToTheirCentralSquare)
{
    ScratchDir dir;
    // 7 wide, 3 high: columns 2 to 4. Elevation 10 x + y.
    WriteAsciiGrid(dir.File("wide.asc"), 7, 3, [](int x, int y) { return 10 * x + y; });
    const HeightPicture wide = Elevations(dir.File("wide.asc"));
    ASSERT_EQ(wide.width, 3);
    ASSERT_EQ(wide.height, 3);
    // Elevations 20..42 with 20 at the top left.
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_FLOAT_EQ(wide.At(x, y), static_cast<float>(765.0 * (10 * x + y) / 22)) << x << "," << y;
    // 3 wide, 6 high: rows 1 to 3 (the odd cell goes to the bottom).
    WriteAsciiGrid(dir.File("tall.asc"), 3, 6, [](int x, int y) { return 10 * x + y; });
    const HeightPicture tall = Elevations(dir.File("tall.asc"));
    ASSERT_EQ(tall.width, 3);
    // Elevations 1..23: the top left is row 1.
    EXPECT_EQ(tall.At(0, 0), 0.0f);
    EXPECT_FLOAT_EQ(tall.At(0, 1), static_cast<float>(765.0 / 22));
    EXPECT_EQ(tall.At(2, 2), 765.0f);
}

TEST(ElevationRasters, EdgeIsTheSquaresOwnCappedAtTheTextureOrTheOverride)
{
    ScratchDir dir;
    // A plane rising 1 m a column and 4 m a row.
    WriteAsciiGrid(dir.File("plane.asc"), 8, 8, [](int x, int y) { return 100 + x + 4 * y; });
    EXPECT_EQ(Elevations(dir.File("plane.asc")).width, 8);

    // Capped at the texture: averaged 2 x 2 blocks keep the plane's steps.
    const HeightPicture capped = Elevations(dir.File("plane.asc"), {}, 4);
    ASSERT_EQ(capped.width, 4);
    ASSERT_EQ(capped.height, 4);
    // Block means 102.5 + 2 x + 8 y over 102.5..132.5.
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_NEAR(capped.At(x, y), 765.0 * (2 * x + 8 * y) / 30, 1e-3) << x << "," << y;

    // An override edge: shrinking by a non-whole ratio, and enlarging.
    ElevationScale scale;
    scale.edge = 5;
    const HeightPicture shrunk = Elevations(dir.File("plane.asc"), scale, 16);
    ASSERT_EQ(shrunk.width, 5);
    scale.edge = 16;
    const HeightPicture enlarged = Elevations(dir.File("plane.asc"), scale, 16);
    ASSERT_EQ(enlarged.width, 16);
    for (const HeightPicture* picture : {&shrunk, &enlarged}) {
        EXPECT_EQ(picture->At(0, 0), 0.0f);
        EXPECT_EQ(picture->At(picture->width - 1, picture->height - 1), 765.0f);
        // A plane stays a plane: every row and column rises, without flat runs.
        for (int y = 0; y < picture->height; ++y)
            for (int x = 1; x < picture->width; ++x) EXPECT_GT(picture->At(x, y), picture->At(x - 1, y));
        for (int y = 1; y < picture->height; ++y) EXPECT_GT(picture->At(2, y), picture->At(2, y - 1));
    }

    // An override over the cap is refused with the caller's message.
    PictureRequest request = PictureRequest::Heightfield(dir.path(), "plane.asc", 576);
    scale.edge = 577;
    EXPECT_EQ(FailureText([&] { LoadElevationHeights(dir.File("plane.asc"), request, scale); }),
              "The heightfield bitmap " + dir.File("plane.asc") +
                  " is larger than the texture resolution; choose a higher resolution.");
}

TEST(ElevationRasters, NamelessSrtmTileAndOtherGdalFormatsAreRecognised)
{
    ScratchDir dir;
    // A 3 arc-second tile under a name GDAL's own SRTM reader would refuse:
    // big-endian 16-bit metres x + y, with one void.
    const int side = 1201;
    std::vector<std::uint8_t> tile(static_cast<std::size_t>(side) * side * 2);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int metres = x == 5 && y == 7 ? -32768 : x + y;
            const std::size_t at = (static_cast<std::size_t>(y) * side + x) * 2;
            tile[at] = static_cast<std::uint8_t>((metres >> 8) & 0xff);
            tile[at + 1] = static_cast<std::uint8_t>(metres & 0xff);
        }
    WriteFile(dir.File("tile.bin"), tile);
    EXPECT_EQ(SniffPictureFile(dir.File("tile.bin")), PictureFormat::SrtmHeights);
    const HeightPicture heights = Elevations(dir.File("tile.bin"));
    ASSERT_EQ(heights.width, side);
    EXPECT_EQ(heights.At(5, 7), 0.0f);
    EXPECT_EQ(heights.At(600, 0), static_cast<float>(765.0 * 600 / 2400));
    EXPECT_EQ(heights.At(1200, 1200), 765.0f);

    // Golden Software's ASCII grid has no signature of ours: GDAL recognises it.
    WriteAsciiGrid(dir.File("grid.asc"), 3, 3, [](int x, int y) { return 10 * x + 30 * y; });
    CopyThroughGdal(dir.File("grid.asc"), dir.File("surfer.grd"), "GSAG");
    EXPECT_EQ(SniffPictureFile(dir.File("surfer.grd")), PictureFormat::OtherRaster);
    const HeightPicture surfer = LoadHeightSource(dir.path(), "surfer.grd", {});
    EXPECT_EQ(surfer.heights, Elevations(dir.File("grid.asc")).heights);
    EXPECT_EQ(surfer.At(2, 0), 765.0f * 20 / 80);
}

TEST(ElevationRasters, BrokenFilesFailWithGdalsReason)
{
    ScratchDir dir;
    const std::string prefix = "Error reading the elevation data ";
    // A grid whose header promises more cells than it holds.
    WriteFile(dir.File("short.asc"), std::string("ncols 4\nnrows 4\nxllcorner 0\nyllcorner 0\ncellsize 1\n1 2 3 4\n5 6\n"));
    const std::string shortGrid = FailureText([&] { Elevations(dir.File("short.asc")); });
    EXPECT_EQ(shortGrid.rfind(prefix + dir.File("short.asc") + ": ", 0), 0u) << shortGrid;
    EXPECT_EQ(shortGrid.find("GDAL cannot"), std::string::npos) << "GDAL's own reason expected: " << shortGrid;

    // A TIFF cut after its header.
    WriteAsciiGrid(dir.File("grid.asc"), 8, 8, [](int x, int y) { return x * y; });
    CopyThroughGdal(dir.File("grid.asc"), dir.File("grid.tif"), "GTiff");
    const std::string tiff = test::ReadFile(dir.File("grid.tif"));
    WriteFile(dir.File("cut.tif"), tiff.substr(0, 16));
    const std::string cut = FailureText([&] { LoadHeightSource(dir.path(), "cut.tif", {}); });
    EXPECT_EQ(cut.rfind(prefix + dir.File("cut.tif") + ": ", 0), 0u) << cut;
    EXPECT_EQ(cut.find("GDAL cannot"), std::string::npos) << "GDAL's own reason expected: " << cut;
    EXPECT_EQ(cut.back(), '.');
    EXPECT_NE(cut.substr(cut.size() - 2), "..");
}

#else  // a build without GDAL

TEST(ElevationRasters, ThisBuildSaysItCannotReadThem)
{
    ScratchDir dir;
    WriteFile(dir.File("dem.tif"), std::string("II*\0\x08\0\0\0", 8));
    EXPECT_FALSE(ElevationInputAvailable());
    EXPECT_EQ(FailureText([&] { LoadHeightSource(dir.path(), "dem.tif", {}); }),
              dir.File("dem.tif") +
                  " holds elevation data, which this build of Kelvane cannot read (it was built without GDAL).");
    WriteFile(dir.File("grid.txt"), std::string("ncols 2\nnrows 2\n"));
    EXPECT_NE(FailureText([&] { LoadHeightSource(dir.path(), "grid.txt", {}); }).find("cannot read"),
              std::string::npos);
}

#endif

}  // namespace
}  // namespace kv
