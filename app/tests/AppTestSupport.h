#pragma once
// Shared pieces of the window tests: dialogs answered from a script, a scratch
// program directory with the stock files, small pictures.
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

namespace kv::app::test {

// Answers file dialogs from a queue and records every dialog and message.
// Everything runs on the window's thread, as the real dialogs would.
class ScriptedDialogs final : public Dialogs {
public:
    struct FileDialog {
        bool save = false;
        FileDialogRequest request;
    };

    // Answers for the file dialogs, in order; an empty queue cancels.
    std::deque<std::optional<QString>> answers;
    // Called while a file dialog is "open", before its answer is taken.
    std::function<void(const FileDialog&)> whileFileDialogOpen;
    // Called while a message box is "open".
    std::function<void(const kv::Message&)> whileMessageOpen;

    std::vector<FileDialog> fileDialogs;
    std::vector<kv::Message> messages;

    std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) override;
    void message(QWidget* parent, const kv::Message& message) override;

private:
    std::optional<QString> answer(bool save, const FileDialogRequest& request);
};

// A scratch directory removed at the end of the test.
class ScratchDir {
public:
    ScratchDir();
    std::string path() const;
    std::string file(const std::string& name) const;
    QString qpath() const { return dir_.path(); }
    // Every file below the directory, relative to it, sorted.
    std::vector<std::string> files() const;

private:
    QTemporaryDir dir_;
};

// A program directory: the build tree's stock files, with a small
// heightfield "height01.bmp" and its placement picture "tree01.bmp" (a
// boulder and a fern) in place of the stock ones, and the four preview cloud
// bitmaps wherever the stock files lack them.
class ProgramDir : public ScratchDir {
public:
    ProgramDir();
};

// Writes a 24-bit BMP whose pixel (x, y) has the colour rgb(x, y).
void WriteBmp(const std::string& path, int width, int height,
              const std::function<std::uint32_t(int x, int y)>& rgb);

// Writes an 85 x 118 preview cloud bitmap of one grey level.
void WriteFlatCloudPreview(const std::string& path, std::uint8_t level);

// The window's client area as drawn on screen, children included.
QImage GrabClient(QWidget& window);

}  // namespace kv::app::test
