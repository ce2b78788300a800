#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <initializer_list>
#include <memory>

#include "core/platform/ReplacementFile.h"
#include "core/writers/scn/NumberFormat.h"
#include "core/basics/Session.h"

namespace kv {

// The open scene output stream. Every line ends with CR LF on every platform:
// the writer puts the bytes in itself. Output is buffered and written straight
// to the file; a failed write (a full disk) ends the creation with "Error
// writing %s." for the file. Ids come from the Session's process-wide counter.
class SceneWriter {
public:
    explicit SceneWriter(Session& session);
    ~SceneWriter();
    SceneWriter(const SceneWriter&) = delete;
    SceneWriter& operator=(const SceneWriter&) = delete;

    // Writes the scene whole: into a temporary file beside `target` (listed in
    // `cleanup`), which PutInPlace renames over the target after Close. The
    // header line is written.
    FileOutcome OpenReplacing(const std::string& target, TemporaryFileList* cleanup);
    // Creates (truncates) `path` and writes into it directly, with the header
    // line (tests and benchmarks). False when the file cannot be created.
    bool Open(const std::string& path);
    bool IsOpen() const { return fd_ >= 0 || replacement_ != nullptr; }
    const std::string& Path() const { return path_; }

    // Writes the END line (no line end after it), flushes and closes.
    // Throws JobFailure on a write error.
    void Close();
    // Renames the closed scene of OpenReplacing over its target.
    FileOutcome PutInPlace();
    // Closes the stream where it stands (a stopped or failed creation); no END
    // line, no exception. The temporary file of OpenReplacing is removed.
    void Abandon();

    Session& session() { return session_; }
    std::int32_t NextId() { return session_.NextId(); }

    // ---- raw output
    void Put(std::string_view text);
    void Put(char c);
    void EndLine() { Put("\r\n", 2); }
    void Line(std::string_view text);  // text + CR LF
    // Writes text whose lines end in LF (a stored mesh table) with CR LF ends.
    void Lines(std::string_view textWithLf);
    void Fixed6(float value);
    void Int(std::int64_t value);
    void Id(std::int32_t id);

    // ---- line blocks shared by the object writers
    // "Tag Version Id %07d Parent %07d Size -1"; ROpt and Vews use WriteRaw lines.
    void ChunkHeader(std::string_view tag, std::string_view version, std::int32_t id, std::int32_t parent);
    void NameLine(std::string_view name);  // "Name %s"
    // Axes block with fixed text numbers, e.g. ("0 0 0", "1 0 0", "0 1 0", "0 0 1").
    void Axes(std::string_view center, std::string_view x, std::string_view y, std::string_view z);
    // Axes block with computed numbers, each "%.6f".
    void Axes(const float center[3], const float x[3], const float y[3], const float z[3]);
    // A line of numbers each "%.6f" of a float, separated by blanks (no line end).
    void Fixed6Numbers(std::initializer_list<float> values);
    // Transform block with fixed text rows (the last row "0 0 0 1" is added).
    void Transform(std::string_view row1, std::string_view row2, std::string_view row3);
    // Transform block with computed rows, each number "%.6f".
    void Transform(const float rows[3][4]);
    // Unit chunk with a new id: "Unit V0.01 Id %07d Parent %07d Size -1", "Units 2".
    std::int32_t Unit(std::int32_t parent);
    // "Face verts %d flags %d mat %d"
    void FaceLine(int vertexCount, int flags, int material);
    // " <w,t>" style pair: "<%d,%d>"
    void Pair(std::int64_t world, std::int64_t texture);

    // ---- tell and patch
    std::uint64_t Tell() const { return flushed_ + used_; }
    // Overwrites bytes at an earlier position with `text`; the position then
    // returns to the end of the file.
    void Patch(std::uint64_t position, std::string_view text);

    // The header, Scen, ROpt and Vews chunks; returns the scene id.
    std::int32_t WriteSceneHeaderChunks();

private:
    void Put(const char* data, std::size_t size);
    void Flush();
    FileOutcome WriteOut(const char* data, std::size_t size);
    [[noreturn]] void FailWrite(const FileOutcome& outcome);
    void Start(const std::string& path);

    Session& session_;
    int fd_ = -1;                                    // Open: the file itself
    std::unique_ptr<ReplacementFile> replacement_;  // OpenReplacing
    std::string path_;
    static constexpr std::size_t kCapacity = std::size_t{1} << 20;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    std::uint64_t flushed_ = 0;
};

}  // namespace kv
