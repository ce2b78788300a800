#pragma once
#include <QDialog>

namespace kv::app {

// The About box: the product line, the JPEG credit and an OK button.
class AboutBox final : public QDialog {
    Q_OBJECT

public:
    explicit AboutBox(QWidget* mainWindow);
};

}  // namespace kv::app
