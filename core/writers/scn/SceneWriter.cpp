#include "core/writers/scn/SceneWriter.h"

#include "core/basics/MessageTexts.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "core/basics/Messages.h"

namespace kv {

SceneWriter::SceneWriter(Session& session) : session_(session), buffer_(new char[kCapacity]) {}

SceneWriter::~SceneWriter() { Abandon(); }

void SceneWriter::Start(const std::string& path)
{
    path_ = path;
    used_ = 0;
    flushed_ = 0;
    Line("Caligari V00.01ALH             ");
}

FileOutcome SceneWriter::OpenReplacing(const std::string& target, TemporaryFileList* cleanup)
{
    Abandon();
    auto file = std::make_unique<ReplacementFile>(target, cleanup);
    const FileOutcome created = file->Create();
    if (!created.ok()) return created;
    replacement_ = std::move(file);
    Start(target);
    return {};
}

bool SceneWriter::Open(const std::string& path)
{
    Abandon();
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) return false;
    Start(path);
    return true;
}

FileOutcome SceneWriter::WriteOut(const char* data, std::size_t size)
{
    if (replacement_) return replacement_->Write(data, size);
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return FileOutcome{FileStep::Write, errno};
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return {};
}

void SceneWriter::Close()
{
    if (!IsOpen()) return;
    Put("END V1.00 Id 0 Parent 0 Size 0");
    Flush();
    FileOutcome closed;
    if (replacement_) {
        closed = replacement_->Close();
    } else {
        if (::close(fd_) != 0 && errno != EINTR) closed = FileOutcome{FileStep::Write, errno};
        fd_ = -1;
    }
    if (!closed.ok()) FailWrite(closed);
}

FileOutcome SceneWriter::PutInPlace()
{
    if (!replacement_) return FileOutcome{FileStep::Rename, ENOENT};
    const FileOutcome placed = replacement_->PutInPlace();
    replacement_.reset();
    return placed;
}

void SceneWriter::Abandon()
{
    replacement_.reset();  // closes and removes the temporary file
    if (fd_ >= 0) {
        // A file written directly keeps what was written, as far as it goes.
        if (used_ > 0) (void)!::write(fd_, buffer_.get(), used_);
        ::close(fd_);
        fd_ = -1;
    }
    used_ = 0;
}

void SceneWriter::FailWrite(const FileOutcome& outcome)
{
    Abandon();
    throw FailureBecause(FormatMessage(text::kErrorWriting, {path_}), outcome.Reason());
}

void SceneWriter::Flush()
{
    if (used_ == 0) return;
    if (const FileOutcome written = WriteOut(buffer_.get(), used_); !written.ok()) FailWrite(written);
    flushed_ += used_;
    used_ = 0;
}

void SceneWriter::Put(const char* data, std::size_t size)
{
    if (used_ + size > kCapacity) {
        Flush();
        if (size > kCapacity) {
            if (const FileOutcome written = WriteOut(data, size); !written.ok()) FailWrite(written);
            flushed_ += size;
            return;
        }
    }
    std::memcpy(buffer_.get() + used_, data, size);
    used_ += size;
}

void SceneWriter::Put(std::string_view text) { Put(text.data(), text.size()); }

void SceneWriter::Put(char c)
{
    if (used_ == kCapacity) Flush();
    buffer_[used_++] = c;
}

void SceneWriter::Line(std::string_view text)
{
    Put(text.data(), text.size());
    EndLine();
}

void SceneWriter::Lines(std::string_view text)
{
    while (!text.empty()) {
        const void* found = std::memchr(text.data(), '\n', text.size());
        if (!found) {
            Put(text);
            return;
        }
        std::size_t n = static_cast<const char*>(found) - text.data();
        // Stored tables may already carry CR LF; never double the CR.
        const std::size_t body = (n > 0 && text[n - 1] == '\r') ? n - 1 : n;
        Put(text.data(), body);
        EndLine();
        text.remove_prefix(n + 1);
    }
}

void SceneWriter::Fixed6(float value)
{
    if (used_ + kFixed6MaxLength > kCapacity) Flush();
    used_ = static_cast<std::size_t>(FormatFixed6(value, buffer_.get() + used_) - buffer_.get());
}

void SceneWriter::Int(std::int64_t value)
{
    if (used_ + 24 > kCapacity) Flush();
    used_ = static_cast<std::size_t>(FormatInt(value, buffer_.get() + used_) - buffer_.get());
}

void SceneWriter::Id(std::int32_t id)
{
    if (used_ + 16 > kCapacity) Flush();
    used_ = static_cast<std::size_t>(FormatId7(id, buffer_.get() + used_) - buffer_.get());
}

void SceneWriter::ChunkHeader(std::string_view tag, std::string_view version, std::int32_t id, std::int32_t parent)
{
    Put(tag);
    Put(' ');
    Put(version);
    Put(" Id ");
    Id(id);
    Put(" Parent ");
    Id(parent);
    Line(" Size -1");
}

void SceneWriter::NameLine(std::string_view name)
{
    Put("Name ");
    Line(name);
}

void SceneWriter::Axes(std::string_view center, std::string_view x, std::string_view y, std::string_view z)
{
    Put("center ");
    Line(center);
    Put("x axis ");
    Line(x);
    Put("y axis ");
    Line(y);
    Put("z axis ");
    Line(z);
}

void SceneWriter::Axes(const float center[3], const float x[3], const float y[3], const float z[3])
{
    const char* labels[4] = {"center ", "x axis ", "y axis ", "z axis "};
    const float* rows[4] = {center, x, y, z};
    for (int r = 0; r < 4; ++r) {
        Put(labels[r]);
        Fixed6(rows[r][0]);
        Put(' ');
        Fixed6(rows[r][1]);
        Put(' ');
        Fixed6(rows[r][2]);
        EndLine();
    }
}

void SceneWriter::Transform(std::string_view row1, std::string_view row2, std::string_view row3)
{
    Line("Transform");
    Line(row1);
    Line(row2);
    Line(row3);
    Line("0 0 0 1");
}

void SceneWriter::Transform(const float rows[3][4])
{
    Line("Transform");
    for (int r = 0; r < 3; ++r) {
        Fixed6(rows[r][0]);
        Put(' ');
        Fixed6(rows[r][1]);
        Put(' ');
        Fixed6(rows[r][2]);
        Put(' ');
        Fixed6(rows[r][3]);
        EndLine();
    }
    Line("0 0 0 1");
}

std::int32_t SceneWriter::Unit(std::int32_t parent)
{
    const std::int32_t id = NextId();
    ChunkHeader("Unit", "V0.01", id, parent);
    Line("Units 2");
    return id;
}

void SceneWriter::Fixed6Numbers(std::initializer_list<float> values)
{
    bool first = true;
    for (const float value : values) {
        if (!first) Put(' ');
        Fixed6(value);
        first = false;
    }
}

void SceneWriter::FaceLine(int vertexCount, int flags, int material)
{
    Put("Face verts ");
    Int(vertexCount);
    Put(" flags ");
    Int(flags);
    Put(" mat ");
    Int(material);
    EndLine();
}

void SceneWriter::Pair(std::int64_t world, std::int64_t texture)
{
    Put('<');
    Int(world);
    Put(',');
    Int(texture);
    Put('>');
}

void SceneWriter::Patch(std::uint64_t position, std::string_view text)
{
    if (position >= flushed_ && position + text.size() <= flushed_ + used_) {
        std::memcpy(buffer_.get() + (position - flushed_), text.data(), text.size());
        return;
    }
    Flush();
    FileOutcome written;
    if (replacement_) {
        written = replacement_->WriteAt(position, text.data(), text.size());
    } else {
        for (std::size_t done = 0; written.ok() && done < text.size();) {
            const ssize_t n = ::pwrite(fd_, text.data() + done, text.size() - done, static_cast<off_t>(position + done));
            if (n < 0 && errno != EINTR) written = FileOutcome{FileStep::Write, errno};
            if (n > 0) done += static_cast<std::size_t>(n);
        }
    }
    if (!written.ok()) FailWrite(written);
}

}  // namespace kv
