#pragma once
#include <QIcon>

namespace kv::app {

// The program's icon: a peak under a sun, at every size it was drawn for.
QIcon ProgramIcon();

// Makes the program icon the icon of every window of the application (main
// window, help, dialogs and message boxes alike) and names the desktop entry
// the windows belong to, so that a desktop shows them with the menu entry's
// icon. Called once, after the application object exists.
void SetProgramIcon();

}  // namespace kv::app
