#include "app/HelpTopics.h"

#include "app/HelpWindows.h"

namespace kv::app {

void ShowHelpTopics(QWidget* mainWindow) { HelpWindows::Of(mainWindow).showTopics(); }

}  // namespace kv::app
