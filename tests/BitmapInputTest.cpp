// Reading 24-bit BMP files: the common rules, every loader's messages, bad
// headers, and the heightfield grid with its mirror and border band.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

#include "TestSupport.h"
#include "core/inputs/Bitmap24.h"
#include "core/inputs/HeightGrid.h"
#include "core/platform/Paths.h"
#include "core/basics/Messages.h"

namespace kv {
namespace {

using test::ScratchDir;
using test::WriteFile;

// A BMP file assembled field by field, independently of the program's own
// encoder, so that every header field can be set to anything.
struct RawBmp {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bits = 24;
    std::uint32_t compression = 0;
    std::uint32_t offset = 54;
    std::optional<std::uint32_t> fileSize;  // default: the real size
    std::vector<std::uint8_t> pixels;       // stored after byte 54

    std::vector<std::uint8_t> Bytes() const
    {
        std::vector<std::uint8_t> out(54 + pixels.size(), 0);
        auto put = [&](std::size_t at, std::uint32_t v, int n) {
            for (int i = 0; i < n; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        };
        out[0] = 'B';
        out[1] = 'M';
        put(2, fileSize.value_or(static_cast<std::uint32_t>(54 + pixels.size())), 4);
        put(10, offset, 4);
        put(14, 40, 4);
        put(18, static_cast<std::uint32_t>(width), 4);
        put(22, static_cast<std::uint32_t>(height), 4);
        put(26, 1, 2);
        put(28, bits, 2);
        put(30, compression, 4);
        for (std::size_t i = 0; i < pixels.size(); ++i) out[54 + i] = pixels[i];
        return out;
    }
};

// Rows of B, G, R bytes as stored (padded to 4 bytes), pixel (x, y) given
// as R, G, B by `rgb`; rows stored bottom row first unless `topDown`.
template <typename F>
std::vector<std::uint8_t> StoredRows(int w, int h, bool topDown, F rgb)
{
    const std::size_t stride = static_cast<std::size_t>((3 * w + 3) / 4 * 4);
    std::vector<std::uint8_t> rows(stride * h, 0xEE);  // padding bytes are not zero on purpose
    for (int y = 0; y < h; ++y) {
        const std::size_t stored = topDown ? y : h - 1 - y;
        for (int x = 0; x < w; ++x) {
            const std::array<std::uint8_t, 3> c = rgb(x, y);
            rows[stored * stride + 3 * x + 0] = c[2];
            rows[stored * stride + 3 * x + 1] = c[1];
            rows[stored * stride + 3 * x + 2] = c[0];
        }
    }
    return rows;
}

Bitmap24 Decode(const std::vector<std::uint8_t>& bytes, const BitmapWording& w = BitmapWording::ForPath("p.bmp"),
                const DeclaredSizeCheck& check = {})
{
    return DecodeBitmap24(bytes.data(), bytes.size(), w, check);
}

// The message of the failure `run` throws; fails the test when it succeeds.
std::string FailureText(const std::function<void()>& run)
{
    try {
        run();
    } catch (const JobFailure& f) {
        EXPECT_EQ(f.message.title, "Kelvane Message");
        EXPECT_EQ(f.message.icon, MessageIcon::Error);
        EXPECT_EQ(f.message.modality, Modality::SystemModal);
        return f.message.text;
    }
    ADD_FAILURE() << "no failure";
    return {};
}

std::string DecodeFailure(const std::vector<std::uint8_t>& bytes, const BitmapWording& w)
{
    return FailureText([&] { Decode(bytes, w); });
}

RawBmp Valid(int w, int h)
{
    RawBmp b;
    b.width = w;
    b.height = h;
    b.pixels = StoredRows(w, h, false, [](int, int) { return std::array<std::uint8_t, 3>{1, 2, 3}; });
    return b;
}

// ---------------------------------------------------------------- messages

// Every check's message in the three wordings: the heightfield's directory
// and file joined by the platform separator, other loaders' full path, and
// the atmosphere preview's texts without a path.
class LoaderMessages : public ::testing::Test {
protected:
    struct Wordings {
        std::string heightfield, other, atmos;
    };

    // Writes `bytes` and loads them with each wording through the file loader.
    Wordings Messages(const std::vector<std::uint8_t>& bytes)
    {
        WriteFile(dir.File("pic.bmp"), bytes);
        Wordings m;
        m.heightfield = FailureText([&] { LoadHeightfield(dir.path(), "pic.bmp"); });
        m.other = FailureText([&] { LoadBitmap24(dir.File("pic.bmp"), BitmapWording::ForPath(dir.File("pic.bmp"))); });
        m.atmos = FailureText([&] { LoadBitmap24(dir.File("pic.bmp"), BitmapWording::AtmosPreview()); });
        return m;
    }

    ScratchDir dir;
    std::string joined = dir.path() + PathSeparator() + "pic.bmp";
};

TEST_F(LoaderMessages, FileThatCannotBeOpened)
{
    const std::string missing = dir.File("absent.bmp");
    EXPECT_EQ(FailureText([&] { LoadHeightfield(dir.path(), "absent.bmp"); }),
              "Error getting handle to " + dir.path() + PathSeparator() + "absent.bmp.");
    EXPECT_EQ(FailureText([&] { LoadBitmap24(missing, BitmapWording::ForPath(missing)); }),
              "Error opening " + missing + ".");
    EXPECT_EQ(FailureText([&] { LoadBitmap24(missing, BitmapWording::AtmosPreview()); }),
              "Error opening atmos preview bitmap.");
    // A directory is not a picture file.
    EXPECT_EQ(FailureText([&] { LoadBitmap24(dir.path(), BitmapWording::ForPath(dir.path())); }),
              "Error opening " + dir.path() + ".");
}

TEST_F(LoaderMessages, FileShorterThanTheFileHeader)
{
    for (std::size_t size : {0u, 1u, 13u}) {
        std::vector<std::uint8_t> bytes = Valid(2, 2).Bytes();
        bytes.resize(size);
        const Wordings m = Messages(bytes);
        EXPECT_EQ(m.heightfield, "Error reading bitmap file header for " + joined + ".");
        EXPECT_EQ(m.other, "Error reading bitmap file header for " + dir.File("pic.bmp") + ".");
        EXPECT_EQ(m.atmos, "Error reading bitmap file header for atmos preview.");
    }
}

TEST_F(LoaderMessages, FileShorterThanTheInfoHeader)
{
    for (std::size_t size : {14u, 30u, 53u}) {
        std::vector<std::uint8_t> bytes = Valid(2, 2).Bytes();
        bytes.resize(size);
        const Wordings m = Messages(bytes);
        EXPECT_EQ(m.heightfield, "Error reading bitmap info header for " + joined + ".");
        EXPECT_EQ(m.other, "Error reading bitmap info header for " + dir.File("pic.bmp") + ".");
        EXPECT_EQ(m.atmos, "Error reading bitmap info header for atmos preview.");
    }
}

TEST_F(LoaderMessages, NotTwentyFourBits)
{
    for (std::uint16_t bits : {1, 8, 16, 32}) {
        RawBmp b = Valid(2, 2);
        b.bits = bits;
        const Wordings m = Messages(b.Bytes());
        EXPECT_EQ(m.heightfield, "The heightfield bitmap " + joined + " must be 24 bit.");
        EXPECT_EQ(m.other, dir.File("pic.bmp") + " must be 24 bit.");
        EXPECT_EQ(m.atmos, "The bitmap used  for atmos preview must be 24 bit.");
    }
}

TEST_F(LoaderMessages, Compressed)
{
    RawBmp b = Valid(2, 2);
    b.compression = 1;
    const Wordings m = Messages(b.Bytes());
    EXPECT_EQ(m.heightfield, "The heightfield bitmap " + joined + " must be uncompressed.");
    EXPECT_EQ(m.other, dir.File("pic.bmp") + " must be uncompressed.");
    EXPECT_EQ(m.atmos, "The bitmap used for atmos preview must be uncompressed.");
}

TEST_F(LoaderMessages, FileSizeFieldSmallerThanThePixelOffset)
{
    RawBmp b = Valid(2, 2);
    b.fileSize = 53;  // 53 - 54 would ask for about 4 GB
    const Wordings m = Messages(b.Bytes());
    EXPECT_EQ(m.heightfield, "Error allocating memory for bitmap bits for " + joined + ".");
    EXPECT_EQ(m.other, "Error allocating memory for bitmap bits for " + dir.File("pic.bmp") + ".");
    EXPECT_EQ(m.atmos, "Error allocating memory for bitmap bits for atmos preview.");
}

TEST_F(LoaderMessages, PictureOverSixteenThousandPixelsASide)
{
    const std::pair<std::int32_t, std::int32_t> sizes[] = {
        {16385, 1}, {1, 16385}, {1, -16385}, {2, INT_MIN}, {INT_MAX, 2}, {16385, 16385}};
    for (const auto& [w, h] : sizes) {
        RawBmp b;
        b.width = w;
        b.height = h;
        b.fileSize = 0xFFFFFFFFu;
        const Wordings m = Messages(b.Bytes());
        EXPECT_EQ(m.heightfield, joined + " is too large.") << w << " x " << h;
        EXPECT_EQ(m.other, dir.File("pic.bmp") + " is too large.");
        EXPECT_EQ(m.atmos, "The bitmap used for atmos preview is too large.");
    }
}

TEST_F(LoaderMessages, NegativeWidthIsAnUnreadableInfoHeader)
{
    RawBmp b = Valid(2, 2);
    b.width = -2;
    const Wordings m = Messages(b.Bytes());
    EXPECT_EQ(m.heightfield, "Error reading bitmap info header for " + joined + ".");
    EXPECT_EQ(m.other, "Error reading bitmap info header for " + dir.File("pic.bmp") + ".");
    RawBmp widest = Valid(2, 2);
    widest.width = INT_MIN;
    EXPECT_EQ(DecodeFailure(widest.Bytes(), BitmapWording::AtmosPreview()),
              "Error reading bitmap info header for atmos preview.");
}

TEST_F(LoaderMessages, HeightfieldMustBeSquareAndTwoPixelsWide)
{
    test::WriteGreyBmp(dir.File("wide.bmp"), 256, 255, [](int, int) { return 0; });
    EXPECT_EQ(FailureText([&] { LoadHeightfield(dir.path(), "wide.bmp"); }),
              "The heightfield bitmap " + dir.path() + PathSeparator() + "wide.bmp must be square.");

    for (int side : {0, 1}) {
        RawBmp b = Valid(side, side);
        WriteFile(dir.File("thin.bmp"), b.Bytes());
        EXPECT_EQ(FailureText([&] { LoadHeightfield(dir.path(), "thin.bmp"); }),
                  "The heightfield bitmap " + dir.path() + PathSeparator() + "thin.bmp must be at least 2 pixels wide.")
            << side;
    }
    // Not square comes first; the other loaders do not check the shape.
    WriteFile(dir.File("pic.bmp"), Valid(1, 2).Bytes());
    EXPECT_EQ(FailureText([&] { LoadHeightfield(dir.path(), "pic.bmp"); }),
              "The heightfield bitmap " + joined + " must be square.");
    EXPECT_EQ(LoadBitmap24(dir.File("pic.bmp"), BitmapWording::ForPath("x")).height, 2);
}

// ---------------------------------------------------------------- common rules

TEST(BitmapReading, RowPaddingForWidthsOneToFour)
{
    const std::uint32_t padding[] = {1, 2, 3, 0};
    for (int w = 1; w <= 4; ++w) {
        const int h = 3;
        auto colour = [](int x, int y) {
            return std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(10 * x + y), static_cast<std::uint8_t>(100 + x),
                                               static_cast<std::uint8_t>(200 + y)};
        };
        RawBmp b;
        b.width = w;
        b.height = h;
        // Rows padded by W mod 4 bytes, as the format's readers expect.
        const std::size_t stride = 3 * w + padding[w - 1];
        b.pixels.assign(stride * h, 0xEE);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const auto c = colour(x, y);
                std::uint8_t* p = &b.pixels[(h - 1 - y) * stride + 3 * x];
                p[0] = c[2];
                p[1] = c[1];
                p[2] = c[0];
            }
        const Bitmap24 bmp = Decode(b.Bytes());
        EXPECT_EQ(bmp.stride, stride) << w;
        EXPECT_EQ(bmp.pixels.size(), stride * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const auto c = colour(x, y);
                EXPECT_EQ(bmp.Red(x, y), c[0]) << w << " " << x << "," << y;
                EXPECT_EQ(bmp.Green(x, y), c[1]);
                EXPECT_EQ(bmp.Blue(x, y), c[2]);
            }
    }
}

TEST(BitmapReading, TopDownAndBottomUpFilesGiveTheSamePicture)
{
    auto colour = [](int x, int y) {
        return std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(x * 40), static_cast<std::uint8_t>(y * 40),
                                           static_cast<std::uint8_t>(x * y)};
    };
    RawBmp up;
    up.width = 6;
    up.height = 6;
    up.pixels = StoredRows(6, 6, false, colour);
    RawBmp down = up;
    down.height = -6;
    down.pixels = StoredRows(6, 6, true, colour);
    ASSERT_NE(up.pixels, down.pixels);

    const Bitmap24 a = Decode(up.Bytes());
    const Bitmap24 b = Decode(down.Bytes());
    EXPECT_FALSE(a.topDown);
    EXPECT_TRUE(b.topDown);
    EXPECT_EQ(b.height, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(a.Red(x, y), colour(x, y)[0]);
            EXPECT_EQ(b.Red(x, y), colour(x, y)[0]);
            EXPECT_EQ(a.Green(x, y), b.Green(x, y));
            EXPECT_EQ(a.Blue(x, y), b.Blue(x, y));
        }
    EXPECT_EQ(BuildHeightGrid(a).heights, BuildHeightGrid(b).heights);
}

TEST(BitmapReading, PixelsStartAtTheOffsetWhenItLiesInTheFileBeyondTheHeaders)
{
    auto colour = [](int x, int y) {
        return std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(1 + x), static_cast<std::uint8_t>(1 + y), 9};
    };
    const std::vector<std::uint8_t> rows = StoredRows(4, 4, false, colour);
    // Offsets inside the headers read from byte 54, as before.
    for (std::uint32_t offset : {0u, 10u, 54u}) {
        RawBmp b;
        b.width = b.height = 4;
        b.offset = offset;
        b.pixels = rows;
        b.fileSize = static_cast<std::uint32_t>(54 + rows.size());
        const Bitmap24 bmp = Decode(b.Bytes());
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) EXPECT_EQ(bmp.Red(x, y), 1 + x) << offset;
    }
    // Six bytes of something else (a colour mask, say) between the headers
    // and the pixels: the offset finds the pixels.
    RawBmp gap;
    gap.width = gap.height = 4;
    gap.offset = 60;
    gap.pixels.assign(6, 0x77);
    gap.pixels.insert(gap.pixels.end(), rows.begin(), rows.end());
    const Bitmap24 bmp = Decode(gap.Bytes());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(bmp.Red(x, y), 1 + x);
            EXPECT_EQ(bmp.Green(x, y), 1 + y);
        }
    // An offset at or past the end of the file is no place to start: byte 54.
    RawBmp beyond;
    beyond.width = beyond.height = 4;
    beyond.pixels = rows;
    beyond.offset = static_cast<std::uint32_t>(54 + rows.size());
    beyond.fileSize = static_cast<std::uint32_t>(2 * (54 + rows.size()));
    EXPECT_EQ(Decode(beyond.Bytes()).Red(3, 0), 4);
}

TEST(BitmapReading, MissingPixelBytesReadAsBlack)
{
    auto white = [](int, int) { return std::array<std::uint8_t, 3>{255, 255, 255}; };
    RawBmp b;
    b.width = 4;
    b.height = 4;
    b.pixels = StoredRows(4, 4, false, white);
    // The file ends after two of the four stored rows (the bottom ones).
    b.fileSize = static_cast<std::uint32_t>(54 + b.pixels.size());
    b.pixels.resize(2 * 12);
    Bitmap24 bmp = Decode(b.Bytes());
    ASSERT_EQ(bmp.pixels.size(), 48u);
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(bmp.Red(x, 3), 255);
        EXPECT_EQ(bmp.Red(x, 2), 255);
        EXPECT_EQ(bmp.Red(x, 1), 0);
        EXPECT_EQ(bmp.Blue(x, 0), 0);
    }
    // A file of just the headers is a black picture.
    b.pixels.clear();
    bmp = Decode(b.Bytes());
    for (std::uint8_t v : bmp.pixels) EXPECT_EQ(v, 0);
    EXPECT_EQ(bmp.pixels.size(), 48u);
}

TEST(BitmapReading, SizeFieldTooSmallForThePictureLeavesTheRestBlackEvenWhenTheFileHasIt)
{
    RawBmp b;
    b.width = 4;
    b.height = 4;
    b.pixels = StoredRows(4, 4, false, [](int, int) { return std::array<std::uint8_t, 3>{255, 255, 255}; });
    b.fileSize = 54 + 12;  // one stored row
    const Bitmap24 bmp = Decode(b.Bytes());
    ASSERT_EQ(bmp.pixels.size(), 48u);
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(bmp.Green(x, 3), 255);
        EXPECT_EQ(bmp.Green(x, 2), 0);
        EXPECT_EQ(bmp.Green(x, 0), 0);
    }
}

TEST(BitmapReading, SizeFieldFarLargerThanTheFileAllocatesOnlyThePicture)
{
    RawBmp b = Valid(3, 2);
    b.fileSize = 0xFFFFFFF0u;
    const Bitmap24 bmp = Decode(b.Bytes());
    EXPECT_EQ(bmp.stride, 12u);
    EXPECT_EQ(bmp.pixels.size(), 24u);
    EXPECT_EQ(bmp.Red(2, 1), 1);
}

TEST(BitmapReading, EmptyPicturesLoadWithoutPixels)
{
    for (const auto& [w, h] : {std::pair{0, 0}, std::pair{0, 5}, std::pair{5, 0}, std::pair{3, 0}}) {
        RawBmp b;
        b.width = w;
        b.height = h;
        b.fileSize = 1000;
        const Bitmap24 bmp = Decode(b.Bytes());
        EXPECT_EQ(bmp.width, w);
        EXPECT_EQ(bmp.height, h);
        EXPECT_TRUE(bmp.pixels.empty());
    }
}

TEST(BitmapReading, LargestSideIsAccepted)
{
    RawBmp b;
    b.width = 16384;
    b.height = -1;
    b.fileSize = 54;
    const Bitmap24 bmp = Decode(b.Bytes());
    EXPECT_EQ(bmp.width, 16384);
    EXPECT_EQ(bmp.height, 1);
    EXPECT_EQ(bmp.pixels.size(), 3u * 16384u);
}

TEST(BitmapReading, SignatureAndOtherHeaderFieldsAreNotChecked)
{
    std::vector<std::uint8_t> bytes = Valid(2, 2).Bytes();
    bytes[0] = 'X';
    bytes[1] = 'Y';
    bytes[14] = 99;  // info header size
    bytes[26] = 7;   // planes
    bytes[34] = 1;   // image size
    const Bitmap24 bmp = Decode(bytes);
    EXPECT_EQ(bmp.Blue(1, 1), 3);
}

TEST(BitmapReading, FileAndMemoryReadersAgree)
{
    ScratchDir dir;
    RawBmp b;
    b.width = 5;
    b.height = -3;
    b.offset = 70;
    b.pixels = StoredRows(5, 3, true, [](int x, int y) {
        return std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7};
    });
    WriteFile(dir.File("a.bmp"), b.Bytes());
    const Bitmap24 fromFile = LoadBitmap24(dir.File("a.bmp"), BitmapWording::ForPath("a"));
    const Bitmap24 fromMemory = Decode(b.Bytes());
    EXPECT_EQ(fromFile.pixels, fromMemory.pixels);
    EXPECT_EQ(fromFile.stride, fromMemory.stride);
    EXPECT_EQ(fromFile.topDown, fromMemory.topDown);
}

// ---------------------------------------------------------------- height grid

std::vector<std::uint8_t> GreyFile(int n, const std::function<int(int, int)>& value)
{
    RawBmp b;
    b.width = n;
    b.height = n;
    b.pixels = StoredRows(n, n, false, [&](int x, int y) {
        const auto v = static_cast<std::uint8_t>(value(x, y));
        return std::array<std::uint8_t, 3>{v, v, v};
    });
    return b.Bytes();
}

TEST(HeightGrid, TwoByTwoIsAllBorder)
{
    const HeightGrid g = BuildHeightGrid(Decode(GreyFile(2, [](int, int) { return 255; })));
    EXPECT_EQ(g.n, 2);
    EXPECT_EQ(g.heights, std::vector<float>(4, 0.0f));
}

TEST(HeightGrid, WhiteFourByFourRaisesOnlyPicturePixelTwoTwo)
{
    const HeightGrid g = BuildHeightGrid(Decode(GreyFile(4, [](int, int) { return 255; })));
    ASSERT_EQ(g.heights.size(), 16u);
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            EXPECT_EQ(g.At(column, row), column == 1 && row == 2 ? 765 : 0) << column << "," << row;
}

TEST(HeightGrid, BorderBandIsTwoPixelsAtLeftAndTopAndOneAtRightAndBottom)
{
    const int n = 7;
    const HeightGrid g = BuildHeightGrid(Decode(GreyFile(n, [](int, int) { return 255; })));
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const bool inside = x >= 2 && y >= 2 && x <= n - 2 && y <= n - 2;
            EXPECT_EQ(g.At(n - 1 - x, y), inside ? 765 : 0) << "picture " << x << "," << y;
        }
}

TEST(HeightGrid, GridIsThePictureMirroredWithRedGreenBlueSummed)
{
    const int n = 6;
    RawBmp b;
    b.width = n;
    b.height = n;
    auto colour = [](int x, int y) {
        return std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(x * 30), static_cast<std::uint8_t>(y * 20), 5};
    };
    b.pixels = StoredRows(n, n, false, colour);
    const HeightGrid g = BuildHeightGrid(Decode(b.Bytes()));
    // Picture (3, 2) lands in column 6 - 1 - 3 = 2.
    EXPECT_EQ(g.At(2, 2), 90 + 40 + 5);
    EXPECT_EQ(g.At(1, 4), 120 + 80 + 5);  // picture x = 4, the last inside column
    EXPECT_EQ(g.At(n - 1 - 1, 3), 0);  // picture x = 1 lies in the band
}

TEST(HeightGrid, WhitePixelAwayFromTheBorderCountsButNotInColumnOne)
{
    ScratchDir dir;
    test::WriteGreyBmp(dir.File("a.bmp"), 8, 8, [](int x, int y) { return x == 4 && y == 5 ? 255 : 0; });
    test::WriteGreyBmp(dir.File("b.bmp"), 8, 8, [](int x, int y) { return x == 1 && y == 5 ? 255 : 0; });
    const HeightGrid a = BuildHeightGrid(LoadHeightfield(dir.path(), "a.bmp"));
    const HeightGrid b = BuildHeightGrid(LoadHeightfield(dir.path(), "b.bmp"));
    EXPECT_EQ(a.At(3, 5), 765);
    std::int64_t sumA = 0, sumB = 0;
    for (float v : a.heights) sumA += static_cast<std::int64_t>(v);
    for (float v : b.heights) sumB += static_cast<std::int64_t>(v);
    EXPECT_EQ(sumA, 765);
    EXPECT_EQ(sumB, 0);
}

TEST(HeightGrid, BuiltInPlaceOrCopiedFromAnyHeightsAlike)
{
    for (int n : {2, 3, 4, 5, 8, 13}) {
        HeightPicture picture;
        picture.width = picture.height = n;
        for (int i = 0; i < n * n; ++i) picture.heights.push_back(0.37f * static_cast<float>(i % 23) + 1.0f);
        const HeightGrid copied = BuildHeightGrid(picture);
        ASSERT_EQ(copied.n, n);
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const bool inside = x >= 2 && y >= 2 && x <= n - 2 && y <= n - 2;
                ASSERT_EQ(copied.At(n - 1 - x, y), inside ? picture.At(x, y) : 0.0f) << n << ": " << x << "," << y;
            }
        HeightPicture taken = picture;
        EXPECT_EQ(BuildHeightGrid(std::move(taken)).heights, copied.heights) << n;
    }
}

TEST(HeightGrid, RefusesAPictureItCannotAddress)
{
    Bitmap24 notSquare = Decode(Valid(3, 2).Bytes());
    EXPECT_THROW(BuildHeightGrid(notSquare), std::invalid_argument);
    Bitmap24 shortBlock = Decode(Valid(3, 3).Bytes());
    shortBlock.pixels.resize(10);
    EXPECT_THROW(BuildHeightGrid(shortBlock), std::invalid_argument);
}

}  // namespace
}  // namespace kv

// ---------------------------------------------------------------- input that is not what it claims

#include <sys/stat.h>

#include <chrono>

#include "AllocationWatch.h"
#include "core/textures/AtmosColor.h"
#include "core/textures/PatternBitmap.h"

namespace kv {
namespace {

// The same picture behind the longer info headers image editors write by
// default (108 and 124 bytes, with colour masks and colour space data), the
// pixel data offset pointing past them.
std::vector<std::uint8_t> WithInfoHeaderOf(std::uint32_t headerSize, const RawBmp& plain)
{
    std::vector<std::uint8_t> bytes = plain.Bytes();
    const std::size_t extra = headerSize - 40;
    std::vector<std::uint8_t> out(bytes.begin(), bytes.begin() + 54);
    for (std::size_t i = 0; i < extra; ++i) out.push_back(static_cast<std::uint8_t>(0xA0 + i % 50));
    out.insert(out.end(), bytes.begin() + 54, bytes.end());
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(2, static_cast<std::uint32_t>(out.size()));
    put32(10, static_cast<std::uint32_t>(14 + headerSize));
    put32(14, headerSize);
    return out;
}

TEST(UnusualBitmaps, LongerInfoHeadersGiveTheSameHeights)
{
    RawBmp plain;
    plain.width = plain.height = 9;
    plain.pixels = StoredRows(9, 9, false, [](int x, int y) {
        return std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(x * 20), static_cast<std::uint8_t>(y * 9), 77};
    });
    const HeightGrid expected = BuildHeightGrid(Decode(plain.Bytes()));
    ScratchDir dir;
    for (std::uint32_t header : {108u, 124u}) {
        WriteFile(dir.File("h.bmp"), WithInfoHeaderOf(header, plain));
        EXPECT_EQ(BuildHeightGrid(LoadHeightfield(dir.path(), "h.bmp")).heights, expected.heights) << header;
    }
}

TEST(UnusualBitmaps, ThingsThatAreNotFilesAreRefusedWithoutWaiting)
{
    ScratchDir dir;
    ASSERT_EQ(mkfifo(dir.File("pipe.bmp").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.File("folder.bmp"));
    const auto start = std::chrono::steady_clock::now();
    for (const char* name : {"pipe.bmp", "folder.bmp"}) {
        try {
            LoadHeightfield(dir.path(), name);
            ADD_FAILURE() << name;
        } catch (const JobFailure& f) {
            EXPECT_EQ(f.message.text, "Error getting handle to " + dir.File(name) + ".");
            EXPECT_EQ(f.message.detail, std::string(name) == "pipe.bmp" ? "Not a regular file" : "Is a directory");
        }
        EXPECT_EQ(FailureText([&] { LoadBitmap24(dir.File(name), BitmapWording::ForPath(dir.File(name))); }),
                  "Error opening " + dir.File(name) + ".");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(UnusualBitmaps, ATinyFileDeclaringAHugePictureCostsLittle)
{
    // 154 bytes that declare 16384 x 16384 pixels: 805 MB if believed.
    RawBmp huge;
    huge.width = huge.height = 16384;
    huge.pixels.assign(100, 0x80);
    huge.fileSize = 0xFFFFFFF0u;
    ScratchDir dir;
    WriteFile(dir.File("huge.bmp"), huge.Bytes());
    const std::string path = dir.File("huge.bmp");
    constexpr std::size_t kBound = 1u << 20;

    {
        test::AllocationWatch watch;
        EXPECT_EQ(FailureText([&] { LoadHeightfield(dir.path(), "huge.bmp", 2304); }),
                  "The heightfield bitmap " + path + " is larger than the texture resolution; choose a higher resolution.");
        EXPECT_LT(watch.Largest(), kBound);
    }
    {
        test::AllocationWatch watch;
        EXPECT_EQ(FailureText([&] { LoadPatternBitmap(path, 576, [] {}); }),
                  "The pattern bitmap " + path + " must be 288 x 288 pixels.");
        EXPECT_LT(watch.Largest(), kBound);
    }
    {
        test::AllocationWatch watch;
        const BitmapWording wording = BitmapWording::ForPath(path);
        EXPECT_EQ(FailureText([&] { LoadBitmap24(path, wording, CloudSizeLimit(wording)); }), path + " is too large.");
        EXPECT_LT(watch.Largest(), kBound);
    }
    // A cloud bitmap up to the bound still loads.
    RawBmp large = Valid(kMaxCloudSide, 2);
    EXPECT_EQ(Decode(large.Bytes(), BitmapWording::ForPath("c"), CloudSizeLimit(BitmapWording::ForPath("c"))).width,
              kMaxCloudSide);
}

}  // namespace
}  // namespace kv
