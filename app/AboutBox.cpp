#include "app/AboutBox.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv::app {

AboutBox::AboutBox(QWidget* mainWindow) : QDialog(mainWindow)
{
    setWindowTitle("About Kelvane");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* product = new QLabel("Kelvane v2.0", this);
    product->setObjectName("product");
    auto* credit = new QLabel("Special thanks to IJG for the JPEG coding.", this);
    credit->setObjectName("credit");
    auto* ok = new QPushButton("OK", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    for (QLabel* line : {product, credit}) {
        line->setAlignment(Qt::AlignHCenter);
        layout->addWidget(line);
    }
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace kv::app
