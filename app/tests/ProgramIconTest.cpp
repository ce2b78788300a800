// The program icon: embedded at every size it was drawn for, and the icon of
// every window once set.
#include <QMessageBox>
#include <QtTest>

#include "AppTestSupport.h"
#include "app/AboutBox.h"
#include "app/HelpWindows.h"
#include "app/ProgramIcon.h"

using namespace kv;
using namespace kv::app;
using namespace kv::app::test;

namespace {

const QList<QSize> kSizes = {{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};

}  // namespace

class ProgramIconTest : public QObject {
    Q_OBJECT

private slots:
    void drawnAtEveryUsualSize();
    void everyWindowShowsIt();
};

void ProgramIconTest::drawnAtEveryUsualSize()
{
    const QIcon icon = ProgramIcon();
    QCOMPARE(icon.availableSizes(), kSizes);
    for (const QSize& size : kSizes) {
        const QImage image = icon.pixmap(size).toImage();
        QCOMPARE(image.size(), size);
        // A rounded tile: transparent corners, an opaque middle, a sky above
        // the land (bluer at the top centre than at the bottom centre).
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(image.pixelColor(size.width() - 1, size.height() - 1).alpha(), 0);
        const QColor top = image.pixelColor(size.width() / 4, size.height() / 4);
        const QColor bottom = image.pixelColor(size.width() / 2, size.height() * 7 / 8);
        QCOMPARE(top.alpha(), 255);
        QCOMPARE(bottom.alpha(), 255);
        QVERIFY2(top.blue() > top.red() && bottom.blue() < bottom.green(), qPrintable(QString::number(size.width())));
    }
}

void ProgramIconTest::everyWindowShowsIt()
{
    SetProgramIcon();
    QCOMPARE(QGuiApplication::desktopFileName(), QString("kelvane"));
    const qint64 programIcon = QApplication::windowIcon().cacheKey();
    QCOMPARE(QApplication::windowIcon().availableSizes(), kSizes);

    WindowFixture f;
    MainWindow& w = f.w();
    HelpWindows& help = HelpWindows::Of(&w);
    help.showTopics();
    help.showTutorial();
    AboutBox about(&w);
    QMessageBox box(QMessageBox::Information, "Kelvane Message", "text", QMessageBox::Ok, &w);
    const std::pair<const char*, QWidget*> windows[] = {
        {"main", &w}, {"topics", help.topics()}, {"tutorial", help.tutorial()},
        {"about", &about}, {"message", &box},
    };
    for (const auto& [name, window] : windows) QVERIFY2(window->windowIcon().cacheKey() == programIcon, name);
}

QTEST_MAIN(ProgramIconTest)
#include "ProgramIconTest.moc"
