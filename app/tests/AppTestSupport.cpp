#include "AppTestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <filesystem>

#include "bitmap/Bitmap24.h"
#include "platform/Paths.h"

namespace kv::app::test {

std::optional<QString> ScriptedDialogs::answer(bool save, const FileDialogRequest& request)
{
    fileDialogs.push_back(FileDialog{save, request});
    if (whileFileDialogOpen) whileFileDialogOpen(fileDialogs.back());
    if (answers.empty()) return std::nullopt;
    const bool cancel = !answers.front().has_value();
    const QString path = cancel ? QString() : *answers.front();
    answers.pop_front();
    if (cancel) return std::nullopt;
    return path;
}

std::optional<QString> ScriptedDialogs::openFile(QWidget*, const FileDialogRequest& request)
{
    return answer(false, request);
}

std::optional<QString> ScriptedDialogs::saveFile(QWidget*, const FileDialogRequest& request)
{
    return answer(true, request);
}

void ScriptedDialogs::message(QWidget*, const kv::Message& message)
{
    messages.push_back(message);
    if (whileMessageOpen) whileMessageOpen(message);
}

ScratchDir::ScratchDir() { dir_.setAutoRemove(true); }

std::string ScratchDir::path() const { return ToStdString(dir_.path()); }

std::string ScratchDir::file(const std::string& name) const { return JoinPath(path(), name); }

std::vector<std::string> ScratchDir::files() const
{
    std::vector<std::string> names;
    QDirIterator it(dir_.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    const QDir base(dir_.path());
    while (it.hasNext()) names.push_back(ToStdString(base.relativeFilePath(it.next())));
    std::sort(names.begin(), names.end());
    return names;
}

ProgramDir::ProgramDir()
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(KV_TEST_PROGRAM_DIR, ec)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(KV_TEST_PROGRAM_DIR, ec)) {
            if (entry.is_regular_file())
                fs::copy_file(entry.path(), fs::path(path()) / entry.path().filename(), ec);
        }
    }
    // A small heightfield keeps creations quick: a ridge across a 24-pixel square.
    WriteBmp(file("height01.bmp"), 24, 24, [](int x, int y) {
        const int v = std::clamp(200 - 12 * std::abs(x - 12) - 3 * std::abs(y - 12), 0, 255);
        return static_cast<std::uint32_t>(v * 0x010101);
    });
    // Its placement picture: one boulder and one fern on the ridge.
    WriteBmp(file("tree01.bmp"), 24, 24, [](int x, int y) {
        if (x == 12 && y == 10) return 0xff0000u;
        if (x == 12 && y == 14) return 0x00ff00u;
        return 0u;
    });
    const std::pair<const char*, std::uint8_t> clouds[] = {
        {"~clear.bmp", 0}, {"~cloudy.bmp", 120}, {"~ominous.bmp", 170}, {"~puff.bmp", 230}};
    for (const auto& [name, level] : clouds)
        if (!fs::exists(file(name))) WriteFlatCloudPreview(file(name), level);
}

void WriteBmp(const std::string& path, int width, int height, const std::function<std::uint32_t(int, int)>& rgb)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = rgb(x, y);
            std::uint8_t* p = pixels.data() + (static_cast<std::size_t>(y) * width + x) * 3;
            p[0] = static_cast<std::uint8_t>(c >> 16);
            p[1] = static_cast<std::uint8_t>(c >> 8);
            p[2] = static_cast<std::uint8_t>(c);
        }
    }
    WriteBmp24(path, width, height, pixels.data());
}

void WriteFlatCloudPreview(const std::string& path, std::uint8_t level)
{
    WriteBmp(path, 85, 118, [level](int, int) { return static_cast<std::uint32_t>(level) * 0x010101u; });
}

QImage GrabClient(QWidget& window) { return window.grab().toImage().convertToFormat(QImage::Format_RGB32); }

}  // namespace kv::app::test
