#pragma once
#include <QWidget>

class QFrame;

namespace kv::app {

// A group box drawn the classic way: an etched rectangle whose caption sits
// on its top edge. Purely decoration: it takes no mouse input and holds no
// children (the controls inside are the window's own).
class GroupFrame final : public QWidget {
    Q_OBJECT

public:
    GroupFrame(const QString& caption, QWidget* parent);

    // The caption as shown ("&&" shows one ampersand).
    QString title() const { return title_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString title_;
};

// A plain one-pixel black frame (around the colour boxes, the atmosphere
// preview and the RGB dialog's swatch).
QFrame* NewBlackFrame(QWidget* parent);

}  // namespace kv::app
