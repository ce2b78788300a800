#pragma once
#include <QDialog>
#include <QImage>

namespace kv::app {

// The terrain texture preview: the picture unscaled in a frameless window
// centred on the screen, modal, closed by the first left-button release over it.
class TerrainPreviewWindow final : public QDialog {
    Q_OBJECT

public:
    TerrainPreviewWindow(QImage picture, QWidget* mainWindow);

    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage picture_;
};

}  // namespace kv::app
