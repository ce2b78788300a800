#pragma once
// Shared pieces of the window tests: dialogs answered from a script, a scratch
// program directory with the stock files, a shown window, small pictures.
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Dialogs.h"
#include "app/MainWindow.h"

namespace kv::app::test {

// Answers file dialogs from a queue (empty: cancel) and questions from another
// (empty: No), and records every dialog, message and question. Runs on the
// window's thread, as the real dialogs would.
class ScriptedDialogs final : public Dialogs {
public:
    struct FileDialog {
        bool save = false;
        FileDialogRequest request;
    };
    std::deque<std::optional<QString>> answers;
    std::function<void(const FileDialog&)> whileFileDialogOpen;
    std::function<void(const kv::Message&)> whileMessageOpen;
    std::vector<FileDialog> fileDialogs;
    std::vector<kv::Message> messages;
    // Yes (true) or No for each question in turn; No once they run out.
    std::deque<bool> replies;
    std::vector<kv::Message> questions;
    // An offered message is recorded with the messages; its extra choice
    // here. Whether the user picks it, in turn; not once they run out.
    std::vector<QString> offers;
    std::deque<bool> offerReplies;

    std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) override;
    void message(QWidget* parent, const kv::Message& message) override;
    bool ask(QWidget* parent, const kv::Message& question) override;
    bool offer(QWidget* parent, const kv::Message& message, const QString& choice) override;

private:
    std::optional<QString> answer(bool save, const FileDialogRequest& request);
};

// A scratch directory removed at the end of the test.
class ScratchDir {
public:
    ScratchDir() = default;
    std::string path() const;
    std::string file(const std::string& name) const;
    QString qpath() const { return dir_.path(); }
    QString qfile(const QString& name) const { return dir_.filePath(name); }
    // Every file below the directory, relative to it, sorted.
    std::vector<std::string> files() const;

private:
    QTemporaryDir dir_;
};

// A program directory: the build tree's stock files, with a small
// heightfield "height01.bmp" and its placement picture "tree01.bmp" (a
// boulder and a fern) in place of the stock ones.
class ProgramDir : public ScratchDir {
public:
    ProgramDir();
};

// A shown main window over a fresh program directory; `prepare` may change
// the directory before the window starts.
struct WindowFixture {
    explicit WindowFixture(const std::function<void(ProgramDir&)>& prepare = {});
    ProgramDir program;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
    MainWindow& w() { return *window; }
};

// Writes a 24-bit BMP whose pixel (x, y) has the colour 0xRRGGBB rgb(x, y).
void WriteBmp(const std::string& path, int width, int height,
              const std::function<std::uint32_t(int x, int y)>& rgb);
// An 85 x 118 preview cloud bitmap of one grey level.
void WriteFlatCloudPreview(const std::string& path, std::uint8_t level);
bool FileStartsWith(const std::string& path, const std::string& bytes);

// The widget as drawn on screen, children included.
QImage Grab(QWidget& widget);
// The user picks entry `index` of a drop-down list with the keyboard.
void Pick(MainWindow& w, Control list, int index);
QString ShownText(MainWindow& w, Control id);  // a list's entry, a name field's or a button's text
bool Checked(MainWindow& w, Control box);
// Runs `action` on the next modal dialog to open.
void OnNextModal(std::function<void(QWidget*)> action);

}  // namespace kv::app::test
