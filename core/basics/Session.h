#pragma once
#include <cstdint>
#include <string>

#include "core/platform/TemporaryFileList.h"
#include "core/basics/Random.h"

namespace kv {

// What lives for the whole run of the program and outlives each creation:
// the object id counter, the pseudo-random generator, the last scene
// directory and file name chosen (offered again by the next creation) and the
// list of temporary files open at the moment (removed by a signal that ends
// the process). A front end owns exactly one Session.
class Session {
public:
    // Takes a new object id: increments the counter and returns the new value.
    // The counter starts at 1, so the first id handed out is 2.
    std::int32_t NextId()
    {
        lastId_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(lastId_) + 1u);
        return lastId_;
    }
    std::int32_t LastId() const { return lastId_; }
    void SetLastId(std::int32_t id) { lastId_ = id; }

    Random& random() { return random_; }
    TemporaryFileList& temporaryFiles() { return temporaryFiles_; }

    std::string sceneDirectory;  // empty until set (then the program directory or the last choice)
    std::string sceneFileName;   // lower case, ending in ".scn"; empty at start

private:
    std::int32_t lastId_ = 1;
    Random random_;
    TemporaryFileList temporaryFiles_;
};

}  // namespace kv
