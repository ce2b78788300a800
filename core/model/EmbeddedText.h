#pragma once
#include <string_view>

namespace kv {

// The text of a resource compiled into the program (a model mesh table from
// objects/meshes, by its base name such as "evergreen_trunk"); empty if unknown.
std::string_view EmbeddedText(std::string_view name);

}  // namespace kv
