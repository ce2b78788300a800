// The six sample settings files of the program directory: well-formed
// settings files that load without complaint and show in the window.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QtTest>

#include <filesystem>
#include <set>

#include "AppTestSupport.h"
#include "app/MainWindow.h"
#include "app/SliderControls.h"
#if __has_include("settings/SettingsFile.h")
#include "core/inputs/SettingsFile.h"
#define KV_HAVE_SETTINGS_FILE 1
#endif

using namespace kv;
using namespace kv::app;
using kv::app::test::ProgramDir;
using kv::app::test::ScriptedDialogs;

namespace {

const char* const kSamples[] = {"sample1.kv", "sample2.kv", "sample3.kv", "sample4.kv", "sample5.kv", "sample6.kv"};

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// A program directory holding every bitmap the samples name (small stand-ins
// where the build has not generated the stock ones). The samples name their
// bitmaps' directory "." - the settings file's own directory - so they load
// wherever the program directory is installed: the working directory is
// moved elsewhere while this lives, to show that it plays no part.
class SampleProgramDir : public ProgramDir {
public:
    SampleProgramDir() : previous_(QDir::currentPath())
    {
        for (const char* stem : {"01", "02", "03", "04", "05", "06"})
            for (const std::string& name : {std::string("height") + stem + ".bmp", std::string("tree") + stem + ".bmp"})
                if (!std::filesystem::exists(file(name)))
                    test::WriteBmp(file(name), 24, 24, [](int, int) { return 0u; });
        QDir::setCurrent(elsewhere_.qpath());
    }
    ~SampleProgramDir() { QDir::setCurrent(previous_); }

private:
    QString previous_;
    test::ScratchDir elsewhere_;
};

}  // namespace

class SampleSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void everySampleIsASixtyTwoLineSettingsFile();
    void samplesLoadWithoutComplaint();
    void loadedSampleShowsInTheWindow();
};

void SampleSettingsTest::everySampleIsASixtyTwoLineSettingsFile()
{
    ProgramDir program;
    std::set<QByteArray> bitmaps;
    for (const char* sample : kSamples) {
        const QByteArray bytes = ReadAll(QDir(program.qpath()).filePath(sample));
        QVERIFY2(!bytes.isEmpty(), sample);
        // CR LF line ends only, the last line ended too.
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QList<QByteArray> lines = bytes.split('\n');
        lines.removeLast();
        QCOMPARE(lines.size(), 62);
        QCOMPARE(lines[0], QByteArray("KVVersion=2.0\r"));
        for (const QByteArray& line : lines) QVERIFY2(line.indexOf('=') > 0, line.constData());
        QVERIFY(lines[1].startsWith("basebmp=") && lines[3].startsWith("treebmp="));
        bitmaps.insert(lines[1]);
        // The bitmaps are named without a machine's directory.
        QCOMPARE(lines[2], QByteArray("basedir=.\r"));
        QCOMPARE(lines[4], QByteArray("treedir=.\r"));
        QCOMPARE(lines[61].left(7), QByteArray("oceanB="));
    }
    // Six different landscapes.
    QCOMPARE(bitmaps.size(), std::size(kSamples));
}

void SampleSettingsTest::samplesLoadWithoutComplaint()
{
#ifdef KV_HAVE_SETTINGS_FILE
    SampleProgramDir program;
    std::vector<ProjectSettings> loaded;
    for (const char* sample : kSamples) {
        ProjectSettings record = DefaultSettings(program.path());
        std::vector<Message> shown;
        SettingsLoadHooks hooks;
        hooks.show = [&](const Message& message) { shown.push_back(message); };
        QVERIFY2(LoadSettingsFile(program.path(), sample, program.path(), record, hooks), sample);
        QVERIFY2(shown.empty(), shown.empty() ? sample : shown.front().text.c_str());
        QCOMPARE(record.basedir, program.path());
        QCOMPARE(record.treedir, program.path());
        // Everything in range: Save would write the record back as it is.
        const std::optional<std::string> refusal = CheckSettingsRecord(record);
        QVERIFY2(!refusal, refusal ? refusal->c_str() : sample);
        loaded.push_back(record);
    }
    // Distinct looks: each its own sky colour; together every base material,
    // every cloud type and every ocean.
    std::set<int> bases, skies, oceans;
    for (std::size_t i = 0; i < loaded.size(); ++i) {
        bases.insert(loaded[i].baseindex);
        skies.insert(loaded[i].atmosphereindex);
        oceans.insert(loaded[i].oceanindex);
        for (std::size_t j = i + 1; j < loaded.size(); ++j) QVERIFY(!(loaded[i].sky == loaded[j].sky));
    }
    QCOMPARE(bases.size(), std::size_t(4));
    QCOMPARE(skies.size(), std::size_t(4));
    QCOMPARE(oceans.size(), std::size_t(5));
#else
    QSKIP("this build has no settings file");
#endif
}

void SampleSettingsTest::loadedSampleShowsInTheWindow()
{
#ifdef KV_HAVE_SETTINGS_FILE
    SampleProgramDir program;
    ScriptedDialogs dialogs;
    MainWindow window(program.path(), dialogs);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    dialogs.answers = {QDir(program.qpath()).filePath("sample3.kv")};
    QTest::mouseClick(window.control(Control::Load), Qt::LeftButton);
    QVERIFY(dialogs.messages.empty());
    const ProjectSettings& s = window.settings();
    QVERIFY(!(s == DefaultSettings(program.path())));
    auto* sliders = window.findChild<SliderControls*>();
    for (int marker = 0; marker < kMarkerCount; ++marker) {
        const int x = s.*Markers()[marker].field;
        QCOMPARE(sliders->markerWidget(marker)->x(), x);
    }
    QCOMPARE(qobject_cast<QComboBox*>(window.control(Control::OceanList))->currentIndex(), s.oceanindex);
    const QColor ocean(s.ocean.r, s.ocean.g, s.ocean.b);
    QCOMPARE(test::Grab(window).pixelColor(ColourBoxes()[12].hit.center()), ocean);
#else
    QSKIP("this build has no settings file");
#endif
}

QTEST_MAIN(SampleSettingsTest)
#include "SampleSettingsTest.moc"
