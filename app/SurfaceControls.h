#pragma once
// The custom-drawn inputs on the main window's surface: the sliders, the
// colour boxes with their drag and drop and RGB dialog, and right-click help.
// Each is a child object of the window that follows the window's mouse
// signals; find them with window.findChild<...>().

namespace kv::app {

class Dialogs;
class MainWindow;

// Creates the slider, colour box and right-click help handlers for `window`.
// Called once while the window is built, after its standard controls exist
// and before it shows the record. Sliders get a press before the colour boxes.
void InstallSurfaceControls(MainWindow& window, Dialogs& dialogs);

}  // namespace kv::app
