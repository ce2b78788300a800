#pragma once
// The 3D view's window: a resizable top-level window, 960 x 600 to start,
// with the view and a small toolbar (back to the scene camera, view from
// above). It deletes itself when closed.
#include <QMainWindow>

#include <memory>

#include "app/view/ViewScene.h"

class QAction;

namespace kv::view {

class SceneView;

class ViewWindow final : public QMainWindow {
    Q_OBJECT

public:
    // `title` names what is shown (a file's name, "Last creation").
    ViewWindow(std::shared_ptr<const ViewScene> scene, const QString& title, QWidget* parent = nullptr);

    SceneView& view() const { return *view_; }
    QAction& returnAction() const { return *returnAction_; }
    QAction& aboveAction() const { return *aboveAction_; }

    static constexpr QSize kStartSize{960, 600};

private:
    SceneView* view_;
    QAction* returnAction_;
    QAction* aboveAction_;
};

}  // namespace kv::view
