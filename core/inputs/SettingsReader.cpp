#include "core/inputs/SettingsReader.h"

#include <optional>
#include <vector>

#include "core/inputs/SettingsFields.h"

namespace kv {

SettingsLineReader::Status SettingsLineReader::Next(std::string_view& value, std::string_view* key)
{
    if (pos_ >= text_.size()) return Status::End;
    const std::size_t feed = text_.find('\n', pos_);
    std::string_view line;
    if (feed == std::string_view::npos) {
        line = text_.substr(pos_);
        pos_ = text_.size();
    } else {
        line = text_.substr(pos_, feed - pos_);
        pos_ = feed + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    }
    if (line.size() > kMaxSettingsLine) return Status::TooLong;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return Status::NoEquals;
    value = line.substr(equals + 1);
    if (key) *key = line.substr(0, equals);
    return Status::Value;
}

namespace {

SettingsParse Refuse(int line, const std::string& key, std::string reason)
{
    SettingsParse result;
    result.status = SettingsParse::Status::Malformed;
    result.line = line;
    result.key = key;
    result.reason = std::move(reason);
    return result;
}

// Reads one line; on failure returns the refusal for it.
std::optional<SettingsParse> ReadLine(SettingsLineReader& reader, int line, const std::string& key,
                                      std::string_view& value)
{
    switch (reader.Next(value)) {
    case SettingsLineReader::Status::Value: return std::nullopt;
    case SettingsLineReader::Status::End: return Refuse(line, key, "the file ends before this line");
    case SettingsLineReader::Status::TooLong:
        return Refuse(line, key, "the line is longer than " + std::to_string(kMaxSettingsLine) + " characters");
    case SettingsLineReader::Status::NoEquals: return Refuse(line, key, "the line has no \"=\"");
    }
    return Refuse(line, key, "the line cannot be read");
}

}  // namespace

SettingsParse ParseSettingsText(std::string_view text)
{
    SettingsLineReader reader(text);
    std::string_view value;
    if (auto refused = ReadLine(reader, 1, kVersionKey, value)) return *refused;
    if (!IsAcceptedVersion(value)) {
        SettingsParse result;
        result.status = SettingsParse::Status::BadVersion;
        result.line = 1;
        result.key = kVersionKey;
        return result;
    }

    SettingsParse result;
    int line = 1;
    // Checks the value text of `field` on `line` and stores it; the refusal
    // when it fails.
    auto take = [&result](const SettingsField& field, int at, std::string_view text) -> std::optional<SettingsParse> {
        if (field.kind == FieldKind::Text) {
            if (auto why = CheckSettingsText(text)) return Refuse(at, field.key, *why);
        }
        StoreSettingsValue(result.values, field, text);
        if (field.number) {
            // The left marker of a pair comes first in the file: it is checked
            // against the whole track, the right one against the left one read.
            std::optional<std::int32_t> partner;
            if (field.kind == FieldKind::MarkerMax) partner = result.values.*field.partner;
            if (auto why = CheckSettingsNumber(field, result.values.*field.number, partner))
                return Refuse(at, field.key, *why);
        }
        return std::nullopt;
    };

    const std::vector<SettingsField>& fields = SettingsFields();
    for (std::size_t i = 0; i < kPositionalFieldCount; ++i) {
        const SettingsField& field = fields[i];
        ++line;
        if (auto refused = ReadLine(reader, line, field.key, value)) return *refused;
        if (auto refused = take(field, line, value)) return *refused;
    }

    // After the positional lines: fields by key; everything else passed over.
    for (;;) {
        std::string_view key;
        const SettingsLineReader::Status status = reader.Next(value, &key);
        if (status == SettingsLineReader::Status::End) break;
        ++line;
        if (status != SettingsLineReader::Status::Value) continue;
        for (std::size_t i = kPositionalFieldCount; i < fields.size(); ++i) {
            if (fields[i].key != key) continue;
            if (auto refused = take(fields[i], line, value)) return *refused;
            break;
        }
    }
    result.status = SettingsParse::Status::Ok;
    return result;
}

}  // namespace kv
