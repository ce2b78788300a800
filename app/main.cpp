// kelvane-gui: the desktop front end. One window holds every setting; Create
// writes the scene and its images.
//
//   kelvane-gui [--program-dir DIR]
#include <QApplication>
#include <QStringList>

#include "app/Dialogs.h"
#include "app/MainWindow.h"
#include "app/ProgramIcon.h"
#include "core/platform/ProgramDirectory.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("Kelvane");
    QApplication::setApplicationVersion(KV_VERSION_STRING);
    kv::app::SetProgramIcon();

    std::string explicitDirectory;
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == "--program-dir") explicitDirectory = kv::app::ToStdString(arguments[i + 1]);
    }

    kv::app::QtDialogs dialogs;
    kv::app::MainWindow window(kv::LocateProgramDirectory(explicitDirectory), dialogs);
    window.show();
    return application.exec();
}
