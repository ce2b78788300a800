#pragma once
#include <QLabel>
#include <QString>

namespace kv::app {

// The sunken field that shows a bitmap's file name. A name too long for the
// field is shortened in the middle with "…", so that its start and its
// extension stay readable; the full path is the field's tooltip. Like the
// other frames and texts it takes no mouse input: the window under it shows
// the tooltip.
class NameField final : public QLabel {
    Q_OBJECT

public:
    explicit NameField(QWidget* parent);

    // Shows `name` and keeps `fullPath` (empty: no tooltip).
    void setName(const QString& name, const QString& fullPath);
    const QString& name() const { return name_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showFitting();

    QString name_;
};

}  // namespace kv::app
