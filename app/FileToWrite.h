#pragma once
// Asking for a file to write. The save dialog knows the name as typed; the
// file written may have another name (lower case, an extension added), so the
// question about replacing an existing file is asked here, about that file.
#include <QString>

#include <functional>
#include <optional>
#include <string>

#include "app/Dialogs.h"

namespace kv::app {

// The question asked before `path` is replaced.
kv::Message ReplaceQuestion(const QString& path);

// Runs the save dialog of `request`. The file written for an answer is
// nameWritten(name typed) in the directory chosen; when it already exists,
// asks whether to replace it: Yes returns the answer, No opens the dialog
// again at the name typed. Returns the dialog's answer as typed; nullopt
// when the user cancels.
std::optional<QString> AskFileToWrite(Dialogs& dialogs, QWidget* parent, FileDialogRequest request,
                                      const std::function<std::string(const std::string& typed)>& nameWritten);

}  // namespace kv::app
