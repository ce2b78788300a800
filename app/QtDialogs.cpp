#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "app/Dialogs.h"

namespace kv::app {

namespace {

QString InitialPath(const FileDialogRequest& request)
{
    if (request.fileName.isEmpty()) return request.directory;
    return QDir(request.directory).filePath(request.fileName);
}

std::optional<QString> Answer(const QString& path)
{
    if (path.isEmpty()) return std::nullopt;
    return path;
}

QMessageBox::Icon IconOf(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    }
    return QMessageBox::Critical;
}

}  // namespace

std::optional<QString> QtDialogs::openFile(QWidget* parent, const FileDialogRequest& request)
{
    return Answer(QFileDialog::getOpenFileName(parent, request.title, InitialPath(request), request.filter));
}

std::optional<QString> QtDialogs::saveFile(QWidget* parent, const FileDialogRequest& request)
{
    QFileDialog dialog(parent, request.title, request.directory, request.filter);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.suffixes.isEmpty()) {
        const QStringList filters = request.filter.split(QStringLiteral(";;"));
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, filters, request](const QString& f) {
            const qsizetype at = filters.indexOf(f);
            if (at >= 0 && at < request.suffixes.size()) dialog.setDefaultSuffix(request.suffixes[at]);
        });
    }
    // The caller asks about the file it will really write.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return Answer(dialog.selectedFiles().constFirst());
}

void QtDialogs::message(QWidget* parent, const kv::Message& message)
{
    QMessageBox box(IconOf(message.icon), ToQString(message.title), ToQString(message.text), QMessageBox::Ok,
                    parent);
    // Both modalities of the core's messages block the whole application.
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

bool QtDialogs::ask(QWidget* parent, const kv::Message& question)
{
    QMessageBox box(IconOf(question.icon), ToQString(question.title), ToQString(question.text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Yes;
}

bool QtDialogs::offer(QWidget* parent, const kv::Message& message, const QString& choice)
{
    QMessageBox box(IconOf(message.icon), ToQString(message.title), ToQString(message.text), QMessageBox::Ok,
                    parent);
    QPushButton* chosen = box.addButton(choice, QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    return box.clickedButton() == chosen;
}

QString ToQString(const std::string& text) { return QFile::decodeName(QByteArray::fromStdString(text)); }

std::string ToStdString(const QString& text) { return QFile::encodeName(text).toStdString(); }

}  // namespace kv::app
