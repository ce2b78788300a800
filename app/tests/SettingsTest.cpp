// Load and Save from the window: the dialogs, every control after a Load,
// the missing-bitmap question, the name Save writes under.
#include <QtTest>

#include <fstream>

#include "AppTestSupport.h"
#include "core/platform/Paths.h"
#include "core/inputs/SettingsFile.h"

using namespace kv;
using namespace kv::app;
using namespace kv::app::test;

namespace {

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

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
    WindowFixture f;
    MainWindow& w = f.w();
    ScratchDir elsewhere;
    WriteBmp(elsewhere.file("marks.bmp"), 24, 24, [](int, int) { return 0u; });
    ProjectSettings file = DefaultSettings(f.program.path());
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

    f.dialogs.answers = {elsewhere.qfile("land.kv")};
    QTest::mouseClick(w.control(Control::Load), Qt::LeftButton);
    const FileDialogRequest& request = f.dialogs.fileDialogs.at(0).request;
    QCOMPARE(request.title, QString("Load KV File . . ."));
    QCOMPARE(request.filter, QString("KV Files (*.KV)"));
    QCOMPARE(ToStdString(request.directory), f.program.path());
    QVERIFY(f.dialogs.messages.empty());

    QCOMPARE(w.settings(), file);
    const std::pair<Control, const char*> shown[] = {
        {Control::BaseList, "smooth rock"},     {Control::Cover1List, "gritty-patchy"},
        {Control::Cover2List, "gritty-blotchy"}, {Control::CloudsList, "clear"},
        {Control::OceanList, "wavy"},           {Control::HeightfieldName, "height02.bmp"},
        {Control::PlacementName, "marks.bmp"},
    };
    for (const auto& [id, text] : shown) QCOMPARE(ShownText(w, id), QString(text));
    QVERIFY(!Checked(w, Control::LoRes) && !Checked(w, Control::MedRes) && Checked(w, Control::HiRes));
    const QImage client = Grab(w);
    QCOMPARE(client.pixelColor(318, 155), QColor(10, 120, 30));
    QCOMPARE(client.pixelColor(402, 272), QColor(10, 120, 30));
    QCOMPARE(client.pixelColor(ColourBoxes()[0].fill.center()), QColor(1, 2, 3));

    // The next dialog starts at the file just loaded.
    QTest::mouseClick(w.control(Control::Save), Qt::LeftButton);
    QCOMPARE(ToStdString(f.dialogs.fileDialogs.back().request.directory), NormaliseDirectory(elsewhere.path()));
    QCOMPARE(f.dialogs.fileDialogs.back().request.fileName, QString("land.kv"));
}

void SettingsTest::loadOfAMissingHeightfieldAsksForAnother()
{
    WindowFixture f;
    MainWindow& w = f.w();
    ScratchDir elsewhere;
    ProjectSettings file = DefaultSettings(f.program.path());
    file.basebmp = "gone.bmp";
    file.basedir = elsewhere.path();
    file.oceanindex = 2;
    WriteText(elsewhere.file("lost.kv"), FormatSettingsFile(file));

    // The heightfield dialog that follows the message is cancelled.
    f.dialogs.answers = {elsewhere.qfile("lost.kv"), std::nullopt};
    QTest::mouseClick(w.control(Control::Load), Qt::LeftButton);
    QCOMPARE(f.dialogs.messages.size(), std::size_t(1));
    QCOMPARE(f.dialogs.messages[0].text,
             "Can't find or open the file " + JoinPath(elsewhere.path(), "gone.bmp") + " (specified in " +
                 JoinPath(NormaliseDirectory(elsewhere.path()), "lost.kv") +
                 "). Please find it or select another heightfield bitmap . . .");
    QCOMPARE(f.dialogs.messages[0].title, std::string("Kelvane Error Message"));
    QCOMPARE(f.dialogs.fileDialogs.size(), std::size_t(2));
    QCOMPARE(f.dialogs.fileDialogs[1].request.title, QString("Open The Bitmap To Be Used For The Heightfield . . ."));
    QCOMPARE(ToStdString(f.dialogs.fileDialogs[1].request.directory), f.program.path());
    QCOMPARE(w.settings().basebmp, std::string());
    QCOMPARE(ShownText(w, Control::HeightfieldName), QString());
    // The rest of the file is loaded.
    QCOMPARE(ShownText(w, Control::OceanList), QString("calm"));

    // This time a replacement is picked.
    f.dialogs.answers = {elsewhere.qfile("lost.kv"), f.program.qfile("height03.bmp")};
    QTest::mouseClick(w.control(Control::Load), Qt::LeftButton);
    QCOMPARE(w.settings().basebmp, std::string("height03.bmp"));
    QCOMPARE(ShownText(w, Control::HeightfieldName), QString("height03.bmp"));
}

void SettingsTest::saveWritesTheRecordUnderItsName()
{
    WindowFixture f;
    MainWindow& w = f.w();
    ScratchDir elsewhere;
    QTest::mouseClick(w.control(Control::HiRes), Qt::LeftButton);

    // Typed without an extension: ".kv" is added.
    f.dialogs.answers = {elsewhere.qfile("mine")};
    QTest::mouseClick(w.control(Control::Save), Qt::LeftButton);
    const FileDialogRequest& request = f.dialogs.fileDialogs.at(0).request;
    QVERIFY(f.dialogs.fileDialogs[0].save);
    QCOMPARE(request.title, QString("Save KV File . . ."));
    QCOMPARE(request.filter, QString("KV Files (*.KV)"));
    QVERIFY(f.dialogs.messages.empty());
    QCOMPARE(ReadText(elsewhere.file("mine.kv")), FormatSettingsFile(w.settings()));

    // Loaded back in another window: the same record.
    ScriptedDialogs otherDialogs;
    MainWindow other(f.program.path(), otherDialogs);
    otherDialogs.answers = {elsewhere.qfile("mine.kv")};
    QTest::mouseClick(other.control(Control::Load), Qt::LeftButton);
    QCOMPARE(other.settings(), w.settings());
    QVERIFY(Checked(other, Control::HiRes));

    // A directory that does not exist: the failure is reported.
    f.dialogs.answers = {elsewhere.qfile("no-such-directory/mine.kv")};
    QTest::mouseClick(w.control(Control::Save), Qt::LeftButton);
    QCOMPARE(f.dialogs.messages.size(), std::size_t(1));
    QCOMPARE(f.dialogs.messages[0].title, std::string("Kelvane Error Message"));
}

QTEST_MAIN(SettingsTest)
#include "SettingsTest.moc"
