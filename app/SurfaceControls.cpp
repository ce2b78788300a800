#include "app/SurfaceControls.h"

#include "app/ColourBoxControls.h"
#include "app/MainWindow.h"
#include "app/RightClickHelp.h"
#include "app/SliderControls.h"

namespace kv::app {

void InstallSurfaceControls(MainWindow& window, Dialogs& dialogs)
{
    // Connected in this order, so a press reaches the sliders first.
    new SliderControls(window);
    new ColourBoxControls(window);
    new RightClickHelp(window, dialogs);
}

}  // namespace kv::app
