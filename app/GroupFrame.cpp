#include "app/GroupFrame.h"

#include <QFrame>

#include <QPainter>

namespace kv::app {

GroupFrame::GroupFrame(const QString& caption, QWidget* parent) : QWidget(parent), title_(caption)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void GroupFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetrics metrics(font());
    QString shown = title_;
    shown.replace("&&", "&");
    // The frame's top edge runs through the middle of the caption.
    const int top = metrics.height() / 2;
    const QRect box = rect().adjusted(0, top, -1, -1);
    // Etched: a dark line with a light line one pixel right and below.
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(box.translated(1, 1).adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    // The caption interrupts the top edge, its leading and trailing spaces
    // included, the way the classic dialogs leave a gap.
    const int left = 6;
    const QRect text(left, 0, metrics.horizontalAdvance(shown), metrics.height());
    painter.fillRect(text, palette().color(QPalette::Window));
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, shown);
}

QFrame* NewBlackFrame(QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setLineWidth(1);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    frame->setPalette(palette);
    return frame;
}

}  // namespace kv::app
