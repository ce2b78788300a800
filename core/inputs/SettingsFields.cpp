#include "core/inputs/SettingsFields.h"

#include "core/inputs/SliderTracks.h"

#include <charconv>
#include <limits>

namespace kv {

namespace {

using PS = ProjectSettings;

SettingsField TextField(const char* key, std::string PS::*member)
{
    SettingsField f;
    f.key = key;
    f.kind = FieldKind::Text;
    f.text = member;
    return f;
}

SettingsField IndexField(const char* key, std::int32_t PS::*member, std::int32_t last)
{
    SettingsField f;
    f.key = key;
    f.kind = FieldKind::Index;
    f.number = member;
    f.low = 0;
    f.high = last;
    return f;
}

SettingsField MarkerField(const char* key, FieldKind kind, std::int32_t PS::*member, std::int32_t low,
                          std::int32_t high, std::int32_t PS::*partner = nullptr)
{
    SettingsField f;
    f.key = key;
    f.kind = kind;
    f.number = member;
    f.low = low;
    f.high = high;
    f.partner = partner;
    return f;
}

std::vector<SettingsField> BuildFields()
{
    std::vector<SettingsField> fields;
    fields.push_back(TextField("basebmp", &PS::basebmp));
    fields.push_back(TextField("basedir", &PS::basedir));
    fields.push_back(TextField("treebmp", &PS::treebmp));
    fields.push_back(TextField("treedir", &PS::treedir));

    fields.push_back(IndexField("baseindex", &PS::baseindex, 3));
    fields.push_back(IndexField("cover1index", &PS::cover1index, 7));
    fields.push_back(IndexField("cover2index", &PS::cover2index, 7));
    fields.push_back(IndexField("atmosphereindex", &PS::atmosphereindex, 3));
    fields.push_back(IndexField("oceanindex", &PS::oceanindex, 4));
    fields.push_back(IndexField("resolution", &PS::resolution, 2));

    // Marker positions along the window's slider tracks.
    const auto Min = FieldKind::MarkerMin;
    const auto Max = FieldKind::MarkerMax;
    const auto One = FieldKind::Marker;
    constexpr std::int32_t c1 = kCover1TrackStart, c1Range = RangeMarkerEnd(c1), c1One = SingleMarkerEnd(c1);
    constexpr std::int32_t c2 = kCover2TrackStart, c2Range = RangeMarkerEnd(c2), c2One = SingleMarkerEnd(c2);
    constexpr std::int32_t size = kSizeTrackStart, sizeOne = SingleMarkerEnd(size);
    fields.push_back(MarkerField("cover1altitudemin", Min, &PS::cover1altitudemin, c1, c1Range, &PS::cover1altitudemax));
    fields.push_back(MarkerField("cover1altitudemax", Max, &PS::cover1altitudemax, c1, c1Range, &PS::cover1altitudemin));
    fields.push_back(MarkerField("cover1slopemin", Min, &PS::cover1slopemin, c1, c1Range, &PS::cover1slopemax));
    fields.push_back(MarkerField("cover1slopemax", Max, &PS::cover1slopemax, c1, c1Range, &PS::cover1slopemin));
    fields.push_back(MarkerField("cover1density", One, &PS::cover1density, c1, c1One));
    fields.push_back(MarkerField("cover2altitudemin", Min, &PS::cover2altitudemin, c2, c2Range, &PS::cover2altitudemax));
    fields.push_back(MarkerField("cover2altitudemax", Max, &PS::cover2altitudemax, c2, c2Range, &PS::cover2altitudemin));
    fields.push_back(MarkerField("cover2slopemin", Min, &PS::cover2slopemin, c2, c2Range, &PS::cover2slopemax));
    fields.push_back(MarkerField("cover2slopemax", Max, &PS::cover2slopemax, c2, c2Range, &PS::cover2slopemin));
    fields.push_back(MarkerField("cover2density", One, &PS::cover2density, c2, c2One));
    fields.push_back(MarkerField("treessize", One, &PS::treessize, size, sizeOne));
    fields.push_back(MarkerField("rockssize", One, &PS::rockssize, size, sizeOne));

    const std::pair<const char*, RgbColor PS::*> colours[] = {
        {"basecolor1", &PS::basecolor1},     {"basecolor2", &PS::basecolor2},     {"basecolor3", &PS::basecolor3},
        {"cover1color1", &PS::cover1color1}, {"cover1color2", &PS::cover1color2}, {"cover1color3", &PS::cover1color3},
        {"cover2color1", &PS::cover2color1}, {"cover2color2", &PS::cover2color2}, {"cover2color3", &PS::cover2color3},
        {"sky", &PS::sky},                   {"cloud", &PS::cloud},               {"fog", &PS::fog},
        {"ocean", &PS::ocean}};
    const std::pair<char, std::uint8_t RgbColor::*> components[] = {
        {'R', &RgbColor::r}, {'G', &RgbColor::g}, {'B', &RgbColor::b}};
    for (const auto& [name, member] : colours) {
        for (const auto& [letter, component] : components) {
            SettingsField f;
            f.key = std::string(name) + letter;
            f.kind = FieldKind::Colour;
            f.colour = member;
            f.component = component;
            fields.push_back(f);
        }
    }

    // After line 62: the overrides for elevation data.
    SettingsField edge;
    edge.key = "demedge";
    edge.kind = FieldKind::Automatic;
    edge.number = &PS::demedge;
    edge.low = 2;  // the smallest heightfield
    edge.high = kMaxElevationEdge;
    fields.push_back(edge);
    SettingsField range;
    range.key = "demrange";
    range.kind = FieldKind::Automatic;
    range.number = &PS::demrange;
    range.low = 1;
    range.high = kMaxElevationRange;
    fields.push_back(range);
    return fields;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::size_t SkipBlanks(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    return i;
}

}  // namespace

const std::vector<SettingsField>& SettingsFields()
{
    static const std::vector<SettingsField> fields = BuildFields();
    return fields;
}

const SettingsField* FindSettingsField(std::string_view key)
{
    for (const SettingsField& f : SettingsFields())
        if (f.key == key) return &f;
    return nullptr;
}

std::int32_t ConvertSettingsInteger(std::string_view text)
{
    std::size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate the magnitude, held just above the 32-bit range so that long
    // digit runs cannot overflow.
    constexpr std::int64_t kCap = static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > kCap) magnitude = kCap;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

double ConvertSettingsDecimal(std::string_view text)
{
    std::size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // A second sign is not a number; from_chars would take a '-' itself.
    if (i >= text.size() || text[i] == '+' || text[i] == '-') return 0.0;
    double value = 0.0;
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::invalid_argument) return 0.0;
    // Out of range: from_chars leaves `value` unchanged; the magnitude is not
    // 2.0 either way, so any non-2 value serves.
    if (result.ec == std::errc::result_out_of_range) return 0.0;
    return negative ? -value : value;
}

bool IsAcceptedVersion(std::string_view text) { return ConvertSettingsDecimal(text) == 2.0; }

std::optional<std::string> CheckSettingsText(std::string_view text)
{
    if (text.size() > kMaxSettingsText)
        return "the text is longer than " + std::to_string(kMaxSettingsText) + " characters";
    if (text.find('\0') != std::string_view::npos) return std::string("the text contains a NUL character");
    if (text.find('\n') != std::string_view::npos) return std::string("the text contains a line break");
    return std::nullopt;
}

std::optional<std::string> CheckSettingsNumber(const SettingsField& field, std::int32_t value,
                                               std::optional<std::int32_t> partner)
{
    std::int64_t low = field.low;
    std::int64_t high = field.high;
    switch (field.kind) {
    case FieldKind::Text:
    case FieldKind::Colour:
        return std::nullopt;
    case FieldKind::Index:
        if (value < low || value > high)
            return std::to_string(value) + " is not in the list " + std::to_string(low) + " to " + std::to_string(high);
        return std::nullopt;
    case FieldKind::Automatic:
        if (value != 0 && (value < low || value > high))
            return std::to_string(value) + " is neither 0 (automatic) nor within " + std::to_string(low) + " to " +
                   std::to_string(high);
        return std::nullopt;
    case FieldKind::Marker:
        break;
    case FieldKind::MarkerMin:
        high = (partner && *partner < field.high ? *partner : field.high) - static_cast<std::int64_t>(kMarkerWidth);
        break;
    case FieldKind::MarkerMax:
        low = (partner && *partner > field.low ? *partner : field.low) + static_cast<std::int64_t>(kMarkerWidth);
        break;
    }
    if (value < low || value > high)
        return "the marker position " + std::to_string(value) + " is outside its travel " + std::to_string(low) +
               " to " + std::to_string(high);
    return std::nullopt;
}

void StoreSettingsValue(ProjectSettings& settings, const SettingsField& field, std::string_view value)
{
    switch (field.kind) {
    case FieldKind::Text:
        settings.*field.text = std::string(value);
        break;
    case FieldKind::Colour:
        // Only the low 8 bits are kept: 300 becomes 44, -1 becomes 255.
        (settings.*field.colour).*field.component =
            static_cast<std::uint8_t>(static_cast<std::uint32_t>(ConvertSettingsInteger(value)) & 0xFFu);
        break;
    default:
        settings.*field.number = ConvertSettingsInteger(value);
        break;
    }
}

std::string SettingsValueText(const ProjectSettings& settings, const SettingsField& field)
{
    switch (field.kind) {
    case FieldKind::Text: return settings.*field.text;
    case FieldKind::Colour: return std::to_string(static_cast<unsigned>((settings.*field.colour).*field.component));
    default: return std::to_string(settings.*field.number);
    }
}

}  // namespace kv
