// Load and Save from the window: the dialogs, every control after a Load,
// the missing-bitmap question, refused files, the name Save writes under.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QtTest>

#include <fstream>

#include "AppTestSupport.h"
#include "app/MainWindow.h"
#include "platform/Paths.h"
#include "settings/SettingsFile.h"

using namespace kv;
using namespace kv::app;
using kv::app::test::GrabClient;
using kv::app::test::ProgramDir;
using kv::app::test::ScratchDir;
using kv::app::test::ScriptedDialogs;

namespace {

QString ListText(MainWindow& w, Control id) { return qobject_cast<QComboBox*>(w.control(id))->currentText(); }
QString Text(MainWindow& w, Control id) { return qobject_cast<QLabel*>(w.control(id))->text(); }
bool Checked(MainWindow& w, Control id) { return qobject_cast<QCheckBox*>(w.control(id))->isChecked(); }

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void loadUpdatesEveryControl();
    void loadOfAMissingHeightfieldAsksForAnother();
    void saveWritesTheRecordUnderItsName();
};

void SettingsTest::loadUpdatesEveryControl()
{
    ProgramDir program;
    ScratchDir elsewhere;
    test::WriteBmp(elsewhere.file("marks.bmp"), 24, 24, [](int, int) { return 0u; });
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    ProjectSettings file = DefaultSettings(program.path());
    file.basebmp = "height02.bmp";
    file.treebmp = "marks.bmp";
    file.treedir = elsewhere.path();
    file.baseindex = 1;
    file.cover1index = 5;
    file.cover2index = 7;
    file.atmosphereindex = 0;
    file.oceanindex = 4;
    file.resolution = 2;
    file.cover1density = 135;
    file.basecolor1 = {1, 2, 3};
    // Sky, cloud and fog alike: the clear sky preview is that colour everywhere.
    file.sky = file.cloud = file.fog = {10, 120, 30};
    WriteText(elsewhere.file("land.kv"), FormatSettingsFile(file));

    dialogs.answers = {elsewhere.qpath() + "/land.kv"};
    QTest::mouseClick(w.control(Control::Load), Qt::LeftButton);

    QCOMPARE(dialogs.fileDialogs.size(), std::size_t(1));
    const FileDialogRequest& request = dialogs.fileDialogs[0].request;
    QVERIFY(!dialogs.fileDialogs[0].save);
    QCOMPARE(request.title, QString("Load KV File . . ."));
    QCOMPARE(request.filter, QString("KV Files (*.KV)"));
    QCOMPARE(ToStdString(request.directory), program.path());
    QCOMPARE(request.fileName, QString());
    QVERIFY(dialogs.messages.empty());

    QCOMPARE(w.settings(), file);
    QCOMPARE(ListText(w, Control::BaseList), QString("smooth rock"));
    QCOMPARE(ListText(w, Control::Cover1List), QString("gritty-patchy"));
    QCOMPARE(ListText(w, Control::Cover2List), QString("gritty-blotchy"));
    QCOMPARE(ListText(w, Control::CloudsList), QString("clear"));
    QCOMPARE(ListText(w, Control::OceanList), QString("wavy"));
    QVERIFY(!Checked(w, Control::LoRes));
    QVERIFY(!Checked(w, Control::MedRes));
    QVERIFY(Checked(w, Control::HiRes));
    QCOMPARE(Text(w, Control::HeightfieldName), QString("height02.bmp"));
    QCOMPARE(Text(w, Control::PlacementName), QString("marks.bmp"));

    const QImage client = GrabClient(w);
    QCOMPARE(client.pixelColor(kAtmospherePreviewRect.topLeft()), QColor(10, 120, 30));
    QCOMPARE(client.pixelColor(kAtmospherePreviewRect.bottomRight()), QColor(10, 120, 30));
    QCOMPARE(client.pixelColor(ColourBoxes()[0].fill.center()), QColor(1, 2, 3));
    QCOMPARE(client.pixelColor(ColourBoxes()[9].fill.center()), QColor(10, 120, 30));

    // The next Load and Save start at the file just loaded.
    QTest::mouseClick(w.control(Control::Save), Qt::LeftButton);
    QCOMPARE(ToStdString(dialogs.fileDialogs.back().request.directory), NormaliseDirectory(elsewhere.path()));
    QCOMPARE(dialogs.fileDialogs.back().request.fileName, QString("land.kv"));
}

void SettingsTest::loadOfAMissingHeightfieldAsksForAnother()
{
    ProgramDir program;
    ScratchDir elsewhere;
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);
    w.show();

    ProjectSettings file = DefaultSettings(program.path());
    file.basebmp = "gone.bmp";
    file.basedir = elsewhere.path();
    file.oceanindex = 2;
    WriteText(elsewhere.file("lost.kv"), FormatSettingsFile(file));

    // The heightfield dialog that follows the message is cancelled.
    dialogs.answers = {elsewhere.qpath() + "/lost.kv", std::nullopt};
    QTest::mouseClick(w.control(Control::Load), Qt::LeftButton);

    QCOMPARE(dialogs.messages.size(), std::size_t(1));
    const std::string sep(1, PathSeparator());
    QCOMPARE(dialogs.messages[0].text,
             "Can't find or open the file " + elsewhere.path() + sep + "gone.bmp (specified in " +
                 NormaliseDirectory(elsewhere.path()) + sep +
                 "lost.kv). Please find it or select another heightfield bitmap . . .");
    QCOMPARE(dialogs.messages[0].title, std::string("Kelvane Error Message"));
    QCOMPARE(dialogs.fileDialogs.size(), std::size_t(2));
    QCOMPARE(dialogs.fileDialogs[1].request.title,
             QString("Open The Bitmap To Be Used For The Heightfield . . ."));
    QCOMPARE(ToStdString(dialogs.fileDialogs[1].request.directory), program.path());

    QCOMPARE(w.settings().basebmp, std::string());
    QCOMPARE(w.settings().basedir, program.path());
    QCOMPARE(Text(w, Control::HeightfieldName), QString());
    // The rest of the file is loaded.
    QCOMPARE(w.settings().oceanindex, 2);
    QCOMPARE(ListText(w, Control::OceanList), QString("calm"));

    // This time a replacement is picked in the dialog.
    dialogs.answers = {elsewhere.qpath() + "/lost.kv", program.qpath() + "/height03.bmp"};
    QTest::mouseClick(w.control(Control::Load), Qt::LeftButton);
    QCOMPARE(w.settings().basebmp, std::string("height03.bmp"));
    QCOMPARE(Text(w, Control::HeightfieldName), QString("height03.bmp"));
}

void SettingsTest::saveWritesTheRecordUnderItsName()
{
    ProgramDir program;
    ScratchDir elsewhere;
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);
    w.show();
    QTest::mouseClick(w.control(Control::HiRes), Qt::LeftButton);

    // Typed without an extension: ".kv" is added.
    dialogs.answers = {elsewhere.qpath() + "/mine"};
    QTest::mouseClick(w.control(Control::Save), Qt::LeftButton);
    const FileDialogRequest& request = dialogs.fileDialogs[0].request;
    QVERIFY(dialogs.fileDialogs[0].save);
    QCOMPARE(request.title, QString("Save KV File . . ."));
    QCOMPARE(request.filter, QString("KV Files (*.KV)"));
    QCOMPARE(ToStdString(request.directory), program.path());
    QVERIFY(dialogs.messages.empty());
    QCOMPARE(ReadText(elsewhere.file("mine.kv")), FormatSettingsFile(w.settings()));
    QCOMPARE(w.settings().resolution, 2);

    // Saved and loaded back in another window: the same record.
    ScriptedDialogs otherDialogs;
    MainWindow other(program.path(), otherDialogs);
    otherDialogs.answers = {elsewhere.qpath() + "/mine.kv"};
    QTest::mouseClick(other.control(Control::Load), Qt::LeftButton);
    QCOMPARE(other.settings(), w.settings());
    QVERIFY(Checked(other, Control::HiRes));

    // A directory that cannot take the file: the failure is reported.
    dialogs.answers = {elsewhere.qpath() + "/no-such-directory/mine.kv"};
    QTest::mouseClick(w.control(Control::Save), Qt::LeftButton);
    QCOMPARE(dialogs.messages.size(), std::size_t(1));
    QCOMPARE(dialogs.messages[0].title, std::string("Kelvane Error Message"));
}

QTEST_MAIN(SettingsTest)
#include "SettingsTest.moc"
