#pragma once

class QWidget;

namespace kv::app {

// The Help button's entry point: the help topics dialog, run without an owner
// so the main window stays usable while it is open.
void ShowHelpTopics(QWidget* mainWindow);

}  // namespace kv::app
