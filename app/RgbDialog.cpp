#include "app/RgbDialog.h"

#include <QFrame>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "app/GroupFrame.h"
#include "app/WindowLayout.h"

namespace kv::app {

QImage GradientBar(int component)
{
    QImage bar(256, RgbEditor::kBarHeight, QImage::Format_RGB32);
    for (int x = 0; x < 256; ++x) {
        const QRgb colour = component == 0 ? qRgb(x, 0, 0) : component == 1 ? qRgb(0, x, 0) : qRgb(0, 0, x);
        for (int y = 0; y < bar.height(); ++y) bar.setPixel(x, y, colour);
    }
    return bar;
}

RgbDialog::RgbDialog(RgbEditor& editor, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      editor_(editor),
      bars_{GradientBar(0), GradientBar(1), GradientBar(2)}
{
    setWindowTitle(editor_.title());
    setModal(true);
    // 225 x 66 dialog units.
    setFixedSize(DluToPixelsX(225), DluToPixelsY(66));
    if (owner) setFont(owner->font());

    ok_ = new QPushButton("OK", this);
    ok_->setGeometry(DluToPixels(QRect(50, 45, 50, 14)));
    ok_->setDefault(true);
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setGeometry(DluToPixels(QRect(120, 45, 50, 14)));
    cancel_->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    // The black frame around the swatch.
    QFrame* frame = NewBlackFrame(this);
    frame->setGeometry(RgbEditor::swatchRect().adjusted(-1, -1, 1, 1));
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void RgbDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const RgbColor colour = editor_.colour();
    painter.fillRect(RgbEditor::swatchRect(), QColor(colour.r, colour.g, colour.b));
    for (int component = 0; component < 3; ++component) {
        const QRect bar = RgbEditor::barRect(component);
        painter.drawImage(bar.topLeft(), bars_[component]);
        painter.fillRect(QRect(editor_.markerX(component), bar.top(), 1, bar.height()), Qt::white);
    }
}

void RgbDialog::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    editor_.press(event->position().toPoint());
    update();
}

void RgbDialog::mouseMoveEvent(QMouseEvent* event)
{
    if (!editor_.draggedComponent()) return;
    editor_.move(event->position().toPoint());
    update();
}

void RgbDialog::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) editor_.release();
}

}  // namespace kv::app
