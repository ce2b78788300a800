#pragma once
// The RGB dialog: three gradient bars with a white marker line each, the
// swatch of the working colour, OK and Cancel. A thin window around an
// RgbEditor, which holds every rule.
#include <QDialog>
#include <QImage>

#include "app/ColourBoxes.h"

class QPushButton;

namespace kv::app {

// The bar pictures "GRADR", "GRADG" and "GRADB": 256 x 16, column x showing
// level x of red, green or blue (component 0, 1, 2) over black.
QImage GradientBar(int component);

class RgbDialog final : public QDialog {
    Q_OBJECT

public:
    // Edits `editor` in place; modal and owned by `owner`.
    RgbDialog(RgbEditor& editor, QWidget* owner);

    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    RgbEditor& editor_;
    QImage bars_[3];
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace kv::app
