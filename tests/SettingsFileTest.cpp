// The settings file: its written form, what Load accepts and refuses, the
// missing-bitmap path, the file-name rule and KEY=VALUE assignments.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <vector>

#include "TestSupport.h"
#include "core/platform/Paths.h"
#include "core/inputs/SettingsFields.h"
#include "core/inputs/SettingsFile.h"
#include "core/inputs/SettingsReader.h"

namespace kv {
namespace {

using test::ReadFile;
using test::ScratchDir;
using test::WriteFile;

std::vector<std::string> SplitCrLf(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(pos));
            break;
        }
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

std::string JoinCrLf(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
}

// A record differing from the defaults in every field, all values storable.
ProjectSettings Unusual(const std::string& dir)
{
    ProjectSettings s;
    s.basebmp = "my land = 1.bmp";
    s.basedir = dir;
    s.treebmp = "placement\rmap.bmp";  // a lone CR belongs to the value
    s.treedir = dir;
    s.baseindex = 3;
    s.cover1index = 7;
    s.cover2index = 5;
    s.atmosphereindex = 0;
    s.oceanindex = 4;
    s.resolution = 2;
    s.cover1altitudemin = 120;
    s.cover1altitudemax = 126;
    s.cover1slopemin = 195;
    s.cover1slopemax = 201;
    s.cover1density = 195;
    s.cover2altitudemin = 214;
    s.cover2altitudemax = 220;
    s.cover2slopemin = 250;
    s.cover2slopemax = 299;
    s.cover2density = 214;
    s.treessize = 415;
    s.rockssize = 495;
    s.demedge = 1201;
    s.demrange = 4810;
    std::uint8_t v = 0;
    for (RgbColor* c : {&s.basecolor1, &s.basecolor2, &s.basecolor3, &s.cover1color1, &s.cover1color2,
                        &s.cover1color3, &s.cover2color1, &s.cover2color2, &s.cover2color3, &s.sky, &s.cloud,
                        &s.fog, &s.ocean}) {
        c->r = v;
        c->g = static_cast<std::uint8_t>(255 - v);
        c->b = static_cast<std::uint8_t>(v * 7);
        v = static_cast<std::uint8_t>(v + 19);
    }
    return s;
}

// A settings directory with the two default bitmaps beside the file.
class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteFile(dir.File("height01.bmp"), std::string("x"));
        WriteFile(dir.File("tree01.bmp"), std::string("x"));
        defaults = DefaultSettings(dir.path());
        programDir = dir.path() + "/program";
    }

    // Loads `bytes` as "test.kv" into `record`, collecting the messages.
    bool Load(const std::string& bytes, ProjectSettings& record)
    {
        WriteFile(dir.File("test.kv"), bytes);
        return LoadSettingsFile(dir.path(), "test.kv", programDir, record, hooks);
    }

    ScratchDir dir;
    ProjectSettings defaults;
    std::string programDir;
    std::vector<Message> shown;
    std::vector<BitmapRole> offered;
    SettingsLoadHooks hooks{[this](const Message& m) { shown.push_back(m); },
                            [this](BitmapRole role, const std::string&) -> std::optional<BitmapChoice> {
                                offered.push_back(role);
                                return std::nullopt;
                            }};
};

// ---------------------------------------------------------------- written form

TEST_F(SettingsFileTest, DefaultFileHasTheSixtyTwoLinesThenTheElevationKeysWithTheDocumentedValues)
{
    const std::string bytes = FormatSettingsFile(defaults);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    const std::vector<std::string> lines = SplitCrLf(bytes);
    ASSERT_EQ(lines.size(), 64u);
    // Every line end is CR LF: no bare LF and no stray CR remain in a line.
    for (const std::string& l : lines) {
        EXPECT_EQ(l.find('\n'), std::string::npos) << l;
        EXPECT_EQ(l.find('\r'), std::string::npos) << l;
    }
    EXPECT_EQ(lines[0], "KVVersion=2.0");
    const std::string d = dir.path();
    const std::vector<std::string> expected = {"basebmp=height01.bmp", "basedir=" + d, "treebmp=tree01.bmp",
                                               "treedir=" + d,         "baseindex=2",   "cover1index=0",
                                               "cover2index=0",        "atmosphereindex=3", "oceanindex=0",
                                               "resolution=0",         "cover1altitudemin=115"};
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i + 1], expected[i]);
    EXPECT_EQ(lines[23], "basecolor1R=181");
    EXPECT_EQ(lines[59], "oceanR=179");
    EXPECT_EQ(lines[60], "oceanG=211");
    EXPECT_EQ(lines[61], "oceanB=255");
    // After the 62 lines every version reads: the keys read by name.
    EXPECT_EQ(lines[62], "demedge=0");
    EXPECT_EQ(lines[63], "demrange=0");
}

TEST_F(SettingsFileTest, KeysFollowTheFileOrder)
{
    const std::vector<std::string>& keys = SettingsKeys();
    ASSERT_EQ(keys.size(), 63u);
    EXPECT_EQ(keys.front(), "basebmp");
    EXPECT_EQ(keys[9], "resolution");
    EXPECT_EQ(keys[21], "rockssize");
    EXPECT_EQ(keys[22], "basecolor1R");
    EXPECT_EQ(keys[24], "basecolor1B");
    EXPECT_EQ(keys[48], "cover2color3B");
    EXPECT_EQ(keys[49], "skyR");
    EXPECT_EQ(keys[60], "oceanB");
    EXPECT_EQ(keys[61], "demedge");
    EXPECT_EQ(keys.back(), "demrange");
    const std::vector<std::string> lines = SplitCrLf(FormatSettingsFile(defaults));
    for (std::size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(lines[i + 1].substr(0, keys[i].size() + 1), keys[i] + "=");
}

TEST(SettingsFileName, KvIsAppendedUnlessTheNameEndsInLowerCaseKv)
{
    EXPECT_EQ(SettingsFileNameFor("valley"), "valley.kv");
    EXPECT_EQ(SettingsFileNameFor("valley.kv"), "valley.kv");
    EXPECT_EQ(SettingsFileNameFor("a.kv"), "a.kv");
    EXPECT_EQ(SettingsFileNameFor("valley.KV"), "valley.KV.kv");
    EXPECT_EQ(SettingsFileNameFor("valley.Kv"), "valley.Kv.kv");
    // Exactly ".kv" is not longer than 3 characters.
    EXPECT_EQ(SettingsFileNameFor(".kv"), ".kv.kv");
    EXPECT_EQ(SettingsFileNameFor("kv"), "kv.kv");
    EXPECT_EQ(SettingsFileNameFor(""), ".kv");
    EXPECT_EQ(SettingsFileNameFor("x.kv.txt"), "x.kv.txt.kv");
}

// ---------------------------------------------------------------- save and load

TEST_F(SettingsFileTest, SaveThenLoadGivesTheSameRecord)
{
    for (const ProjectSettings& original : {defaults, Unusual(dir.path())}) {
        WriteFile(dir.File(original.basebmp), std::string("x"));
        WriteFile(dir.File(original.treebmp), std::string("x"));
        const std::string path = dir.File("saved.kv");
        ASSERT_FALSE(SaveSettingsFile(path, original).has_value());
        const std::string bytes = ReadFile(path);
        EXPECT_EQ(bytes, FormatSettingsFile(original));
        EXPECT_EQ(SplitCrLf(bytes).size(), 64u);

        ProjectSettings loaded;  // differs from `original` before the load
        loaded.basebmp = "other";
        ASSERT_TRUE(LoadSettingsFile(dir.path(), "saved.kv", programDir, loaded, hooks));
        EXPECT_EQ(loaded, original);
        EXPECT_TRUE(shown.empty());
        EXPECT_TRUE(offered.empty());
    }
}

TEST_F(SettingsFileTest, SaveReplacesAnExistingFileAndLeavesNoPartialFiles)
{
    const std::string path = dir.File("again.kv");
    WriteFile(path, std::string(5000, 'z'));
    ASSERT_FALSE(SaveSettingsFile(path, defaults).has_value());
    EXPECT_EQ(ReadFile(path), FormatSettingsFile(defaults));
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 3);  // the two bitmaps and the settings file
}

TEST_F(SettingsFileTest, SaveReportsAFileThatCannotBeCreated)
{
    const std::string path = dir.File("no such dir") + PathSeparator() + "x.kv";
    const std::optional<Message> m = SaveSettingsFile(path, defaults);
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->text, "Error opening " + path + ".");
    EXPECT_EQ(m->title, kErrorTitle);
    EXPECT_EQ(m->icon, MessageIcon::Error);

    const std::optional<Message> onDir = SaveSettingsFile(dir.path(), defaults);
    ASSERT_TRUE(onDir.has_value());
    EXPECT_EQ(onDir->text, "Error opening " + dir.path() + ".");
}

TEST_F(SettingsFileTest, SaveRefusesARecordThatCouldNotLoadAgain)
{
    const std::string path = dir.File("kept.kv");
    WriteFile(path, std::string("old"));
    struct Case {
        const char* key;
        std::function<void(ProjectSettings&)> spoil;
    };
    const Case cases[] = {
        {"basedir", [](ProjectSettings& s) { s.basedir = std::string(260, 'd'); }},
        {"treebmp", [](ProjectSettings& s) { s.treebmp = "two\nlines"; }},
        {"basebmp", [](ProjectSettings& s) { s.basebmp = std::string("nul\0x", 5); }},
        {"oceanindex", [](ProjectSettings& s) { s.oceanindex = 5; }},
        {"cover2slopemax", [](ProjectSettings& s) { s.cover2slopemax = 219; }},
        {"rockssize", [](ProjectSettings& s) { s.rockssize = 496; }},
    };
    for (const Case& c : cases) {
        ProjectSettings s = defaults;
        c.spoil(s);
        const std::optional<Message> m = SaveSettingsFile(path, s);
        ASSERT_TRUE(m.has_value()) << c.key;
        EXPECT_NE(m->text.find(path), std::string::npos) << m->text;
        EXPECT_NE(m->text.find(c.key), std::string::npos) << m->text;
        EXPECT_EQ(m->title, kErrorTitle);
        EXPECT_EQ(ReadFile(path), "old");
    }
    // A text of exactly 259 characters is still stored and loads.
    ProjectSettings longest = defaults;
    longest.treedir = dir.path() + PathSeparator();
    longest.treedir += std::string(259 - longest.treedir.size(), 't');
    std::filesystem::create_directory(longest.treedir);
    WriteFile(JoinPath(longest.treedir, longest.treebmp), std::string("x"));
    ASSERT_FALSE(SaveSettingsFile(path, longest).has_value());
    ProjectSettings loaded;
    ASSERT_TRUE(LoadSettingsFile(dir.path(), "kept.kv", programDir, loaded, hooks));
    EXPECT_EQ(loaded, longest);
}

// ---------------------------------------------------------------- version line

TEST_F(SettingsFileTest, VersionTwoWrittenAnyDecimalWayLoads)
{
    std::vector<std::string> lines = SplitCrLf(FormatSettingsFile(Unusual(dir.path())));
    WriteFile(dir.File(Unusual(dir.path()).basebmp), std::string("x"));
    WriteFile(dir.File(Unusual(dir.path()).treebmp), std::string("x"));
    for (const char* version : {"2", "2.00", "2.", " 2.0", "+2", "2.0abc", "20e-1", "0.2E1"}) {
        lines[0] = std::string("KVVersion=") + version;
        ProjectSettings record = defaults;
        EXPECT_TRUE(Load(JoinCrLf(lines), record)) << version;
        EXPECT_EQ(record, Unusual(dir.path())) << version;
    }
    EXPECT_TRUE(shown.empty());
}

TEST_F(SettingsFileTest, AnyOtherVersionChangesNothingAndSaysSo)
{
    std::vector<std::string> lines = SplitCrLf(FormatSettingsFile(Unusual(dir.path())));
    for (const char* version : {"1.0", "2.1", "", "abc", "-2", "0x2", "2.0000001", "+-2", "inf", "nan", "1e999"}) {
        lines[0] = std::string("KVVersion=") + version;
        shown.clear();
        ProjectSettings record = defaults;
        EXPECT_FALSE(Load(JoinCrLf(lines), record)) << version;
        EXPECT_EQ(record, defaults) << version;
        ASSERT_EQ(shown.size(), 1u) << version;
        EXPECT_EQ(shown[0].text, "Invalid Version in the .kv file you loaded");
        EXPECT_EQ(shown[0].title, "Kelvane Error Message");
        EXPECT_EQ(shown[0].icon, MessageIcon::Error);
    }
    EXPECT_TRUE(offered.empty());
}

// ---------------------------------------------------------------- reading by position

TEST_F(SettingsFileTest, OnlyThePositionOfALineCounts)
{
    const ProjectSettings original = Unusual(dir.path());
    WriteFile(dir.File(original.basebmp), std::string("x"));
    WriteFile(dir.File(original.treebmp), std::string("x"));
    std::vector<std::string> lines = SplitCrLf(FormatSettingsFile(original));
    // The 62 lines every version reads; the lines after them go by key.
    for (std::size_t i = 0; i < static_cast<std::size_t>(kSettingsLineCount); ++i) {
        const std::size_t eq = lines[i].find('=');
        lines[i] = "other key " + std::to_string(i) + lines[i].substr(eq);
    }
    ProjectSettings record = defaults;
    ASSERT_TRUE(Load(JoinCrLf(lines), record));
    EXPECT_EQ(record, original);
}

TEST_F(SettingsFileTest, ValueIsEverythingAfterTheFirstEqualsUpToTheLineEnd)
{
    std::vector<std::string> lines = SplitCrLf(FormatSettingsFile(defaults));
    lines[1] = "basebmp==a=b ";   // value "=a=b "
    lines[3] = "treebmp=\rc\r";  // only the CR before LF belongs to the line end
    WriteFile(dir.File("=a=b "), std::string("x"));
    WriteFile(dir.File("\rc\r"), std::string("x"));
    ProjectSettings record;
    ASSERT_TRUE(Load(JoinCrLf(lines), record));
    EXPECT_EQ(record.basebmp, "=a=b ");
    EXPECT_EQ(record.treebmp, "\rc\r");
}

TEST_F(SettingsFileTest, BareLineFeedsAndAMissingFinalLineEndAreAccepted)
{
    const ProjectSettings original = Unusual(dir.path());
    WriteFile(dir.File(original.basebmp), std::string("x"));
    WriteFile(dir.File(original.treebmp), std::string("x"));
    std::string text;
    const std::vector<std::string> lines = SplitCrLf(FormatSettingsFile(original));
    for (std::size_t i = 0; i < lines.size(); ++i) text += lines[i] + (i + 1 < lines.size() ? "\n" : "");
    ProjectSettings record;
    ASSERT_TRUE(Load(text, record));
    EXPECT_EQ(record, original);
    // Lines after the 62nd that set no field are passed over.
    ProjectSettings again;
    ASSERT_TRUE(Load(FormatSettingsFile(original) + "garbage without equals\r\n" + std::string(100000, 'g'), again));
    EXPECT_EQ(again, original);
}

TEST_F(SettingsFileTest, NumbersAreConvertedLikeTheCLibraryIntegerConversion)
{
    std::vector<std::string> lines = SplitCrLf(FormatSettingsFile(defaults));
    lines[5] = "baseindex= \t+3xyz";       // blanks, sign, stops at the first non-digit
    lines[6] = "cover1index=";             // no digits: 0
    lines[7] = "cover2index=-0";
    lines[8] = "atmosphereindex=1.9";      // stops at "."
    lines[11] = "cover1altitudemin=0130";  // leading zeros are decimal
    ProjectSettings record;
    ASSERT_TRUE(Load(JoinCrLf(lines), record));
    EXPECT_EQ(record.baseindex, 3);
    EXPECT_EQ(record.cover1index, 0);
    EXPECT_EQ(record.cover2index, 0);
    EXPECT_EQ(record.atmosphereindex, 1);
    EXPECT_EQ(record.cover1altitudemin, 130);
}

TEST_F(SettingsFileTest, ColourComponentsKeepTheirLowEightBits)
{
    std::vector<std::string> lines = SplitCrLf(FormatSettingsFile(defaults));
    lines[23] = "basecolor1R=300";
    lines[24] = "basecolor1G=-1";
    lines[25] = "basecolor1B=256";
    lines[59] = "oceanR=99999999999";   // held at the 32-bit limit 2147483647: low bits 255
    lines[60] = "oceanG=-99999999999";  // held at -2147483648: low bits 0
    lines[61] = "oceanB=x";
    ProjectSettings record;
    ASSERT_TRUE(Load(JoinCrLf(lines), record));
    EXPECT_EQ(record.basecolor1, (RgbColor{44, 255, 0}));
    EXPECT_EQ(record.ocean, (RgbColor{255, 0, 0}));
    EXPECT_EQ(record.basecolor2, defaults.basecolor2);
}

// ---------------------------------------------------------------- refused files

struct Spoiled {
    std::string what;
    int line;  // 1-based line named in the message
    std::string key;
    std::function<void(std::vector<std::string>&)> spoil;
};

TEST_F(SettingsFileTest, MalformedFileIsRefusedWholeNamingFileLineAndKey)
{
    const std::vector<Spoiled> cases = {
        {"empty file", 1, "KVVersion", [](auto& l) { l.clear(); }},
        {"ends early", 41, "cover1color3B", [](auto& l) { l.resize(40); }},
        {"ends before the last line", 62, "oceanB", [](auto& l) { l.resize(61); }},
        {"no equals", 30, "basecolor3R", [](auto& l) { l[29] = "basecolor3R 126"; }},
        {"line too long", 7, "cover1index", [](auto& l) { l[6] = "cover1index=" + std::string(987, '0'); }},
        {"text too long", 3, "basedir", [](auto& l) { l[2] = "basedir=" + std::string(260, 'd'); }},
        {"NUL in text", 4, "treebmp", [](auto& l) { l[3] = std::string("treebmp=a\0b", 11); }},
        {"baseindex", 6, "baseindex", [](auto& l) { l[5] = "baseindex=4"; }},
        {"cover1index", 7, "cover1index", [](auto& l) { l[6] = "cover1index=8"; }},
        {"cover2index", 8, "cover2index", [](auto& l) { l[7] = "cover2index=-1"; }},
        {"atmosphereindex", 9, "atmosphereindex", [](auto& l) { l[8] = "atmosphereindex=4"; }},
        {"oceanindex", 10, "oceanindex", [](auto& l) { l[9] = "oceanindex=5"; }},
        {"resolution", 11, "resolution", [](auto& l) { l[10] = "resolution=3"; }},
        {"min before its track", 12, "cover1altitudemin", [](auto& l) { l[11] = "cover1altitudemin=114"; }},
        {"min too near the end", 14, "cover1slopemin", [](auto& l) { l[13] = "cover1slopemin=196"; }},
        {"max past its track", 15, "cover1slopemax", [](auto& l) { l[14] = "cover1slopemax=202"; }},
        {"max too near its min", 13, "cover1altitudemax",
         [](auto& l) { l[11] = "cover1altitudemin=150"; l[12] = "cover1altitudemax=155"; }},
        {"cover1density", 16, "cover1density", [](auto& l) { l[15] = "cover1density=196"; }},
        {"cover2altitudemin", 17, "cover2altitudemin", [](auto& l) { l[16] = "cover2altitudemin=213"; }},
        {"cover2 pair", 20, "cover2slopemax",
         [](auto& l) { l[18] = "cover2slopemin=260"; l[19] = "cover2slopemax=265"; }},
        {"cover2density", 21, "cover2density", [](auto& l) { l[20] = "cover2density=295"; }},
        {"treessize", 22, "treessize", [](auto& l) { l[21] = "treessize=414"; }},
        {"rockssize", 23, "rockssize", [](auto& l) { l[22] = "rockssize=496"; }},
    };
    for (const Spoiled& c : cases) {
        std::vector<std::string> lines = SplitCrLf(FormatSettingsFile(Unusual(dir.path())));
        c.spoil(lines);
        shown.clear();
        ProjectSettings record = defaults;
        EXPECT_FALSE(Load(JoinCrLf(lines), record)) << c.what;
        EXPECT_EQ(record, defaults) << c.what;
        ASSERT_EQ(shown.size(), 1u) << c.what;
        const std::string& text = shown[0].text;
        EXPECT_NE(text.find(dir.File("test.kv")), std::string::npos) << text;
        EXPECT_NE(text.find("line " + std::to_string(c.line) + " "), std::string::npos) << text;
        EXPECT_NE(text.find("(" + c.key + ")"), std::string::npos) << text;
        EXPECT_EQ(shown[0].title, "Kelvane Error Message");
        EXPECT_EQ(shown[0].icon, MessageIcon::Error);
    }
    // Nothing of a refused file reached the bitmap probe.
    EXPECT_TRUE(offered.empty());
}

TEST_F(SettingsFileTest, LimitsAreInclusive)
{
    std::vector<std::string> lines = SplitCrLf(FormatSettingsFile(defaults));
    lines[6] = "cover1index=" + std::string(985, '0') + "7";  // 998 characters
    lines[11] = "cover1altitudemin=195";                        // 6 short of its max 201
    lines[16] = "cover2altitudemin=214";
    lines[17] = "cover2altitudemax=220";  // touching its min
    lines[20] = "cover2density=294";
    ProjectSettings record;
    ASSERT_TRUE(Load(JoinCrLf(lines), record)) << (shown.empty() ? "" : shown[0].text);
    EXPECT_EQ(record.cover1index, 7);
    EXPECT_EQ(record.cover1altitudemin, 195);
    EXPECT_EQ(record.cover2altitudemax, 220);
}

TEST_F(SettingsFileTest, HugeLineIsRefusedEvenBeyondWhatIsRead)
{
    std::vector<std::string> lines = SplitCrLf(FormatSettingsFile(defaults));
    lines[61] = "oceanB=" + std::string(200000, '1');
    ProjectSettings record = defaults;
    record.sky = RgbColor{1, 2, 3};
    const ProjectSettings before = record;
    EXPECT_FALSE(Load(JoinCrLf(lines), record));
    EXPECT_EQ(record, before);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].text.find("line 62 (oceanB)"), std::string::npos) << shown[0].text;
}

TEST_F(SettingsFileTest, FileThatCannotBeOpenedIsReported)
{
    ProjectSettings record = defaults;
    EXPECT_FALSE(LoadSettingsFile(dir.path(), "absent.kv", programDir, record, hooks));
    EXPECT_EQ(record, defaults);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Error opening " + dir.File("absent.kv") + ".");
    EXPECT_EQ(shown[0].title, "Kelvane Error Message");

    std::filesystem::create_directory(dir.File("folder.kv"));
    EXPECT_FALSE(LoadSettingsFile(dir.path(), "folder.kv", programDir, record, hooks));
    EXPECT_EQ(record, defaults);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "Error opening " + dir.File("folder.kv") + ".");
}

// ---------------------------------------------------------------- missing bitmaps

TEST_F(SettingsFileTest, MissingHeightfieldIsReportedEmptiedAndOfferedWhileTheRestLoads)
{
    ProjectSettings original = Unusual(dir.path());
    original.basebmp = "gone.bmp";
    WriteFile(dir.File(original.treebmp), std::string("x"));
    std::vector<std::string> initialDirs;
    hooks.offerReplacement = [&](BitmapRole role, const std::string& initial) -> std::optional<BitmapChoice> {
        offered.push_back(role);
        initialDirs.push_back(initial);
        return std::nullopt;
    };
    ProjectSettings record = defaults;
    ASSERT_TRUE(Load(FormatSettingsFile(original), record));

    ASSERT_EQ(shown.size(), 1u);
    const char sep = PathSeparator();
    EXPECT_EQ(shown[0].text, "Can't find or open the file " + dir.path() + sep + "gone.bmp (specified in " +
                                 dir.path() + sep + "test.kv). Please find it or select another heightfield bitmap . . .");
    EXPECT_EQ(shown[0].title, "Kelvane Error Message");
    EXPECT_EQ(shown[0].icon, MessageIcon::Error);
    ASSERT_EQ(offered, std::vector<BitmapRole>{BitmapRole::Heightfield});
    EXPECT_EQ(initialDirs, std::vector<std::string>{programDir});

    ProjectSettings expected = original;
    expected.basebmp = "";
    expected.basedir = programDir;
    EXPECT_EQ(record, expected);
}

TEST_F(SettingsFileTest, BothBitmapsMissingAreHandledInFileOrderAndAPickIsTaken)
{
    ProjectSettings original = Unusual(dir.path());
    original.basebmp = "gone1.bmp";
    original.treedir = dir.File("nowhere");
    hooks.offerReplacement = [&](BitmapRole role, const std::string&) -> std::optional<BitmapChoice> {
        offered.push_back(role);
        if (role == BitmapRole::Placement) return BitmapChoice{"/picked/dir", "picked.bmp"};
        return std::nullopt;
    };
    ProjectSettings record = defaults;
    ASSERT_TRUE(Load(FormatSettingsFile(original), record));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_NE(shown[0].text.find("gone1.bmp"), std::string::npos);
    const char sep = PathSeparator();
    EXPECT_EQ(shown[1].text, "Can't find or open the file " + original.treedir + sep + original.treebmp +
                                 " (specified in " + dir.path() + sep +
                                 "test.kv). Please find it or select another heightfield bitmap . . .");
    EXPECT_EQ(offered, (std::vector<BitmapRole>{BitmapRole::Heightfield, BitmapRole::Placement}));
    EXPECT_EQ(record.basebmp, "");
    EXPECT_EQ(record.basedir, programDir);
    EXPECT_EQ(record.treebmp, "picked.bmp");
    EXPECT_EQ(record.treedir, "/picked/dir");
    EXPECT_EQ(record.ocean, original.ocean);
}

TEST_F(SettingsFileTest, WithoutHooksAMissingBitmapStillEmptiesTheField)
{
    ProjectSettings original = defaults;
    original.treebmp = "gone.bmp";
    ProjectSettings record = defaults;
    WriteFile(dir.File("test.kv"), FormatSettingsFile(original));
    ASSERT_TRUE(LoadSettingsFile(dir.path(), "test.kv", programDir, record, SettingsLoadHooks{}));
    EXPECT_EQ(record.treebmp, "");
    EXPECT_EQ(record.treedir, programDir);
    EXPECT_EQ(record.basebmp, "height01.bmp");
}

TEST_F(SettingsFileTest, ADirectoryIsNotAnOpenableBitmap)
{
    ProjectSettings original = defaults;
    original.basebmp = "";  // names the directory itself
    ProjectSettings record = defaults;
    ASSERT_TRUE(Load(FormatSettingsFile(original), record));
    ASSERT_EQ(offered, std::vector<BitmapRole>{BitmapRole::Heightfield});
    EXPECT_EQ(record.basedir, programDir);
}

// ---------------------------------------------------------------- the lines after line 62

// The reader of the settings file as every version before the elevation keys
// had it: the version line, then one line per field of lines 2 to 62 by
// position, checked as today; nothing after line 62 is looked at.
SettingsParse ParseAsTheSixtyTwoLineReader(std::string_view text)
{
    SettingsLineReader reader(text);
    std::string_view value;
    SettingsParse result;
    if (reader.Next(value) != SettingsLineReader::Status::Value || !IsAcceptedVersion(value)) return result;
    for (std::size_t i = 0; i < 61; ++i) {
        const SettingsField& field = SettingsFields()[i];
        if (reader.Next(value) != SettingsLineReader::Status::Value) return result;
        if (field.kind == FieldKind::Text && CheckSettingsText(value)) return result;
        StoreSettingsValue(result.values, field, value);
        if (field.number) {
            std::optional<std::int32_t> partner;
            if (field.kind == FieldKind::MarkerMax) partner = result.values.*field.partner;
            if (CheckSettingsNumber(field, result.values.*field.number, partner)) return result;
        }
    }
    result.status = SettingsParse::Status::Ok;
    return result;
}

TEST_F(SettingsFileTest, ElevationKeysFollowTheSixtyTwoLinesWhereAnEarlierReaderPassesThemOver)
{
    ProjectSettings original = Unusual(dir.path());
    const std::string bytes = FormatSettingsFile(original);
    const std::vector<std::string> lines = SplitCrLf(bytes);
    ASSERT_EQ(lines.size(), 64u);
    EXPECT_EQ(lines[61].rfind("oceanB=", 0), 0u);
    EXPECT_EQ(lines[62], "demedge=1201");
    EXPECT_EQ(lines[63], "demrange=4810");

    // An earlier reader takes the new file and everything it knows of it.
    const SettingsParse old = ParseAsTheSixtyTwoLineReader(bytes);
    ASSERT_EQ(old.status, SettingsParse::Status::Ok);
    ProjectSettings withoutElevation = original;
    withoutElevation.demedge = 0;
    withoutElevation.demrange = 0;
    EXPECT_EQ(old.values, withoutElevation);

    // This reader takes a file of the 62 lines alone: the elevation choices
    // stay automatic, whatever the record held before.
    const std::vector<std::string> first62(lines.begin(), lines.begin() + kSettingsLineCount);
    WriteFile(dir.File(original.basebmp), std::string("x"));
    WriteFile(dir.File(original.treebmp), std::string("x"));
    ProjectSettings record = defaults;
    record.demedge = 300;
    record.demrange = 9000;
    ASSERT_TRUE(Load(JoinCrLf(first62), record));
    EXPECT_EQ(record, withoutElevation);
    // And both keys back, in either order, with lines of a later version
    // between them.
    std::vector<std::string> later = first62;
    for (const char* line : {"demrange=4810", "skyfactor=3", "a line without equals", "", "demedge=7",
                             "demedge=1201"})
        later.push_back(line);
    ASSERT_TRUE(Load(JoinCrLf(later), record)) << (shown.empty() ? "" : shown[0].text);
    EXPECT_EQ(record, original);
    EXPECT_TRUE(shown.empty());
}

TEST_F(SettingsFileTest, ElevationValuesOutsideTheirRangeAreRefusedNamingTheirLine)
{
    const std::vector<std::string> lines = SplitCrLf(FormatSettingsFile(Unusual(dir.path())));
    const std::vector<Spoiled> cases = {
        {"negative edge", 63, "demedge", [](auto& l) { l[62] = "demedge=-1"; }},
        {"edge of one pixel", 63, "demedge", [](auto& l) { l[62] = "demedge=1"; }},
        {"edge above the largest texture", 63, "demedge", [](auto& l) { l[62] = "demedge=2305"; }},
        {"range beyond", 64, "demrange", [](auto& l) { l[63] = "demrange=100001"; }},
        {"range after other lines", 66, "demrange", [](auto& l) { l.insert(l.begin() + 63, 2, "x=1"); l[65] = "demrange=-5"; }},
    };
    for (const Spoiled& c : cases) {
        std::vector<std::string> spoilt = lines;
        c.spoil(spoilt);
        shown.clear();
        ProjectSettings record = defaults;
        EXPECT_FALSE(Load(JoinCrLf(spoilt), record)) << c.what;
        EXPECT_EQ(record, defaults) << c.what;
        ASSERT_EQ(shown.size(), 1u) << c.what;
        EXPECT_NE(shown[0].text.find("line " + std::to_string(c.line) + " (" + c.key + ")"), std::string::npos)
            << shown[0].text;
    }
    // The ends of both ranges load.
    std::vector<std::string> ends = lines;
    ends[62] = "demedge=2304";
    ends[63] = "demrange=100000";
    const ProjectSettings unusual = Unusual(dir.path());
    WriteFile(dir.File(unusual.basebmp), std::string("x"));
    WriteFile(dir.File(unusual.treebmp), std::string("x"));
    ProjectSettings record;
    ASSERT_TRUE(Load(JoinCrLf(ends), record));
    EXPECT_EQ(record.demedge, 2304);
    EXPECT_EQ(record.demrange, 100000);
}

// ---------------------------------------------------------------- KEY=VALUE

TEST(ApplySettingValue, EveryKeyOfTheFileCanBeSetAsLoadWouldReadIt)
{
    ScratchDir dir;
    const ProjectSettings target = Unusual(dir.path());
    const std::vector<std::string> lines = SplitCrLf(FormatSettingsFile(target));
    // Right markers first so every left marker finds its partner in place.
    ProjectSettings record = DefaultSettings("/prog");
    std::vector<std::size_t> order;
    for (std::size_t i = 1; i < lines.size(); ++i) order.push_back(i);
    std::stable_partition(order.begin(), order.end(), [&](std::size_t i) {
        return lines[i].find("max=") != std::string::npos;
    });
    for (std::size_t i : order) {
        const std::size_t eq = lines[i].find('=');
        const std::optional<std::string> error = ApplySettingValue(record, lines[i].substr(0, eq), lines[i].substr(eq + 1));
        EXPECT_FALSE(error.has_value()) << lines[i] << ": " << error.value_or("");
    }
    EXPECT_EQ(record, target);
}

TEST(ApplySettingValue, ConvertsLikeLoad)
{
    ProjectSettings s = DefaultSettings("/prog");
    EXPECT_FALSE(ApplySettingValue(s, "skyR", "300"));
    EXPECT_FALSE(ApplySettingValue(s, "skyG", "-1"));
    EXPECT_FALSE(ApplySettingValue(s, "skyB", " 7 apples"));
    EXPECT_EQ(s.sky, (RgbColor{44, 255, 7}));
    EXPECT_FALSE(ApplySettingValue(s, "resolution", " +2x"));
    EXPECT_EQ(s.resolution, 2);
    EXPECT_FALSE(ApplySettingValue(s, "cover1index", "none"));  // no digits: 0
    EXPECT_EQ(s.cover1index, 0);
    EXPECT_FALSE(ApplySettingValue(s, "basedir", "  spaced dir "));
    EXPECT_EQ(s.basedir, "  spaced dir ");
}

TEST(ApplySettingValue, RefusesWhatLoadRefusesAndKeepsTheRecord)
{
    const ProjectSettings before = DefaultSettings("/prog");
    ProjectSettings s = before;
    auto refused = [&](const std::string& key, const std::string& value, const std::string& mention) {
        const std::optional<std::string> error = ApplySettingValue(s, key, value);
        ASSERT_TRUE(error.has_value()) << key << "=" << value;
        EXPECT_NE(error->find(mention), std::string::npos) << *error;
        EXPECT_EQ(s, before) << key;
    };
    refused("colour", "1", "colour");
    refused("KVVersion", "2.0", "KVVersion");
    refused("BaseIndex", "1", "BaseIndex");
    refused("baseindex", "4", "baseindex");
    refused("oceanindex", "-1", "oceanindex");
    refused("resolution", "3", "resolution");
    refused("cover2index", "8", "cover2index");
    refused("basebmp", std::string(260, 'b'), "basebmp");
    refused("treedir", "a\nb", "treedir");
    refused("cover1altitudemin", "114", "cover1altitudemin");
    refused("cover1altitudemax", "202", "cover1altitudemax");
    refused("cover2density", "213", "cover2density");
    refused("treessize", "496", "treessize");
    refused("demedge", "2305", "demedge");
    refused("demedge", "1", "demedge");
    refused("demrange", "-1", "demrange");
}

TEST(ApplySettingValue, RangeMarkersAreCheckedAgainstTheirCurrentPartner)
{
    ProjectSettings s = DefaultSettings("/prog");
    ASSERT_FALSE(ApplySettingValue(s, "cover1slopemax", "150"));
    EXPECT_TRUE(ApplySettingValue(s, "cover1slopemin", "145"));  // needs at most 144
    EXPECT_FALSE(ApplySettingValue(s, "cover1slopemin", "144"));
    EXPECT_TRUE(ApplySettingValue(s, "cover1slopemax", "149"));  // needs at least 150
    EXPECT_FALSE(ApplySettingValue(s, "cover1slopemax", "150"));
    EXPECT_EQ(s.cover1slopemin, 144);
    EXPECT_EQ(s.cover1slopemax, 150);
    // The other pairs are independent of this one.
    EXPECT_FALSE(ApplySettingValue(s, "cover1altitudemin", "195"));
    EXPECT_FALSE(ApplySettingValue(s, "cover2altitudemax", "220"));
}

}  // namespace
}  // namespace kv

namespace kv::test {
namespace {

// Settings files may name their bitmaps' directory relative to themselves
// (the sample files shipped in the program directory say "."), so they find
// the bitmaps wherever the folder is installed.
TEST(SettingsRelativeDirectories, AreTakenFromTheSettingsFilesOwnDirectory)
{
    ScratchDir dir;
    std::filesystem::create_directories(dir.File("maps"));
    WriteFile(dir.File("maps") + "/h.bmp", std::string("x"));
    WriteFile(dir.File("t.bmp"), std::string("x"));
    ProjectSettings original = DefaultSettings("/elsewhere");
    original.basebmp = "h.bmp";
    original.basedir = "maps";
    original.treebmp = "t.bmp";
    original.treedir = ".";
    WriteFile(dir.File("rel.kv"), FormatSettingsFile(original));
    std::vector<Message> shown;
    SettingsLoadHooks hooks{[&](const Message& m) { shown.push_back(m); }, {}};
    ProjectSettings record = DefaultSettings("/program");
    ASSERT_TRUE(LoadSettingsFile(dir.path(), "rel.kv", "/program", record, hooks));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(record.basedir, JoinPath(dir.path(), "maps"));
    EXPECT_EQ(record.treedir, dir.path());
    EXPECT_EQ(record.basebmp, "h.bmp");
}

}  // namespace
}  // namespace kv::test
