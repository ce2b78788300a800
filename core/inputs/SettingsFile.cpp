#include "core/inputs/SettingsFile.h"

#include "core/basics/MessageTexts.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include <unistd.h>

#include "core/platform/Paths.h"
#include "core/platform/RegularFile.h"
#include "core/platform/ReplacementFile.h"
#include "core/platform/SystemReason.h"
#include "core/inputs/SettingsFields.h"

namespace kv {

namespace fs = std::filesystem;

namespace {

// A settings file this version writes has 64 lines of at most 998 characters
// plus CR LF. Reading this much is enough to load any file that can load, and
// to see that any longer file has a line that is too long or ends too late;
// lines a later version may add after them are passed over anyway.
constexpr std::size_t kSettingsReadLimit = 64 * 1024;

Message ErrorMessage(std::string text, std::string detail = {})
{
    return Message{std::move(text), kErrorTitle, MessageIcon::Error, Modality::Modal, std::move(detail)};
}

void Show(const SettingsLoadHooks& hooks, const Message& message)
{
    if (hooks.show) hooks.show(message);
}

// The probe of a bitmap named in a settings file: only whether it opens as a
// regular file (without waiting on a FIFO or a device).
bool FileOpens(const std::string& path)
{
    int error = 0;
    const int fd = OpenRegularFile(path, error);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

// Reads at most kSettingsReadLimit bytes; nullopt when the file cannot be
// opened or read (`error` then tells why).
std::optional<std::string> ReadSettingsBytes(const std::string& path, int& error)
{
    std::FILE* file = OpenRegularFileStream(path, error);
    if (!file) return std::nullopt;
    std::string bytes(kSettingsReadLimit, '\0');
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    const bool failed = std::ferror(file) != 0;
    if (failed) error = errno;
    std::fclose(file);
    if (failed) return std::nullopt;
    bytes.resize(got);
    return bytes;
}

void ProbeBitmap(ProjectSettings& record, std::string ProjectSettings::*name, std::string ProjectSettings::*dir,
                 BitmapRole role, const std::string& settingsDirectory, const std::string& settingsFileName,
                 const std::string& programDirectory, const SettingsLoadHooks& hooks)
{
    // A directory written relative to the settings file (the sample settings
    // files in the program directory say ".") is taken from the file's own
    // directory, so a settings file can travel together with its bitmaps.
    if (!(record.*dir).empty() && fs::path(record.*dir).is_relative())
        record.*dir = NormaliseDirectory(JoinPath(settingsDirectory, record.*dir));
    if (FileOpens(JoinPath(record.*dir, record.*name))) return;
    const std::string sep(1, PathSeparator());
    // The placement bitmap gets the same text as the heightfield.
    Show(hooks, ErrorMessage(FormatMessage(text::kMissingBitmap, {JoinPath(record.*dir, record.*name),
                                                                  JoinPath(settingsDirectory, settingsFileName)})));
    record.*name = "";
    record.*dir = programDirectory;
    if (hooks.offerReplacement) {
        if (std::optional<BitmapChoice> choice = hooks.offerReplacement(role, programDirectory)) {
            record.*name = choice->fileName;
            record.*dir = choice->directory;
        }
    }
}

}  // namespace

const std::vector<std::string>& SettingsKeys()
{
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> k;
        for (const SettingsField& f : SettingsFields()) k.push_back(f.key);
        return k;
    }();
    return keys;
}

std::string FormatSettingsFile(const ProjectSettings& settings)
{
    std::string out;
    out.reserve(2048);
    out += kVersionKey;
    out += "=2.0\r\n";
    for (const SettingsField& f : SettingsFields()) {
        out += f.key;
        out += '=';
        out += SettingsValueText(settings, f);
        out += "\r\n";
    }
    return out;
}

std::string SettingsFileNameFor(const std::string& name)
{
    if (name.size() > 3 && name.compare(name.size() - 3, 3, ".kv") == 0) return name;
    return name + ".kv";
}

std::optional<std::string> CheckSettingsRecord(const ProjectSettings& settings)
{
    for (const SettingsField& f : SettingsFields()) {
        std::optional<std::string> why;
        if (f.kind == FieldKind::Text) {
            why = CheckSettingsText(settings.*f.text);
        } else if (f.number) {
            // Checked as Load checks the file: a left marker against its
            // track, a right marker against its left one.
            std::optional<std::int32_t> partner;
            if (f.kind == FieldKind::MarkerMax) partner = settings.*f.partner;
            why = CheckSettingsNumber(f, settings.*f.number, partner);
        }
        if (why) return f.key + ": " + *why;
    }
    return std::nullopt;
}

std::optional<Message> SaveSettingsFile(const std::string& path, const ProjectSettings& settings)
{
    if (std::optional<std::string> why = CheckSettingsRecord(settings))
        return ErrorMessage(FormatMessage(text::kCannotSave, {path, *why}));

    const std::string bytes = FormatSettingsFile(settings);
    std::error_code ec;
    if (fs::is_directory(path, ec)) return ErrorMessage(FormatMessage(text::kErrorOpening, {path}), SystemReason(EISDIR));
    // Written under a temporary name beside the target and renamed into
    // place, so a failed write never destroys the file being replaced.
    const FileOutcome saved = WriteFileWhole(path, bytes.data(), bytes.size(), nullptr);
    if (saved.ok()) return std::nullopt;
    const char* pattern = saved.failed == FileStep::Open ? text::kErrorOpening : text::kErrorWriting;
    return ErrorMessage(FormatMessage(pattern, {path}), saved.Reason());
}

bool LoadSettingsFile(const std::string& settingsDirectory, const std::string& settingsFileName,
                      const std::string& programDirectory, ProjectSettings& settings,
                      const SettingsLoadHooks& hooks)
{
    const std::string path = JoinPath(settingsDirectory, settingsFileName);
    int error = 0;
    const std::optional<std::string> bytes = ReadSettingsBytes(path, error);
    if (!bytes) {
        Show(hooks, ErrorMessage(FormatMessage(text::kErrorOpening, {path}), SystemReason(error)));
        return false;
    }

    SettingsParse parse = ParseSettingsText(*bytes);
    if (parse.status == SettingsParse::Status::BadVersion) {
        // The file is named where there is room for it (the command line).
        Show(hooks, ErrorMessage(text::kInvalidVersion, path));
        return false;
    }
    if (parse.status != SettingsParse::Status::Ok) {
        Show(hooks, ErrorMessage(FormatMessage(text::kSettingsFileError,
                                               {path, std::to_string(parse.line), parse.key, parse.reason})));
        return false;
    }

    // The file is sound: the bitmaps are probed in file order, then the
    // record takes every value at once.
    ProjectSettings& loaded = parse.values;
    ProbeBitmap(loaded, &ProjectSettings::basebmp, &ProjectSettings::basedir, BitmapRole::Heightfield,
                settingsDirectory, settingsFileName, programDirectory, hooks);
    ProbeBitmap(loaded, &ProjectSettings::treebmp, &ProjectSettings::treedir, BitmapRole::Placement,
                settingsDirectory, settingsFileName, programDirectory, hooks);
    settings = std::move(loaded);
    return true;
}

std::optional<std::string> ApplySettingValue(ProjectSettings& settings, const std::string& key,
                                             const std::string& value)
{
    const SettingsField* field = FindSettingsField(key);
    if (!field) return FormatMessage(text::kUnknownKey, {key});
    if (field->kind == FieldKind::Text) {
        if (auto why = CheckSettingsText(value)) return FormatMessage(text::kInvalidValue, {key, *why});
    } else if (field->number) {
        std::optional<std::int32_t> partner;
        if (field->partner) partner = settings.*field->partner;
        if (auto why = CheckSettingsNumber(*field, ConvertSettingsInteger(value), partner))
            return FormatMessage(text::kInvalidValue, {key, *why});
    }
    StoreSettingsValue(settings, *field, value);
    return std::nullopt;
}

}  // namespace kv
