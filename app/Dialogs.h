#pragma once
// The file dialogs and message boxes of the application. The main window asks
// for every answer through this interface; the desktop program uses the Qt
// dialogs, the tests answer from a script.
#include <QString>
#include <QStringList>

#include <optional>

#include "core/basics/Messages.h"

class QWidget;

namespace kv::app {

struct FileDialogRequest {
    QString title;
    QString directory;  // initial directory
    QString fileName;   // initial file name (may be empty)
    QString filter;     // e.g. "Bitmaps (*.BMP)"; several separated by ";;"
    // Save dialogs: appended to a name typed without any extension.
    QString defaultSuffix;
    // Save dialogs with several filters: the suffix of each, in order; the
    // one appended follows the filter the user picks.
    QStringList suffixes = {};
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // An existing file to open; nullopt when the user cancels.
    virtual std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) = 0;
    // A file to write (its directory exists); nullopt when the user cancels.
    // The dialog asks nothing about an existing file: the name typed is not
    // always the name written, so the caller asks (AskFileToWrite).
    virtual std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) = 0;
    // A modal message box with the message's title, text and icon; returns
    // when the user has closed it.
    virtual void message(QWidget* parent, const kv::Message& message) = 0;
    // A modal message box like message() with Yes and No; true for Yes.
    virtual bool ask(QWidget* parent, const kv::Message& question) = 0;
    // A modal message box like message() that also offers one more thing to
    // do, a button captioned `choice` beside OK; true when the user picks it.
    // Dialogs that cannot offer anything show the plain message.
    virtual bool offer(QWidget* parent, const kv::Message& message, const QString& choice)
    {
        (void)choice;
        this->message(parent, message);
        return false;
    }
};

// The real dialogs: Qt's file dialogs and application-modal message boxes.
class QtDialogs final : public Dialogs {
public:
    std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) override;
    void message(QWidget* parent, const kv::Message& message) override;
    bool ask(QWidget* parent, const kv::Message& question) override;
    bool offer(QWidget* parent, const kv::Message& message, const QString& choice) override;
};

// std::string (UTF-8 as the core holds names) to and from QString paths.
QString ToQString(const std::string& text);
std::string ToStdString(const QString& text);

}  // namespace kv::app
