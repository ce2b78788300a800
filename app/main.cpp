// kelvane-gui: the desktop front end. One window holds every setting; Create
// writes the scene and its images.
//
//   kelvane-gui [--program-dir DIR]
//   kelvane-gui --view FILE.glb      the 3D view alone, of a scene written before
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

#include "app/Dialogs.h"
#include "app/MainWindow.h"
#include "app/ProgramIcon.h"
#include "app/view/GltfSceneReader.h"
#include "app/view/ViewWindow.h"
#include "core/basics/Messages.h"
#include "core/platform/ProgramDirectory.h"

namespace {

// The 3D view of a glTF file in a window of its own; the program ends when it
// closes. A file that cannot be shown gives a message and exit status 1.
int ShowFile(const QString& path)
{
    const kv::view::GltfReadResult read = kv::view::ReadGltfScene(path);
    if (!read.scene) {
        QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kv::kErrorTitle), read.error, QMessageBox::Ok);
        box.exec();
        return 1;
    }
    auto* window = new kv::view::ViewWindow(read.scene, QFileInfo(path).fileName());
    window->show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("Kelvane");
    QApplication::setApplicationVersion(KV_VERSION_STRING);
    kv::app::SetProgramIcon();

    std::string explicitDirectory;
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1 && arguments.back() == "--view") {
        QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kv::kErrorTitle),
                        "--view needs the name of a glTF file (.glb or .gltf).", QMessageBox::Ok);
        box.exec();
        return 2;
    }
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == "--program-dir") explicitDirectory = kv::app::ToStdString(arguments[i + 1]);
        if (arguments[i] == "--view") return ShowFile(arguments[i + 1]);
    }

    kv::app::QtDialogs dialogs;
    kv::app::MainWindow window(kv::LocateProgramDirectory(explicitDirectory), dialogs);
    window.show();
    return application.exec();
}
