#include "app/NameField.h"

#include <QEvent>
#include <QFontMetrics>

namespace kv::app {

NameField::NameField(QWidget* parent) : QLabel(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setIndent(2);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void NameField::setName(const QString& name, const QString& fullPath)
{
    name_ = name;
    setToolTip(fullPath);
    showFitting();
}

void NameField::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    showFitting();
}

void NameField::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) showFitting();
}

void NameField::showFitting()
{
    // The text runs from the indent to the inner edge of the frame.
    const int room = contentsRect().width() - 2 * margin() - indent();
    setText(fontMetrics().elidedText(name_, Qt::ElideMiddle, room));
}

}  // namespace kv::app
