#include "AppTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/inputs/Bitmap24.h"
#include "core/platform/Paths.h"

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

bool ScriptedDialogs::ask(QWidget*, const kv::Message& question)
{
    questions.push_back(question);
    if (replies.empty()) return false;
    const bool yes = replies.front();
    replies.pop_front();
    return yes;
}

bool ScriptedDialogs::offer(QWidget* parent, const kv::Message& message, const QString& choice)
{
    offers.push_back(choice);
    this->message(parent, message);
    if (offerReplies.empty()) return false;
    const bool chosen = offerReplies.front();
    offerReplies.pop_front();
    return chosen;
}

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
    for (const fs::directory_entry& entry : fs::directory_iterator(KV_TEST_PROGRAM_DIR, ec)) {
        if (entry.is_regular_file()) fs::copy_file(entry.path(), fs::path(path()) / entry.path().filename(), ec);
    }
    // A ridge across a 24-pixel square keeps creations quick.
    WriteBmp(file("height01.bmp"), 24, 24, [](int x, int y) {
        const int v = std::clamp(200 - 12 * std::abs(x - 12) - 3 * std::abs(y - 12), 0, 255);
        return static_cast<std::uint32_t>(v * 0x010101);
    });
    WriteBmp(file("tree01.bmp"), 24, 24, [](int x, int y) {
        if (x == 12 && y == 10) return 0xff0000u;  // a boulder
        if (x == 12 && y == 14) return 0x00ff00u;  // a fern
        return 0u;
    });
}

WindowFixture::WindowFixture(const std::function<void(ProgramDir&)>& prepare)
{
    if (prepare) prepare(program);
    window = std::make_unique<MainWindow>(program.path(), dialogs);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) qWarning("the window was not exposed");
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

bool FileStartsWith(const std::string& path, const std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    std::string start(bytes.size(), '\0');
    in.read(start.data(), static_cast<std::streamsize>(start.size()));
    return in && start == bytes;
}

QImage Grab(QWidget& widget) { return widget.grab().toImage().convertToFormat(QImage::Format_RGB32); }

void Pick(MainWindow& w, Control list, int index)
{
    auto* box = qobject_cast<QComboBox*>(w.control(list));
    box->setFocus();
    while (box->currentIndex() < index) QTest::keyClick(box, Qt::Key_Down);
    while (box->currentIndex() > index) QTest::keyClick(box, Qt::Key_Up);
}

QString ShownText(MainWindow& w, Control id)
{
    QWidget* widget = w.control(id);
    if (auto* box = qobject_cast<QComboBox*>(widget)) return box->currentText();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    return {};
}

bool Checked(MainWindow& w, Control box) { return qobject_cast<QCheckBox*>(w.control(box))->isChecked(); }

void OnNextModal(std::function<void(QWidget*)> action)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start();
}

}  // namespace kv::app::test
