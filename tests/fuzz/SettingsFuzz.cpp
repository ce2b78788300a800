// Feeds arbitrary text to the settings file reader. A text that is accepted
// must give a record that the writer stores and the reader loads back
// unchanged (files written by Save always load).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/inputs/SettingsFields.h"
#include "core/inputs/SettingsFile.h"
#include "core/inputs/SettingsReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const kv::SettingsParse parse = kv::ParseSettingsText(text);
    switch (parse.status) {
    case kv::SettingsParse::Status::Malformed: {
        // A line past the 62 is refused only for a field read by its key.
        const kv::SettingsField* field = kv::FindSettingsField(parse.key);
        const bool keyed = field && field - kv::SettingsFields().data() >=
                                        static_cast<std::ptrdiff_t>(kv::kPositionalFieldCount);
        if (parse.line < 1 || (parse.line > kv::kSettingsLineCount && !keyed) || parse.key.empty() ||
            parse.reason.empty())
            std::abort();
        return 0;
    }
    case kv::SettingsParse::Status::BadVersion:
        if (parse.line != 1) std::abort();
        return 0;
    case kv::SettingsParse::Status::Ok:
        break;
    }
    if (kv::CheckSettingsRecord(parse.values)) std::abort();
    const std::string written = kv::FormatSettingsFile(parse.values);
    const kv::SettingsParse again = kv::ParseSettingsText(written);
    if (again.status != kv::SettingsParse::Status::Ok || !(again.values == parse.values)) std::abort();
    return 0;
}
