#include "core/platform/SystemReason.h"

#include <system_error>

namespace kv {

std::string SystemReason(int error)
{
    if (error == 0) return {};
    if (error == kNotARegularFile) return "Not a regular file";
    return std::error_code(error, std::generic_category()).message();
}

}  // namespace kv
