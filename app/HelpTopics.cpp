#include "app/HelpTopics.h"

namespace kv::app {

// The help topics dialog, its texts and the step-by-step tutorial come with
// the window's help; until then the Help button opens nothing.
void ShowHelpTopics(QWidget*) {}

}  // namespace kv::app
