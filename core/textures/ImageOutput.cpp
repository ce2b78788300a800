#include "core/textures/ImageOutput.h"

#include "core/basics/MessageTexts.h"

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/platform/ReplacementFile.h"
#include "core/platform/SystemReason.h"

extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}

namespace kv {

// ---------------------------------------------------------------- memory stream

struct JpegBytes::Block {
    Block* next;
    std::size_t used;
    std::size_t capacity;
    unsigned char* Data() { return reinterpret_cast<unsigned char*>(this + 1); }
    const unsigned char* Data() const { return reinterpret_cast<const unsigned char*>(this + 1); }
};

JpegBytes::~JpegBytes() { Clear(); }

JpegBytes::JpegBytes(JpegBytes&& other) noexcept : first_(other.first_), last_(other.last_)
{
    other.first_ = other.last_ = nullptr;
}

JpegBytes& JpegBytes::operator=(JpegBytes&& other) noexcept
{
    if (this != &other) {
        Clear();
        first_ = other.first_;
        last_ = other.last_;
        other.first_ = other.last_ = nullptr;
    }
    return *this;
}

void JpegBytes::Clear()
{
    for (Block* block = first_; block;) {
        Block* next = block->next;
        std::free(block);
        block = next;
    }
    first_ = last_ = nullptr;
}

std::size_t JpegBytes::Size() const
{
    std::size_t size = 0;
    for (const Block* block = first_; block; block = block->next) size += block->used;
    return size;
}

bool JpegBytes::ForEachBlock(const std::function<bool(const std::uint8_t* data, std::size_t size)>& sink) const
{
    for (const Block* block = first_; block; block = block->next)
        if (block->used && !sink(block->Data(), block->used)) return false;
    return true;
}

std::string JpegBytes::ToString() const
{
    std::string out;
    out.reserve(Size());
    for (const Block* block = first_; block; block = block->next)
        out.append(reinterpret_cast<const char*>(block->Data()), block->used);
    return out;
}

// The library's destination manager writing into a JpegBytes. Everything here
// is called from the library's C frames: allocation failures are reported
// through the library's own error exit, never by a C++ exception.
struct JpegMemoryDestination {
    jpeg_destination_mgr manager;  // first member: the library sees a jpeg_destination_mgr*
    JpegBytes* bytes;

    static constexpr std::size_t kBlockSize = 256 * 1024;

    // Appends a fresh block and points the library at it; false when out of memory.
    bool AddBlock()
    {
        void* memory = std::malloc(sizeof(JpegBytes::Block) + kBlockSize);
        if (!memory) return false;
        JpegBytes::Block* block = static_cast<JpegBytes::Block*>(memory);
        block->next = nullptr;
        block->used = 0;
        block->capacity = kBlockSize;
        if (bytes->last_)
            bytes->last_->next = block;
        else
            bytes->first_ = block;
        bytes->last_ = block;
        manager.next_output_byte = block->Data();
        manager.free_in_buffer = kBlockSize;
        return true;
    }
    // Records how much of the current block the library has filled.
    void CloseBlock()
    {
        JpegBytes::Block* last = bytes->last_;
        last->used = last->capacity - manager.free_in_buffer;
    }
};

namespace {

JpegMemoryDestination* DestinationOf(j_compress_ptr info)
{
    return reinterpret_cast<JpegMemoryDestination*>(info->dest);
}

extern "C" void KvJpegInitDestination(j_compress_ptr info)
{
    if (!DestinationOf(info)->AddBlock()) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
}

extern "C" boolean KvJpegEmptyBuffer(j_compress_ptr info)
{
    JpegMemoryDestination* destination = DestinationOf(info);
    // The library calls this with the whole block full.
    destination->manager.free_in_buffer = 0;
    destination->CloseBlock();
    if (!destination->AddBlock()) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
    return TRUE;
}

extern "C" void KvJpegTermDestination(j_compress_ptr info)
{
    DestinationOf(info)->CloseBlock();
}

// ---------------------------------------------------------------- compression

struct ErrorManager {
    jpeg_error_mgr standard;  // first member: libjpeg sees a jpeg_error_mgr*
    std::jmp_buf escape;
};

JpegEncodeResult LibraryFailure(const jpeg_compress_struct& info)
{
    return info.err->msg_code == JERR_OUT_OF_MEMORY ? JpegEncodeResult::OutOfMemory : JpegEncodeResult::LibraryError;
}

// Fatal-error routine: the library's own message goes to standard error, then
// control returns to Compress's setjmp point.
extern "C" void JpegErrorExit(j_common_ptr info)
{
    ErrorManager* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->output_message)(info);
    std::longjmp(manager->escape, 1);
}

// Everything between setjmp and longjmp is plain data: no C++ object with a
// destructor lives in this frame. `scratch` has room for one row of the image.
JpegEncodeResult Compress(JpegBytes* memory, const ImageRows& image, int quality,
                          const std::function<bool()>* cancelled, std::uint8_t* scratch)
{
    jpeg_compress_struct info;
    std::memset(&info, 0, sizeof info);
    ErrorManager errors;
    JpegMemoryDestination destination;
    std::memset(&destination, 0, sizeof destination);
    info.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = JpegErrorExit;
    if (setjmp(errors.escape)) {
        const JpegEncodeResult failure = LibraryFailure(info);
        jpeg_destroy_compress(&info);
        return failure;
    }
    jpeg_create_compress(&info);
    destination.bytes = memory;
    destination.manager.init_destination = KvJpegInitDestination;
    destination.manager.empty_output_buffer = KvJpegEmptyBuffer;
    destination.manager.term_destination = KvJpegTermDestination;
    info.dest = &destination.manager;
    info.image_width = static_cast<JDIMENSION>(image.Width());
    info.image_height = static_cast<JDIMENSION>(image.Height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        if (cancelled && *cancelled && (*cancelled)()) {
            jpeg_destroy_compress(&info);
            return JpegEncodeResult::Cancelled;
        }
        JSAMPROW row = const_cast<JSAMPROW>(image.Row(static_cast<int>(info.next_scanline), scratch));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return JpegEncodeResult::Done;
}

}  // namespace

JpegStatus EncodeJpegFile(const std::string& path, const ImageRows& image, int quality)
{
    JpegBytes bytes;
    switch (EncodeJpegToMemory(image, quality, bytes)) {
    case JpegEncodeResult::Done: return WriteJpegBytes(path, bytes, nullptr);
    case JpegEncodeResult::OutOfMemory: return JpegStatus::OutOfMemory;
    case JpegEncodeResult::LibraryError:
    case JpegEncodeResult::Cancelled: break;
    }
    return JpegStatus::LibraryError;
}

JpegStatus EncodeJpegFile(const std::string& path, const std::uint8_t* rgb, int width, int height, int quality)
{
    return EncodeJpegFile(path, RgbViewRows(rgb, width, height), quality);
}

JpegEncodeResult EncodeJpegToMemory(const ImageRows& image, int quality, JpegBytes& out,
                                    const std::function<bool()>& cancelled)
{
    out.Clear();
    std::vector<std::uint8_t> scratch(static_cast<std::size_t>(image.Width()) * 3 + 1);
    const JpegEncodeResult result = Compress(&out, image, quality, &cancelled, scratch.data());
    if (result != JpegEncodeResult::Done) out.Clear();
    return result;
}

JpegStatus WriteJpegBytes(const std::string& path, const JpegBytes& bytes, TemporaryFileList* cleanup, int* error)
{
    ReplacementFile file(path, cleanup);
    FileOutcome outcome = file.Create();
    if (outcome.ok())
        bytes.ForEachBlock([&](const std::uint8_t* data, std::size_t size) {
            outcome = file.Write(data, size);
            return outcome.ok();
        });
    if (outcome.ok()) outcome = file.PutInPlace();
    if (error) *error = outcome.error;
    if (outcome.ok()) return JpegStatus::Ok;
    return outcome.failed == FileStep::Open ? JpegStatus::CannotOpen : JpegStatus::LibraryError;
}

JobFailure OutOfMemoryFailure()
{
    return Failure(text::kNotEnoughMemory, kErrorTitle);
}

JobFailure JpegWriteFailure(JpegStatus status, const std::string& path, const std::string& sceneDirectory,
                            const FreeSpaceQuery& freeSpace, int error)
{
    const std::string reason = SystemReason(error);
    if (status == JpegStatus::OutOfMemory) return OutOfMemoryFailure();
    if (status == JpegStatus::CannotOpen) {
        std::fprintf(stderr, "can't open %s\n", path.c_str());
        return FailureBecause(FormatMessage(text::kErrorWriting, {path}), reason, kErrorTitle);
    }
    const std::optional<std::uint64_t> free = freeSpace ? freeSpace(sceneDirectory) : std::nullopt;
    if (free && *free < kLowDiskSpace)
        return FailureBecause(FormatMessage(text::kErrorWritingLowDiskSpace, {path}),
                              reason, kErrorTitle);
    JobFailure failure = FailureBecause(FormatMessage(text::kErrorWriting, {path}), reason, kErrorTitle);
    failure.message.modality = Modality::Modal;
    return failure;
}

void WriteJpeg(const std::string& path, const std::uint8_t* rgb, int width, int height,
               const std::string& sceneDirectory, const FreeSpaceQuery& freeSpace, TemporaryFileList* cleanup)
{
    JpegBytes bytes;
    JpegStatus status = JpegStatus::LibraryError;
    int error = 0;
    switch (EncodeJpegToMemory(RgbViewRows(rgb, width, height), 100, bytes)) {
    case JpegEncodeResult::Done: status = WriteJpegBytes(path, bytes, cleanup, &error); break;
    case JpegEncodeResult::OutOfMemory: status = JpegStatus::OutOfMemory; break;
    case JpegEncodeResult::LibraryError:
    case JpegEncodeResult::Cancelled: break;
    }
    if (status == JpegStatus::Ok) return;
    throw JpegWriteFailure(status, path, sceneDirectory, freeSpace, error);
}

void TgaHeader32(std::uint8_t header[18], int width, int height)
{
    for (int i = 0; i < 18; ++i) header[i] = 0;
    header[2] = 2;
    header[12] = static_cast<std::uint8_t>(width & 0xff);
    header[13] = static_cast<std::uint8_t>((width >> 8) & 0xff);
    header[14] = static_cast<std::uint8_t>(height & 0xff);
    header[15] = static_cast<std::uint8_t>((height >> 8) & 0xff);
    header[16] = 32;
    header[17] = 8;
}

bool WriteTga32(const std::string& path, int width, int height, const std::uint8_t* bgraBottomUp)
{
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    std::vector<std::uint8_t> bytes(18 + pixels);
    TgaHeader32(bytes.data(), width, height);
    if (pixels) std::memcpy(bytes.data() + 18, bgraBottomUp, pixels);
    return WriteFileWhole(path, bytes.data(), bytes.size(), nullptr).ok();
}

}  // namespace kv
