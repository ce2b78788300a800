#include "app/ProgramIcon.h"

#include <QApplication>
#include <QString>

namespace kv::app {

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {KV_ICON_SIZES})
        icon.addFile(QString(":/icons/%1-%2.png").arg(KV_DESKTOP_ID).arg(size), QSize(size, size));
    return icon;
}

void SetProgramIcon()
{
    QApplication::setWindowIcon(ProgramIcon());
    QGuiApplication::setDesktopFileName(KV_DESKTOP_ID);
}

}  // namespace kv::app
