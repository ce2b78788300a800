#include "core/inputs/PngInput.h"

#include "core/basics/MessageTexts.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

#include "core/basics/Messages.h"

namespace kv {

namespace {

// Everything libpng's callbacks touch. Plain data only: libpng leaves its C
// frames with longjmp, so nothing on the way may need a destructor.
struct PngStream {
    png_structp png;
    png_infop info;
    const std::uint8_t* data;  // the bytes in memory, or
    std::size_t size;
    std::size_t position;
    std::FILE* file;           // the open file
    char reason[200];          // libpng's message for the error that ended the read
};

extern "C" void PngErrorToReason(png_structp png, png_const_charp message)
{
    PngStream* stream = static_cast<PngStream*>(png_get_error_ptr(png));
    std::snprintf(stream->reason, sizeof stream->reason, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
}

extern "C" void PngIgnoreWarning(png_structp, png_const_charp) {}

extern "C" void PngReadBytes(png_structp png, png_bytep out, png_size_t count)
{
    PngStream* stream = static_cast<PngStream*>(png_get_io_ptr(png));
    if (stream->file) {
        if (std::fread(out, 1, count, stream->file) != count)
            png_error(png, std::ferror(stream->file) ? "the file cannot be read" : "the file ends too soon");
        return;
    }
    if (count > stream->size - stream->position) png_error(png, "the file ends too soon");
    std::memcpy(out, stream->data + stream->position, count);
    stream->position += count;
}

struct PngHeader {
    png_uint_32 width;
    png_uint_32 height;
    int bitDepth;
    int colourType;
    int interlace;
};

// The layout of the rows libpng hands out once the transformations are set.
struct PngRowLayout {
    std::size_t rowBytes;
    int channels;
    int bitDepth;
};

// Where the rows go: `next` gives the buffer for row y, `done` takes it once
// it is complete. Both are called between libpng calls, never from them.
struct RowSink {
    png_bytep (*next)(void* context, png_uint_32 y);
    void (*done)(void* context, png_uint_32 y);
    void* context;
};

// Each step below sets its own return point, since libpng's longjmp must land
// in a frame that is still live. No step has a C++ object with a destructor.

bool ReadHeader(PngStream& stream, PngHeader& header)
{
    if (setjmp(png_jmpbuf(stream.png))) return false;
    png_set_read_fn(stream.png, &stream, PngReadBytes);
    // Only the picture counts: every ancillary chunk but tRNS is skipped
    // unread. libpng would otherwise allocate a buffer of whatever length a
    // text, profile or palette-suggestion chunk declares before finding that
    // the file holds no such data.
    png_set_keep_unknown_chunks(stream.png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_read_info(stream.png, stream.info);
    png_get_IHDR(stream.png, stream.info, &header.width, &header.height, &header.bitDepth, &header.colourType,
                 &header.interlace, nullptr, nullptr);
    return true;
}

// Palette to its colours, low-bit grey to 8 bits, alpha (and the alpha that
// transparency chunks would give) dropped; colours in BMP order when asked.
bool SetTransformations(PngStream& stream, bool blueFirst, PngRowLayout& layout)
{
    if (setjmp(png_jmpbuf(stream.png))) return false;
    const int colourType = png_get_color_type(stream.png, stream.info);
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(stream.png);
    if (colourType == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(stream.png, stream.info) < 8)
        png_set_expand_gray_1_2_4_to_8(stream.png);
    png_set_strip_alpha(stream.png);
    if (blueFirst) png_set_bgr(stream.png);
    png_set_interlace_handling(stream.png);
    png_read_update_info(stream.png, stream.info);
    layout.rowBytes = png_get_rowbytes(stream.png, stream.info);
    layout.channels = png_get_channels(stream.png, stream.info);
    layout.bitDepth = png_get_bit_depth(stream.png, stream.info);
    return true;
}

// A picture without interlacing, row by row into the sink.
bool ReadRowByRow(PngStream& stream, png_uint_32 height, const RowSink& sink)
{
    if (setjmp(png_jmpbuf(stream.png))) return false;
    for (png_uint_32 y = 0; y < height; ++y) {
        png_bytep row = sink.next(sink.context, y);
        png_read_row(stream.png, row, nullptr);
        sink.done(sink.context, y);
    }
    return true;
}

// An interlaced picture: every pass fills in the rows it holds.
bool ReadWholeImage(PngStream& stream, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(stream.png))) return false;
    png_read_image(stream.png, rows);
    return true;
}

// Owns the libpng structures (and the file) for one decode; lives in the
// caller's frame, outside every return point.
class PngDecoder {
public:
    PngDecoder(const std::uint8_t* data, std::size_t size, std::FILE* file, const PictureRequest& request)
        : request_(request)
    {
        std::memset(&stream_, 0, sizeof stream_);
        stream_.data = data;
        stream_.size = size;
        stream_.file = file;
        stream_.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &stream_, PngErrorToReason, PngIgnoreWarning);
        if (stream_.png) stream_.info = png_create_info_struct(stream_.png);
    }
    ~PngDecoder()
    {
        if (stream_.png) png_destroy_read_struct(&stream_.png, stream_.info ? &stream_.info : nullptr, nullptr);
        if (stream_.file) std::fclose(stream_.file);
    }
    PngDecoder(const PngDecoder&) = delete;
    PngDecoder& operator=(const PngDecoder&) = delete;

    // Reads the chunks before the image data and checks the declared size.
    const PngHeader& Header()
    {
        if (!stream_.png || !stream_.info) FailAllocation();
        if (!ReadHeader(stream_, header_)) FailLibrary();
        CheckDeclaredSize(header_.width, header_.height, request_);
        return header_;
    }

    // Sets the transformations; returns the rows' layout.
    PngRowLayout Layout(bool blueFirst)
    {
        PngRowLayout layout{};
        if (!SetTransformations(stream_, blueFirst, layout)) FailLibrary();
        return layout;
    }

    void ReadRows(const RowSink& sink)
    {
        if (!ReadRowByRow(stream_, header_.height, sink)) FailLibrary();
    }

    void ReadInterlaced(std::uint8_t* pixels, std::size_t stride)
    {
        std::vector<png_bytep> rows(header_.height);
        for (png_uint_32 y = 0; y < header_.height; ++y) rows[y] = pixels + y * stride;
        if (!ReadWholeImage(stream_, rows.data())) FailLibrary();
    }

    [[noreturn]] void FailLibrary() const
    {
        std::string reason = stream_.reason[0] ? stream_.reason : "unknown error";
        while (!reason.empty() && (reason.back() == '.' || reason.back() == ' ')) reason.pop_back();
        throw Failure(FormatMessage(text::kPngUnreadable, {request_.subject, reason}));
    }
    [[noreturn]] void FailAllocation() const
    {
        throw Failure(FormatMessage(text::kAllocation, {request_.subject}));
    }
    const PictureRequest& Request() const { return request_; }

private:
    PngStream stream_;
    PngHeader header_{};
    const PictureRequest& request_;
};

std::FILE* OpenPngFile(const std::string& path, const PictureRequest& request)
{
    std::error_code ec;
    std::FILE* file = std::filesystem::is_directory(path, ec) ? nullptr : std::fopen(path.c_str(), "rb");
    if (!file) throw Failure(FormatMessage(text::kErrorOpening, {request.subject}));
    return file;
}

// One row of samples as heights, by the rules in the header.
void RowToHeights(const std::uint8_t* row, int width, const PngRowLayout& layout, float* out)
{
    if (layout.bitDepth == 8) {
        if (layout.channels == 1) {
            for (int x = 0; x < width; ++x) out[x] = static_cast<float>(3 * row[x]);
        } else {
            for (int x = 0; x < width; ++x, row += 3) out[x] = static_cast<float>(row[0] + row[1] + row[2]);
        }
        return;
    }
    // 16-bit samples, most significant byte first.
    auto sample = [](const std::uint8_t* p) { return static_cast<unsigned>(p[0] << 8 | p[1]); };
    if (layout.channels == 1) {
        for (int x = 0; x < width; ++x, row += 2) out[x] = static_cast<float>(765.0 * sample(row) / 65535.0);
    } else {
        for (int x = 0; x < width; ++x, row += 6) {
            const unsigned sum = sample(row) + sample(row + 2) + sample(row + 4);
            out[x] = static_cast<float>(765.0 * sum / (3.0 * 65535.0));
        }
    }
}

// Row-by-row heights: one scratch row, converted into the picture as it comes.
struct HeightRows {
    HeightPicture* picture;
    std::uint8_t* scratch;
    PngRowLayout layout;

    static png_bytep Next(void* context, png_uint_32) { return static_cast<HeightRows*>(context)->scratch; }
    static void Done(void* context, png_uint_32 y)
    {
        HeightRows* rows = static_cast<HeightRows*>(context);
        HeightPicture& picture = *rows->picture;
        // Capacity for every row was reserved, so this never reallocates.
        picture.heights.resize(picture.heights.size() + static_cast<std::size_t>(picture.width));
        RowToHeights(rows->scratch, picture.width, rows->layout,
                     picture.heights.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width));
    }
};

// Row-by-row colours straight into the bitmap's pixel block.
struct ColourRows {
    Bitmap24* bitmap;

    static png_bytep Next(void* context, png_uint_32 y)
    {
        Bitmap24& bitmap = *static_cast<ColourRows*>(context)->bitmap;
        // Capacity for every row was reserved, so this never reallocates.
        bitmap.pixels.resize(bitmap.pixels.size() + bitmap.stride);
        return bitmap.pixels.data() + static_cast<std::size_t>(y) * bitmap.stride;
    }
    static void Done(void*, png_uint_32) {}
};

HeightPicture DecodeHeights(PngDecoder& decoder)
{
    const PngHeader header = decoder.Header();
    const PngRowLayout layout = decoder.Layout(false);
    if (!(layout.channels == 1 || layout.channels == 3) || !(layout.bitDepth == 8 || layout.bitDepth == 16))
        throw std::logic_error("PNG transformations left an unexpected row layout");
    HeightPicture picture;
    picture.width = static_cast<int>(header.width);
    picture.height = static_cast<int>(header.height);
    const std::size_t count = static_cast<std::size_t>(header.width) * header.height;
    try {
        if (header.interlace == PNG_INTERLACE_NONE) {
            // Memory is reserved, not touched: a file that declares a large
            // picture but ends early costs only the rows it really holds.
            picture.heights.reserve(count);
            std::vector<std::uint8_t> scratch(layout.rowBytes);
            HeightRows rows{&picture, scratch.data(), layout};
            decoder.ReadRows(RowSink{HeightRows::Next, HeightRows::Done, &rows});
        } else {
            std::unique_ptr<std::uint8_t[]> samples(new std::uint8_t[layout.rowBytes * header.height]);
            decoder.ReadInterlaced(samples.get(), layout.rowBytes);
            picture.heights.resize(count);
            for (png_uint_32 y = 0; y < header.height; ++y)
                RowToHeights(samples.get() + y * layout.rowBytes, picture.width, layout,
                             picture.heights.data() + y * static_cast<std::size_t>(picture.width));
        }
    } catch (const std::bad_alloc&) {
        decoder.FailAllocation();
    }
    return picture;
}

Bitmap24 DecodeColours(PngDecoder& decoder)
{
    const PngHeader header = decoder.Header();
    const bool colour = header.colourType == PNG_COLOR_TYPE_RGB || header.colourType == PNG_COLOR_TYPE_RGB_ALPHA ||
                        header.colourType == PNG_COLOR_TYPE_PALETTE;
    if (!colour || header.bitDepth == 16)
        throw Failure(FormatMessage(text::kPngNotColour, {decoder.Request().subject}));
    const PngRowLayout layout = decoder.Layout(true);
    if (layout.channels != 3 || layout.bitDepth != 8)
        throw std::logic_error("PNG transformations left an unexpected row layout");
    Bitmap24 bitmap;
    bitmap.width = static_cast<std::int32_t>(header.width);
    bitmap.height = static_cast<std::int32_t>(header.height);
    bitmap.topDown = true;
    bitmap.stride = static_cast<std::uint32_t>(3 * header.width + header.width % 4);
    const std::size_t blockSize = static_cast<std::size_t>(bitmap.stride) * header.height;
    try {
        if (header.interlace == PNG_INTERLACE_NONE) {
            bitmap.pixels.reserve(blockSize);
            ColourRows rows{&bitmap};
            decoder.ReadRows(RowSink{ColourRows::Next, ColourRows::Done, &rows});
        } else {
            // Untouched until the passes fill it in, as for the heights.
            std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[blockSize]);
            decoder.ReadInterlaced(block.get(), bitmap.stride);
            bitmap.pixels.assign(block.get(), block.get() + blockSize);
            // The padding at the end of each row holds no pixel: zero it as the
            // row-by-row path does.
            for (png_uint_32 y = 0; y < header.height; ++y)
                std::memset(bitmap.pixels.data() + y * static_cast<std::size_t>(bitmap.stride) + 3 * header.width, 0,
                            bitmap.stride - 3 * header.width);
        }
    } catch (const std::bad_alloc&) {
        decoder.FailAllocation();
    }
    return bitmap;
}

}  // namespace

HeightPicture DecodePngHeights(const std::uint8_t* data, std::size_t size, const PictureRequest& request)
{
    PngDecoder decoder(data, size, nullptr, request);
    return DecodeHeights(decoder);
}

HeightPicture LoadPngHeights(const std::string& path, const PictureRequest& request)
{
    PngDecoder decoder(nullptr, 0, OpenPngFile(path, request), request);
    return DecodeHeights(decoder);
}

Bitmap24 DecodePngColours(const std::uint8_t* data, std::size_t size, const PictureRequest& request)
{
    PngDecoder decoder(data, size, nullptr, request);
    return DecodeColours(decoder);
}

Bitmap24 LoadPngColours(const std::string& path, const PictureRequest& request)
{
    PngDecoder decoder(nullptr, 0, OpenPngFile(path, request), request);
    return DecodeColours(decoder);
}

}  // namespace kv
