// Binary glTF layout, streamed buffer views and the file written whole.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <stdexcept>

#include "TestSupport.h"
#include "core/writers/gltf/GlbWriter.h"
#include "core/writers/gltf/GltfError.h"
#include "gltf/GlbChunks.h"

namespace kv::test {
namespace {

using namespace kv::gltf;
using Json = nlohmann::json;

std::vector<std::uint8_t> Pattern(std::size_t size, unsigned seed)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 131 + seed * 17 + 1) % 251);
    return bytes;
}

// A producer that writes `bytes` in pieces of `piece` bytes.
GltfDocument::Producer WriteInPieces(std::shared_ptr<const std::vector<std::uint8_t>> bytes, std::size_t piece)
{
    return [bytes, piece](ByteSink& sink) {
        for (std::size_t at = 0; at < bytes->size(); at += piece)
            sink.Write(bytes->data() + at, std::min(piece, bytes->size() - at));
    };
}

std::vector<std::uint8_t> FileBytes(const std::string& path)
{
    const std::string text = ReadFile(path);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

TEST(GlbLayout, HeaderChunksPaddingAndViewAlignment)
{
    // Every remainder of the JSON length and of each view's length modulo 4.
    for (int nameLength = 0; nameLength < 4; ++nameLength) {
        SCOPED_TRACE("name length " + std::to_string(nameLength));
        GltfDocument document("test");
        std::vector<std::vector<std::uint8_t>> contents;
        for (unsigned length : {5u, 3u, 8u, 1u, 6u, 7u}) contents.push_back(Pattern(length, length));
        for (std::size_t i = 0; i < contents.size(); ++i) {
            if (i % 2)
                document.AddStreamedBufferView(
                    contents[i].size(), WriteInPieces(std::make_shared<std::vector<std::uint8_t>>(contents[i]), 2));
            else
                document.AddBufferView(contents[i]);
        }
        document.AddNode(Node{.name = std::string(static_cast<std::size_t>(nameLength), 'n')});

        const std::vector<std::uint8_t> file = GlbBytes(document);
        const GlbChunks glb = SplitGlb(file);
        EXPECT_EQ(glb.magic, 0x46546C67u);  // "glTF" read as little-endian
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data()), 4), "glTF");
        EXPECT_EQ(glb.version, 2u);
        EXPECT_EQ(glb.declaredLength, file.size());
        EXPECT_EQ(file.size() % 4, 0u);
        EXPECT_EQ(glb.trailing, 0u);

        EXPECT_EQ(glb.jsonType, 0x4E4F534Au);
        EXPECT_EQ(glb.jsonLength % 4, 0u);
        const std::size_t end = glb.json.find_last_of('}');
        ASSERT_NE(end, std::string::npos);
        EXPECT_LT(glb.json.size() - end - 1, 4u);
        EXPECT_EQ(glb.json.substr(end + 1), std::string(glb.json.size() - end - 1, ' '));
        const Json json = Json::parse(glb.json);
        EXPECT_EQ(json["nodes"][0].value("name", ""), std::string(static_cast<std::size_t>(nameLength), 'n'));

        ASSERT_TRUE(glb.hasBin);
        EXPECT_EQ(glb.binType, 0x004E4942u);
        EXPECT_EQ(glb.binStart % 4, 0u);
        EXPECT_EQ(glb.binLength % 4, 0u);
        const std::uint64_t bufferLength = json["buffers"][0]["byteLength"];
        EXPECT_LE(bufferLength, glb.binLength);
        EXPECT_LT(glb.binLength - bufferLength, 4u);
        EXPECT_FALSE(json["buffers"][0].contains("uri"));

        // Each view at a 4-byte boundary holding its bytes; zeros between
        // views and after the last.
        std::vector<bool> covered(glb.bin.size(), false);
        ASSERT_EQ(json["bufferViews"].size(), contents.size());
        for (std::size_t i = 0; i < contents.size(); ++i) {
            const Json& view = json["bufferViews"][i];
            const std::size_t offset = view.value("byteOffset", 0u);
            EXPECT_EQ(offset % 4, 0u) << "view " << i;
            ASSERT_EQ(view["byteLength"], contents[i].size());
            ASSERT_LE(offset + contents[i].size(), glb.bin.size());
            EXPECT_TRUE(std::equal(contents[i].begin(), contents[i].end(), glb.bin.begin() + offset)) << "view " << i;
            for (std::size_t b = 0; b < contents[i].size(); ++b) covered[offset + b] = true;
        }
        for (std::size_t b = 0; b < glb.bin.size(); ++b) {
            if (!covered[b]) {
                EXPECT_EQ(glb.bin[b], 0) << "padding byte " << b;
            }
        }
    }
}

TEST(GlbLayout, DocumentWithoutDataHasNoBinaryChunk)
{
    GltfDocument document;
    document.AddScene({.name = "empty", .nodes = {document.AddNode(Node{.name = "alone"})}});
    const std::vector<std::uint8_t> file = GlbBytes(document);
    const GlbChunks glb = SplitGlb(file);
    EXPECT_FALSE(glb.hasBin);
    EXPECT_EQ(glb.declaredLength, file.size());
    const Json json = Json::parse(glb.json);
    EXPECT_FALSE(json.contains("buffers"));
    EXPECT_FALSE(json.contains("bufferViews"));
    EXPECT_EQ(json["asset"]["version"], "2.0");
    EXPECT_EQ(json["asset"]["generator"], std::string("Kelvane ") + KV_VERSION_STRING);
    EXPECT_EQ(json["scene"], 0);
}

TEST(StreamedViews, ProducerOfTheWrongLengthIsRefused)
{
    auto documentWith = [](std::uint64_t declared, std::size_t written, std::size_t* bytesTaken) {
        auto document = std::make_unique<GltfDocument>();
        document->AddBufferView(Pattern(10, 1));
        document->AddStreamedBufferView(
            declared,
            [written, bytesTaken](ByteSink& sink) {
                for (std::size_t i = 0; i < written; ++i) {
                    const std::uint8_t byte = 7;
                    sink.Write(&byte, 1);
                    ++*bytesTaken;
                }
            },
            ViewTarget::None, std::nullopt, "heights");
        return document;
    };
    std::size_t taken = 0;
    auto shortView = documentWith(100, 99, &taken);
    try {
        GlbBytes(*shortView);
        ADD_FAILURE() << "a producer that writes too little was accepted";
    } catch (const GltfError& error) {
        EXPECT_NE(std::string(error.what()).find("buffer view 1 (heights)"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("99 bytes of the 100"), std::string::npos) << error.what();
    }

    // Writing too much is stopped at the first byte past the view.
    taken = 0;
    auto longView = documentWith(100, 100000, &taken);
    EXPECT_THROW(GlbBytes(*longView), GltfError);
    EXPECT_EQ(taken, 100u);

    // Exactly the declared length passes, however it is cut up.
    taken = 0;
    auto exact = documentWith(100, 100, &taken);
    EXPECT_NO_THROW(GlbBytes(*exact));
}

TEST(StreamedViews, FileEqualsMemoryAcrossManyBlocks)
{
    // Views larger than the file sink's block, written in odd pieces, with a
    // held view between them.
    GltfDocument document;
    auto big = std::make_shared<const std::vector<std::uint8_t>>(Pattern(9'000'001, 3));
    document.AddStreamedBufferView(big->size(), WriteInPieces(big, 4093));
    document.AddBufferView(Pattern(13, 4));
    document.AddStreamedBufferView(big->size(), WriteInPieces(big, 5'000'000));
    const std::vector<std::uint8_t> memory = GlbBytes(document);

    ScratchDir dir;
    const std::string path = dir.File("big.glb");
    const FileOutcome outcome = WriteGlbFile(document, path, nullptr);
    ASSERT_TRUE(outcome.ok()) << outcome.Reason();
    EXPECT_TRUE(FileBytes(path) == memory);
    EXPECT_TRUE(TemporaryFilesIn(dir.path()).empty());

    const GlbChunks glb = SplitGlb(memory);
    const Json json = Json::parse(glb.json);
    const std::size_t second = json["bufferViews"][2]["byteOffset"];
    EXPECT_TRUE(std::equal(big->begin(), big->end(), glb.bin.begin() + static_cast<std::ptrdiff_t>(second)));
}

TEST(StreamedViews, FailureLeavesNoFileAndKeepsTheOldOne)
{
    ScratchDir dir;
    const std::string path = dir.File("scene.glb");
    WriteFile(path, std::string("old"));

    GltfDocument stopped;
    stopped.AddStreamedBufferView(8'000'000, [](ByteSink& sink) {
        sink.WriteZeros(6'000'000);  // more than one block reaches the file
        throw std::runtime_error("stop requested");
    });
    EXPECT_THROW(WriteGlbFile(stopped, path, nullptr), std::runtime_error);
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_TRUE(TemporaryFilesIn(dir.path()).empty());

    GltfDocument tooShort;
    tooShort.AddStreamedBufferView(16, [](ByteSink& sink) { sink.WriteZeros(15); });
    EXPECT_THROW(WriteGlbFile(tooShort, path, nullptr), GltfError);
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_TRUE(TemporaryFilesIn(dir.path()).empty());

    const FileOutcome missing = WriteGlbFile(tooShort, dir.File("no/such/dir/scene.glb"), nullptr);
    EXPECT_EQ(missing.failed, FileStep::Open);
}

}  // namespace
}  // namespace kv::test
