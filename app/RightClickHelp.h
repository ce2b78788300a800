#pragma once
// Right-click help: releasing the right mouse button over an input of the
// main window shows a short message about it. Over an enabled standard
// control the control decides; anywhere else (colour boxes, sliders, name
// fields, the atmosphere preview, a disabled control) the point is looked up
// in the table of areas, first match winning. It works while a creation runs.
#include <QObject>
#include <QPoint>

#include <optional>

#include "app/WindowLayout.h"
#include "core/basics/Messages.h"

namespace kv::app {

class Dialogs;
class MainWindow;

// The help message of a standard control (push button, list, check box);
// nullopt for controls without help.
std::optional<kv::Message> HelpForControl(Control id);
// The help message of the window's surface at a client point; nullopt
// outside every area.
std::optional<kv::Message> HelpForArea(QPoint point);

class RightClickHelp final : public QObject {
    Q_OBJECT

public:
    RightClickHelp(MainWindow& window, Dialogs& dialogs);

    // The right button was released over an enabled standard control.
    void releasedOver(Control control);
    // The right button was released at this client point of the window's
    // surface (or over a disabled control there).
    void releasedAt(QPoint point);

private:
    MainWindow& window_;
    Dialogs& dialogs_;
};

}  // namespace kv::app
