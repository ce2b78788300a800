#include "scene/SceneWriter.h"

#include <cstring>

#include "scene/Messages.h"

namespace kv {

namespace {

// Positions beyond 2 GB must work on every platform (a large terrain's scene).
int SeekTo(std::FILE* file, std::uint64_t position, int origin)
{
#ifdef _WIN32
    return _fseeki64(file, static_cast<__int64>(position), origin);
#else
    return fseeko(file, static_cast<off_t>(position), origin);
#endif
}

}  // namespace

SceneWriter::SceneWriter(Session& session) : session_(session), buffer_(new char[kCapacity]) {}

SceneWriter::~SceneWriter() { Abandon(); }

bool SceneWriter::Open(const std::string& path)
{
    Abandon();
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) return false;
    path_ = path;
    used_ = 0;
    flushed_ = 0;
    Line("Caligari V00.01ALH             ");
    return true;
}

void SceneWriter::Close()
{
    if (!file_) return;
    Put("END V1.00 Id 0 Parent 0 Size 0");
    Flush();
    const bool ok = std::fflush(file_) == 0 && !std::ferror(file_);
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!ok || !closed) throw Failure(FormatMessage("Error writing %s.", {path_}));
}

void SceneWriter::Abandon()
{
    if (!file_) return;
    if (used_ > 0) std::fwrite(buffer_.get(), 1, used_, file_);
    used_ = 0;
    std::fclose(file_);
    file_ = nullptr;
}

void SceneWriter::FailWrite()
{
    used_ = 0;
    std::fclose(file_);
    file_ = nullptr;
    throw Failure(FormatMessage("Error writing %s.", {path_}));
}

void SceneWriter::Flush()
{
    if (used_ == 0) return;
    if (std::fwrite(buffer_.get(), 1, used_, file_) != used_) FailWrite();
    flushed_ += used_;
    used_ = 0;
}

void SceneWriter::Put(const char* data, std::size_t size)
{
    if (used_ + size > kCapacity) {
        Flush();
        if (size > kCapacity) {
            if (std::fwrite(data, 1, size, file_) != size) FailWrite();
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

void SceneWriter::Mat1(std::int32_t id, std::int32_t parent, const Material& m)
{
    ChunkHeader("Mat1", "V0.05", id, parent);
    Put("mat# ");
    Int(m.number);
    EndLine();
    Line(m.shader);
    Line(m.rgb);
    Line(m.surface);
    if (!m.texturePath.empty()) {
        Put("texture: ");
        Put(m.texturePath);
        if (m.blankAfterFileName) Put(' ');
        EndLine();
        Line(m.textureMapping);
    }
    if (!m.bumpPath.empty()) {
        Put("bump: ");
        Put(m.bumpPath);
        if (m.blankAfterFileName) Put(' ');
        EndLine();
        Line(m.bumpMapping);
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
    if (SeekTo(file_, position, SEEK_SET) != 0) FailWrite();
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) FailWrite();
    if (SeekTo(file_, 0, SEEK_END) != 0) FailWrite();
}

}  // namespace kv
