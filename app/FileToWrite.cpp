#include "app/FileToWrite.h"

#include <QDir>
#include <QFileInfo>

namespace kv::app {

kv::Message ReplaceQuestion(const QString& path)
{
    return kv::Message{ToStdString(QDir::toNativeSeparators(path)) + " already exists.\nDo you want to replace it?",
                       kMessageTitle, MessageIcon::Warning, Modality::Modal};
}

std::optional<QString> AskFileToWrite(Dialogs& dialogs, QWidget* parent, FileDialogRequest request,
                                      const std::function<std::string(const std::string& typed)>& nameWritten)
{
    for (;;) {
        const std::optional<QString> answer = dialogs.saveFile(parent, request);
        if (!answer) return std::nullopt;
        const QFileInfo typed(*answer);
        const QString target = typed.dir().filePath(ToQString(nameWritten(ToStdString(typed.fileName()))));
        // A link at the name counts as a file there, even when it leads nowhere.
        const QFileInfo existing(target);
        if (!existing.exists() && !existing.isSymLink()) return answer;
        if (dialogs.ask(parent, ReplaceQuestion(target))) return answer;
        request.directory = typed.absolutePath();
        request.fileName = typed.fileName();
    }
}

}  // namespace kv::app
