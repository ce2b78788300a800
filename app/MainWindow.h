#pragma once
// The main window: every field of the settings record in one fixed-size
// window, the commands About, Help, Load, Save, Create, Stop, 3D View and
// Preview, the busy state of a running creation and the atmosphere preview.
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <array>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "app/Dialogs.h"
#include "app/WindowFrontEnd.h"
#include "app/WindowLayout.h"
#include "core/job/CreationJob.h"
#include "core/basics/Session.h"
#include "core/inputs/ProjectSettings.h"

namespace kv::view {
struct ViewScene;
class ViewWindow;
}  // namespace kv::view

class QCheckBox;
class QComboBox;
class QPushButton;

namespace kv::app {

enum class BitmapKind { Heightfield, Placement };

// The field shown by colour box `box` (0 to 12, in the order of ColourBoxes()).
RgbColor& ColourOfBox(ProjectSettings& settings, int box);

class MainWindow final : public QWidget, private JobHost {
    Q_OBJECT

public:
    // `dialogs` answers every file dialog and message box and outlives the window.
    MainWindow(std::string programDirectory, Dialogs& dialogs, QWidget* parent = nullptr);
    ~MainWindow() override;

    const ProjectSettings& settings() const { return settings_; }
    // The record the window's custom controls edit in place.
    ProjectSettings& settings() { return settings_; }
    const std::string& programDirectory() const { return programDirectory_; }
    Session& session() { return session_; }

    // The widget of a standard control (group boxes, frames and labels included).
    QWidget* control(Control id) const { return controls_[static_cast<std::size_t>(id)]; }

    // True from the start of a creation to the end of its end routine: the
    // inputs are disabled and the left mouse button does nothing.
    bool isBusy() const { return busy_; }
    // True while a creation's worker thread exists.
    bool creationRunning() const { return worker_.joinable(); }

    // Shows every field of the record in its control (after Load).
    void showSettings();
    // Recomputes the atmosphere preview from the record and repaints it. A
    // failed load shows its message and leaves the preview blank.
    void recomputeAtmospherePreview();
    // The picture drawn at (318, 155); null while the preview is blank.
    const QImage& atmospherePreview() const { return atmospherePreview_; }

    // The commands, as the buttons run them.
    void browseBitmap(BitmapKind kind);
    void loadSettings();
    void saveSettings();
    void startCreation();
    void requestStop();
    void showTerrainPreview();
    void showAbout();
    void showHelpTopics();
    // Opens the 3D view of the last scene this window created (closing one
    // already open); does nothing while busy or before any creation.
    void showView();

    // The scene a creation made, for the 3D view. Call it on the window's
    // thread (from the creation's worker, post it there) while the creation
    // runs, before its report: the report then offers the view, and once the
    // creation has finished the 3D View button opens it. A scene handed over
    // while no creation runs counts as created at once. A creation that does
    // not finish (stopped, failed) leaves the previous scene in place.
    void setCreatedScene(std::shared_ptr<const kv::view::ViewScene> scene);
    // The scene the 3D View button shows; null until a creation has finished
    // with a scene.
    const std::shared_ptr<const kv::view::ViewScene>& createdScene() const { return createdScene_; }
    // The open view window, if any.
    kv::view::ViewWindow* viewWindow() const;

signals:
    // A creation has ended and its worker thread is gone.
    void creationEnded(kv::JobOutcome outcome);
    // The terrain preview window is about to be shown (modal) and has closed.
    void terrainPreviewOpened(QWidget* previewWindow);
    void terrainPreviewClosed();
    // Left-button input on the window's own surface that was accepted (never
    // while busy), and right-button releases (also while busy).
    void surfaceLeftPress(QPoint position);
    void surfaceLeftRelease(QPoint position);
    void surfaceLeftDoubleClick(QPoint position);
    void surfaceRightRelease(QPoint position);
    // Right-button release over an enabled standard control (also while busy).
    void controlRightRelease(kv::app::Control control);
    // Pointer movement over the window while the left button is held.
    void surfaceMouseMove(QPoint position);
    // Every field of the record has just been shown (start-up, Load).
    void settingsShown();
    // The atmosphere preview has been recomputed from the record.
    void atmospherePreviewRecomputed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // JobHost: what a creation asks of the window, on the window's thread.
    std::optional<SceneFileChoice> askSceneFile(const std::string& initialDirectory,
                                                const std::string& initialName) override;
    void showJobMessage(const Message& message) override;
    void showProgress(int percent) override;
    void enterBusy() override;
    void leaveBusy() override;
    void takeCreatedScene(std::shared_ptr<const kv::view::ViewScene> scene) override { setCreatedScene(std::move(scene)); }

    void buildControls();
    void fitFont();
    void connectCommands();
    void setResolution(int resolution);
    void listChanged(Control list, int index);
    std::optional<std::pair<std::string, std::string>> askBitmap(BitmapKind kind, const std::string& directory,
                                                                 const std::string& fileName);
    void showBitmapNames();
    void workerEnded(unsigned generation, JobOutcome outcome);
    void finishCreationBeforeClosing();
    void updateViewButton();

    QPushButton* button(Control id) const;
    QComboBox* list(Control id) const;
    QCheckBox* checkBox(Control id) const;

    std::string programDirectory_;
    Dialogs& dialogs_;
    ProjectSettings settings_;
    Session session_;
    // The Load and Save dialogs start where the last one ended.
    std::string settingsDirectory_;
    std::string settingsFileName_;

    std::array<QWidget*, static_cast<std::size_t>(Control::Preview) + 1> controls_{};
    // The 3D view: the scene of the last finished creation, the one the
    // running creation has handed over, and whether its report asked for
    // the view.
    std::shared_ptr<const kv::view::ViewScene> createdScene_;
    std::shared_ptr<const kv::view::ViewScene> pendingScene_;
    bool viewAfterCreation_ = false;
    QPointer<kv::view::ViewWindow> viewWindow_;
    QImage atmospherePreview_;

    bool busy_ = false;
    WindowFrontEnd frontEnd_;
    std::thread worker_;
    std::atomic<bool> workerDone_{true};
    unsigned generation_ = 0;  // counts creations; a late end notice of an older one is ignored
};

}  // namespace kv::app
