#pragma once
#include <stdexcept>

namespace kv::gltf {

// A glTF document that cannot be built or written as asked: a reference to an
// object that does not exist, data that does not fit its buffer view, a
// streamed view whose producer wrote other than its declared length, an asset
// beyond the 4 GiB a binary glTF file can hold. The message says which.
class GltfError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace kv::gltf
