#pragma once
// Reads a scene with an independent reader (the `assimp` command of Debian's
// assimp-utils) to check that what we write is a well-formed scene.
#include <optional>
#include <string>

namespace kv::test {

struct ReaderSummary {
    bool loaded = false;
    long meshes = 0;
    long nodes = 0;
    long vertices = 0;
    long faces = 0;
    long materials = 0;
    std::string output;  // everything the reader printed
};

// True when the reader is installed.
bool IndependentReaderAvailable();

// Reads `scenePath` through a temporary copy adapted to the reader's known
// limitations (see the .cpp). nullopt when the reader is not installed.
std::optional<ReaderSummary> ReadWithIndependentReader(const std::string& scenePath);

// The adapted text itself (for the tests of the adaptation).
std::string AdaptForIndependentReader(const std::string& sceneText);

}  // namespace kv::test
