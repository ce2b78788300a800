#include "app/view/ViewWindow.h"

#include <QAction>
#include <QToolBar>

#include "app/view/SceneView.h"

namespace kv::view {

ViewWindow::ViewWindow(std::shared_ptr<const ViewScene> scene, const QString& title, QWidget* parent)
    : QMainWindow(parent), view_(new SceneView(std::move(scene), this))
{
    // Its own window even with an owner, which it stays above.
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title.isEmpty() ? QStringLiteral("3D View") : QStringLiteral("3D View - %1").arg(title));
    setCentralWidget(view_);

    QToolBar* tools = addToolBar(QStringLiteral("Camera"));
    tools->setMovable(false);
    tools->setFloatable(false);
    tools->setContextMenuPolicy(Qt::PreventContextMenu);
    returnAction_ = tools->addAction(QStringLiteral("Back to YOU"));
    returnAction_->setToolTip(
        QStringLiteral("Return to the scene camera YOU (Home or Y)\n"
                       "Left drag orbits, right or middle drag pans, the wheel zooms"));
    aboveAction_ = tools->addAction(QStringLiteral("From Above"));
    aboveAction_->setToolTip(QStringLiteral("Look down on the terrain from above (T)"));
    connect(returnAction_, &QAction::triggered, view_, &SceneView::returnToSceneCamera);
    connect(aboveAction_, &QAction::triggered, view_, &SceneView::lookFromAbove);

    resize(kStartSize);
    view_->setFocus();
}

}  // namespace kv::view
