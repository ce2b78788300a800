#include "core/inputs/Bitmap24.h"

#include "core/basics/MessageTexts.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "core/platform/Paths.h"
#include "core/platform/RegularFile.h"
#include "core/platform/SystemReason.h"
#include "core/basics/Messages.h"

namespace kv {

namespace {

std::uint32_t U32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }
std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::int32_t S32(const std::uint8_t* p) { return static_cast<std::int32_t>(U32(p)); }

[[noreturn]] void Fail(const std::string& pattern, const BitmapWording& w)
{
    throw Failure(FormatMessage(pattern, {w.subject}));
}

// Abstracts the byte source so the file loader and the in-memory decoder share
// every rule.
class Source {
public:
    virtual ~Source() = default;
    // Reads up to n bytes; returns how many were read, or -1 on a read error.
    virtual long long Read(std::uint8_t* out, std::size_t n) = 0;
    // The number of bytes of the whole file.
    virtual std::uint64_t Size() const = 0;
    // Moves to a position within the file; false on failure.
    virtual bool Seek(std::uint64_t position) = 0;
};

class MemorySource final : public Source {
public:
    MemorySource(const std::uint8_t* d, std::size_t s) : data_(d), size_(s) {}
    long long Read(std::uint8_t* out, std::size_t n) override
    {
        const std::size_t take = n < size_ - pos_ ? n : size_ - pos_;
        if (take) std::memcpy(out, data_ + pos_, take);
        pos_ += take;
        return static_cast<long long>(take);
    }
    std::uint64_t Size() const override { return size_; }
    bool Seek(std::uint64_t position) override
    {
        if (position > size_) return false;
        pos_ = static_cast<std::size_t>(position);
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

class FileSource final : public Source {
public:
    FileSource(std::FILE* f, std::uint64_t size) : file_(f), size_(size) {}
    ~FileSource() override { std::fclose(file_); }
    long long Read(std::uint8_t* out, std::size_t n) override
    {
        const std::size_t got = std::fread(out, 1, n, file_);
        if (got < n && std::ferror(file_)) return -1;
        return static_cast<long long>(got);
    }
    std::uint64_t Size() const override { return size_; }
    bool Seek(std::uint64_t position) override
    {
        return fseeko(file_, static_cast<off_t>(position), SEEK_SET) == 0;
    }

private:
    std::FILE* file_;
    std::uint64_t size_;
};

constexpr std::uint64_t kHeadersSize = 54;

Bitmap24 Decode(Source& source, const BitmapWording& w, const DeclaredSizeCheck& check)
{
    std::uint8_t fileHeader[14];
    if (source.Read(fileHeader, sizeof fileHeader) != static_cast<long long>(sizeof fileHeader))
        Fail(w.fileHeader, w);
    std::uint8_t info[40];
    if (source.Read(info, sizeof info) != static_cast<long long>(sizeof info)) Fail(w.infoHeader, w);

    const std::uint32_t fileSize = U32(fileHeader + 2);
    const std::uint32_t pixelOffset = U32(fileHeader + 10);
    const std::int32_t rawWidth = S32(info + 4);
    const std::int32_t rawHeight = S32(info + 8);
    const std::uint16_t bitCount = U16(info + 14);
    const std::uint32_t compression = U32(info + 16);

    if (bitCount != 24) Fail(w.bits24, w);
    if (compression != 0) Fail(w.uncompressed, w);
    // The pixel block is file size minus pixel offset bytes; a size field
    // smaller than the offset would ask for gigabytes.
    if (fileSize < pixelOffset) Fail(w.allocation, w);

    const std::int64_t width = rawWidth;
    const std::int64_t height = rawHeight < 0 ? -static_cast<std::int64_t>(rawHeight) : rawHeight;
    if (width < 0) Fail(w.infoHeader, w);
    if (width > kMaxBitmapSide || height > kMaxBitmapSide) Fail(w.tooLarge, w);
    if (check) check(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));

    // Pixels start where the file header says, when that is a place in the
    // file past the 54 header bytes (longer info headers, colour tables);
    // an offset inside the headers or beyond the end reads from byte 54.
    if (pixelOffset > kHeadersSize && pixelOffset < source.Size() && !source.Seek(pixelOffset)) Fail(w.pixelRead, w);

    Bitmap24 bmp;
    bmp.width = static_cast<std::int32_t>(width);
    bmp.height = static_cast<std::int32_t>(height);
    bmp.topDown = rawHeight < 0;
    bmp.stride = static_cast<std::uint32_t>(3 * width + width % 4);
    const std::uint64_t needed = static_cast<std::uint64_t>(bmp.stride) * static_cast<std::uint64_t>(height);
    const std::uint64_t declared = static_cast<std::uint64_t>(fileSize - pixelOffset);
    // Only what the picture needs is allocated; bytes the file lacks stay 0.
    const std::uint64_t toRead = declared < needed ? declared : needed;
    try {
        bmp.pixels.assign(static_cast<std::size_t>(needed), 0);
    } catch (const std::bad_alloc&) {
        Fail(w.allocation, w);
    }
    if (toRead > 0 && source.Read(bmp.pixels.data(), static_cast<std::size_t>(toRead)) < 0) Fail(w.pixelRead, w);
    return bmp;
}

}  // namespace

BitmapWording BitmapWording::Heightfield(const std::string& directory, const std::string& fileName)
{
    BitmapWording w;
    w.subject = JoinPath(directory, fileName);
    w.open = text::kHeightfieldOpen;
    w.fileHeader = text::kFileHeader;
    w.infoHeader = text::kInfoHeader;
    w.bits24 = text::kHeightfield24Bit;
    w.uncompressed = text::kHeightfieldUncompressed;
    w.allocation = text::kAllocation;
    w.pixelRead = text::kPixelRead;
    w.tooLarge = text::kTooLarge;
    return w;
}

BitmapWording BitmapWording::ForPath(const std::string& path)
{
    BitmapWording w;
    w.subject = path;
    w.open = text::kErrorOpening;
    w.fileHeader = text::kFileHeader;
    w.infoHeader = text::kInfoHeader;
    w.bits24 = text::k24Bit;
    w.uncompressed = text::kUncompressed;
    w.allocation = text::kAllocation;
    w.pixelRead = text::kPixelRead;
    w.tooLarge = text::kTooLarge;
    return w;
}

BitmapWording BitmapWording::AtmosPreview()
{
    BitmapWording w;
    w.open = text::kPreviewOpen;
    w.fileHeader = text::kPreviewFileHeader;
    w.infoHeader = text::kPreviewInfoHeader;
    w.bits24 = text::kPreview24Bit;
    w.uncompressed = text::kPreviewUncompressed;
    w.allocation = text::kPreviewAllocation;
    w.pixelRead = text::kPreviewPixelRead;
    w.tooLarge = text::kPreviewTooLarge;
    return w;
}

Bitmap24 LoadBitmap24(const std::string& path, const BitmapWording& wording, const DeclaredSizeCheck& check)
{
    int error = 0;
    std::uint64_t size = 0;
    std::FILE* file = OpenRegularFileStream(path, error, &size);
    if (!file) throw FailureBecause(FormatMessage(wording.open, {wording.subject}), SystemReason(error));
    FileSource source(file, size);
    return Decode(source, wording, check);
}

Bitmap24 DecodeBitmap24(const std::uint8_t* data, std::size_t size, const BitmapWording& wording,
                        const DeclaredSizeCheck& check)
{
    MemorySource source(data, size);
    return Decode(source, wording, check);
}

std::vector<std::uint8_t> EncodeBmp24(int width, int height, const std::uint8_t* rgb)
{
    const std::uint32_t stride = static_cast<std::uint32_t>(3 * width + width % 4);
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> out(54 + imageSize, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, 54 + imageSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    out[26] = 1;
    out[28] = 24;
    put32(34, imageSize);
    put32(38, 2835);
    put32(42, 2835);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = out.data() + 54 + static_cast<std::size_t>(height - 1 - y) * stride;
        const std::uint8_t* src = rgb + static_cast<std::size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            row[3 * x + 0] = src[3 * x + 2];
            row[3 * x + 1] = src[3 * x + 1];
            row[3 * x + 2] = src[3 * x + 0];
        }
    }
    return out;
}

bool WriteBmp24(const std::string& path, int width, int height, const std::uint8_t* rgbTopDown)
{
    const std::vector<std::uint8_t> bytes = EncodeBmp24(width, height, rgbTopDown);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace kv
