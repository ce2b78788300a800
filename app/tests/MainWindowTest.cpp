// The main window without a creation: its start-up state, the lists, the
// resolution boxes, Browse, About, the mouse on its surface.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "AppTestSupport.h"
#include "app/GroupFrame.h"
#include "app/MainWindow.h"
#include "platform/Paths.h"

using namespace kv;
using namespace kv::app;
using kv::app::test::ProgramDir;
using kv::app::test::ScriptedDialogs;

namespace {

QStringList Entries(QWidget* widget)
{
    auto* box = qobject_cast<QComboBox*>(widget);
    QStringList entries;
    for (int i = 0; i < box->count(); ++i) entries << box->itemText(i);
    return entries;
}

QComboBox* List(MainWindow& w, Control id) { return qobject_cast<QComboBox*>(w.control(id)); }
QCheckBox* Box(MainWindow& w, Control id) { return qobject_cast<QCheckBox*>(w.control(id)); }
QPushButton* Button(MainWindow& w, Control id) { return qobject_cast<QPushButton*>(w.control(id)); }
QString Text(MainWindow& w, Control id) { return qobject_cast<QLabel*>(w.control(id))->text(); }

// Runs `action` on the next modal dialog to appear.
void OnNextModal(std::function<void(QWidget*)> action)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start();
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startUpShowsTheDefaults();
    void layoutMatchesTheClientPixelGeometry();
    void resolutionBoxesAreOneOfThree();
    void listsSetTheirFields();
    void cancelledBrowseChangesNothing();
    void browseNamesTheFileWithoutOpeningIt();
    void aboutBoxShowsProductAndCredit();
    void surfaceMouseWhileIdle();
};

void MainWindowTest::startUpShowsTheDefaults()
{
    ProgramDir program;
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    QCOMPARE(w.windowTitle(), QString("Kelvane 2.0"));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QCOMPARE(w.size(), QSize(606, 296));
    QCOMPARE(w.settings(), DefaultSettings(program.path()));

    QCOMPARE(Entries(w.control(Control::BaseList)),
             QStringList({"jagged rock", "smooth rock", "jagged strata", "smooth strata"}));
    const QStringList covers = {"none",    "gritty",        "patchy",         "streaky",
                                "blotchy", "gritty-patchy", "gritty-streaky", "gritty-blotchy"};
    QCOMPARE(Entries(w.control(Control::Cover1List)), covers);
    QCOMPARE(Entries(w.control(Control::Cover2List)), covers);
    QCOMPARE(Entries(w.control(Control::CloudsList)), QStringList({"clear", "cloudy", "ominous", "puffy"}));
    QCOMPARE(Entries(w.control(Control::OceanList)), QStringList({"none", "flat", "calm", "rippled", "wavy"}));

    QCOMPARE(List(w, Control::BaseList)->currentText(), QString("jagged strata"));
    QCOMPARE(List(w, Control::Cover1List)->currentText(), QString("none"));
    QCOMPARE(List(w, Control::Cover2List)->currentText(), QString("none"));
    QCOMPARE(List(w, Control::CloudsList)->currentText(), QString("puffy"));
    QCOMPARE(List(w, Control::OceanList)->currentText(), QString("none"));

    QVERIFY(Box(w, Control::LoRes)->isChecked());
    QVERIFY(!Box(w, Control::MedRes)->isChecked());
    QVERIFY(!Box(w, Control::HiRes)->isChecked());
    QCOMPARE(Box(w, Control::LoRes)->text(), QString("Lo Res"));
    QCOMPARE(Box(w, Control::MedRes)->text(), QString("Med Res"));
    QCOMPARE(Box(w, Control::HiRes)->text(), QString("Hi Res"));

    QCOMPARE(Text(w, Control::HeightfieldName), QString("height01.bmp"));
    QCOMPARE(Text(w, Control::PlacementName), QString("tree01.bmp"));

    for (Control id : {Control::About, Control::Help, Control::Load, Control::Save, Control::Create,
                       Control::Preview, Control::HeightfieldBrowse, Control::PlacementBrowse}) {
        QVERIFY(w.control(id)->isEnabled());
    }
    QVERIFY(!w.control(Control::Stop)->isEnabled());
    QCOMPARE(Button(w, Control::Stop)->text(), QString("Stop"));
    QVERIFY(!w.isBusy());
    QVERIFY(dialogs.messages.empty());
}

void MainWindowTest::layoutMatchesTheClientPixelGeometry()
{
    ProgramDir program;
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);

    // The Stop button covers the pixels its disabled-button help area names.
    QCOMPARE(w.control(Control::Stop)->geometry(), QRect(QPoint(521, 205), QPoint(595, 227)));
    // Each colour box's fill lies just inside its black frame.
    for (int box = 0; box < kColourBoxCount; ++box) {
        const QRect frame = w.control(ColourFrameOf(box))->geometry();
        const QRect fill = ColourBoxes()[static_cast<std::size_t>(box)].fill;
        QCOMPARE(frame.adjusted(1, 1, -1, -1), fill);
    }
    // The atmosphere preview picture sits inside its frame.
    const QRect previewFrame = w.control(Control::AtmospherePreviewFrame)->geometry();
    QVERIFY(previewFrame.adjusted(1, 1, -1, -1).contains(kAtmospherePreviewRect));
    QCOMPARE(kAtmospherePreviewRect, QRect(318, 155, 85, 118));
    // Every control lies inside the client area.
    for (const ControlSpec& spec : Layout())
        QVERIFY2(QRect(QPoint(0, 0), w.size()).contains(w.control(spec.id)->geometry()), spec.caption);
    QCOMPARE(qobject_cast<GroupFrame*>(w.control(Control::TreesGroup))->title(), QString(" Trees && Rocks "));
}

void MainWindowTest::resolutionBoxesAreOneOfThree()
{
    ProgramDir program;
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);
    w.show();

    auto checked = [&] {
        return QList<bool>{Box(w, Control::LoRes)->isChecked(), Box(w, Control::MedRes)->isChecked(),
                           Box(w, Control::HiRes)->isChecked()};
    };
    QTest::mouseClick(Box(w, Control::HiRes), Qt::LeftButton);
    QCOMPARE(checked(), QList<bool>({false, false, true}));
    QCOMPARE(w.settings().resolution, 2);

    // Clicking the checked box keeps it checked.
    QTest::mouseClick(Box(w, Control::HiRes), Qt::LeftButton);
    QCOMPARE(checked(), QList<bool>({false, false, true}));
    QCOMPARE(w.settings().resolution, 2);

    QTest::mouseClick(Box(w, Control::MedRes), Qt::LeftButton);
    QCOMPARE(checked(), QList<bool>({false, true, false}));
    QCOMPARE(w.settings().resolution, 1);

    QTest::mouseClick(Box(w, Control::LoRes), Qt::LeftButton);
    QCOMPARE(checked(), QList<bool>({true, false, false}));
    QCOMPARE(w.settings().resolution, 0);
}

void MainWindowTest::listsSetTheirFields()
{
    ProgramDir program;
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);
    w.show();

    // As the user picks entries (keyboard on the focused list).
    auto pick = [&](Control id, int index) {
        QComboBox* box = List(w, id);
        box->setFocus();
        while (box->currentIndex() < index) QTest::keyClick(box, Qt::Key_Down);
        while (box->currentIndex() > index) QTest::keyClick(box, Qt::Key_Up);
    };
    pick(Control::BaseList, 0);
    pick(Control::Cover1List, 7);
    pick(Control::Cover2List, 4);
    pick(Control::CloudsList, 1);
    pick(Control::OceanList, 3);
    QCOMPARE(w.settings().baseindex, 0);
    QCOMPARE(w.settings().cover1index, 7);
    QCOMPARE(w.settings().cover2index, 4);
    QCOMPARE(w.settings().atmosphereindex, 1);
    QCOMPARE(w.settings().oceanindex, 3);

    pick(Control::BaseList, 3);
    pick(Control::OceanList, 0);
    QCOMPARE(w.settings().baseindex, 3);
    QCOMPARE(w.settings().oceanindex, 0);
}

void MainWindowTest::cancelledBrowseChangesNothing()
{
    ProgramDir program;
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);
    w.show();
    const ProjectSettings before = w.settings();

    QTest::mouseClick(w.control(Control::HeightfieldBrowse), Qt::LeftButton);
    QTest::mouseClick(w.control(Control::PlacementBrowse), Qt::LeftButton);

    QCOMPARE(dialogs.fileDialogs.size(), std::size_t(2));
    const FileDialogRequest& height = dialogs.fileDialogs[0].request;
    QVERIFY(!dialogs.fileDialogs[0].save);
    QCOMPARE(height.title, QString("Open The Bitmap To Be Used For The Heightfield . . ."));
    QCOMPARE(height.filter, QString("Bitmaps (*.BMP)"));
    QCOMPARE(ToStdString(height.directory), before.basedir);
    QCOMPARE(height.fileName, QString("height01.bmp"));
    const FileDialogRequest& trees = dialogs.fileDialogs[1].request;
    QCOMPARE(trees.title, QString("Open The Bitmap To Be Used For The Trees & Rocks . . ."));
    QCOMPARE(trees.filter, QString("Bitmaps (*.BMP)"));
    QCOMPARE(ToStdString(trees.directory), before.treedir);
    QCOMPARE(trees.fileName, QString("tree01.bmp"));

    QCOMPARE(w.settings(), before);
    QCOMPARE(Text(w, Control::HeightfieldName), QString("height01.bmp"));
    QCOMPARE(Text(w, Control::PlacementName), QString("tree01.bmp"));
}

void MainWindowTest::browseNamesTheFileWithoutOpeningIt()
{
    ProgramDir program;
    test::ScratchDir elsewhere;
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);
    w.show();

    // Neither file exists: Browse only names it.
    dialogs.answers = {elsewhere.qpath() + "/ridge.bmp", elsewhere.qpath() + "/forest.bmp"};
    QTest::mouseClick(w.control(Control::HeightfieldBrowse), Qt::LeftButton);
    QCOMPARE(w.settings().basebmp, std::string("ridge.bmp"));
    QCOMPARE(w.settings().basedir, NormaliseDirectory(elsewhere.path()));
    QCOMPARE(Text(w, Control::HeightfieldName), QString("ridge.bmp"));
    QCOMPARE(w.settings().treebmp, std::string("tree01.bmp"));

    QTest::mouseClick(w.control(Control::PlacementBrowse), Qt::LeftButton);
    QCOMPARE(w.settings().treebmp, std::string("forest.bmp"));
    QCOMPARE(w.settings().treedir, NormaliseDirectory(elsewhere.path()));
    QCOMPARE(Text(w, Control::PlacementName), QString("forest.bmp"));
    QVERIFY(dialogs.messages.empty());

    // The next dialog starts at the new choice.
    QTest::mouseClick(w.control(Control::HeightfieldBrowse), Qt::LeftButton);
    QCOMPARE(dialogs.fileDialogs.back().request.fileName, QString("ridge.bmp"));
    QCOMPARE(ToStdString(dialogs.fileDialogs.back().request.directory), NormaliseDirectory(elsewhere.path()));
}

void MainWindowTest::aboutBoxShowsProductAndCredit()
{
    ProgramDir program;
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);
    w.show();

    QStringList texts;
    bool modal = false;
    QWidget* parent = nullptr;
    OnNextModal([&](QWidget* box) {
        modal = box->isModal();
        parent = box->parentWidget();
        for (QLabel* line : box->findChildren<QLabel*>()) texts << line->text();
        QPushButton* ok = box->findChild<QPushButton*>();
        QVERIFY(ok);
        QCOMPARE(ok->text(), QString("OK"));
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    QTest::mouseClick(w.control(Control::About), Qt::LeftButton);
    // Back here only once OK closed the box.
    QVERIFY(modal);
    QCOMPARE(parent, &w);
    QCOMPARE(texts, QStringList({"Kelvane v2.0", "Special thanks to IJG for the JPEG coding."}));
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void MainWindowTest::surfaceMouseWhileIdle()
{
    ProgramDir program;
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QSignalSpy presses(&w, &MainWindow::surfaceLeftPress);
    QSignalSpy releases(&w, &MainWindow::surfaceLeftRelease);
    QSignalSpy doubles(&w, &MainWindow::surfaceLeftDoubleClick);
    QSignalSpy rights(&w, &MainWindow::surfaceRightRelease);
    QSignalSpy controlRights(&w, &MainWindow::controlRightRelease);

    // Through the window system, as real input arrives: over a colour box
    // (inside its frame) and over a label, both reach the window itself.
    QWindow* window = w.windowHandle();
    const QPoint overLabel = w.control(Control::BaseColour1Label)->geometry().topLeft() + QPoint(3, 3);
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(40, 40));
    QTest::mouseClick(window, Qt::LeftButton, {}, overLabel);
    QCOMPARE(presses.count(), 2);
    QCOMPARE(presses.at(0).first().toPoint(), QPoint(40, 40));
    QCOMPARE(presses.at(1).first().toPoint(), overLabel);
    QCOMPARE(releases.count(), 2);

    QTest::mouseDClick(window, Qt::LeftButton, {}, QPoint(40, 70));
    QCOMPARE(doubles.count(), 1);
    QCOMPARE(doubles.first().first().toPoint(), QPoint(40, 70));

    QTest::mouseClick(window, Qt::RightButton, {}, QPoint(360, 200));
    QCOMPARE(rights.count(), 1);
    QCOMPARE(rights.first().first().toPoint(), QPoint(360, 200));

    // A right click over the disabled Stop button reaches the window too,
    // in window coordinates (its help is looked up by position).
    QVERIFY(!w.control(Control::Stop)->isEnabled());
    QTest::mouseClick(window, Qt::RightButton, {}, QPoint(530, 210));
    QCOMPARE(rights.count(), 2);
    QCOMPARE(rights.last().first().toPoint(), QPoint(530, 210));

    // Over an enabled control, the control is named instead.
    const int pressesBefore = presses.count();
    QTest::mouseClick(window, Qt::RightButton, {}, w.control(Control::Create)->geometry().center());
    QCOMPARE(rights.count(), 2);
    QCOMPARE(controlRights.count(), 1);
    QCOMPARE(controlRights.first().first().value<Control>(), Control::Create);
    QCOMPARE(presses.count(), pressesBefore);
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
