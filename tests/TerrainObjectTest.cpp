// The terrain object and the scene file's fixed frame, read back as text.
#include <gtest/gtest.h>

#include <sstream>

#include "TestSupport.h"
#include "core/inputs/HeightGrid.h"
#include "core/basics/Messages.h"
#include "core/basics/JobControl.h"
#include "core/model/EnvironmentBuilder.h"
#include "core/model/TerrainBuilder.h"
#include "core/writers/scn/ScnSceneWriter.h"
#include "core/writers/scn/SceneWriter.h"

namespace kv {
namespace {

std::vector<std::string> SplitCrLf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
}

HeightGrid GridFromPicture(int n, std::uint8_t (*value)(int, int))
{
    test::ScratchDir dir;
    test::WriteGreyBmp(dir.File("h.bmp"), n, n, value);
    return BuildHeightGrid(LoadHeightfield(dir.path(), "h.bmp"));
}

std::string TerrainText(const HeightGrid& grid, std::int32_t parent = 7)
{
    test::ScratchDir dir;
    Session session;
    SilentControl control;
    {
        // The terrain alone under a group of the given id.
        Scene scene;
        const int earth = AddPlainGroup(scene, "earth", scene.Root());
        const int terrain = AddTerrain(scene, std::make_shared<const HeightGrid>(grid), earth);
        SceneWriter writer(session);
        EXPECT_TRUE(writer.Open(dir.File("t.scn")));
        ScnNodeWriter nodes(scene, "/scenes", writer, control);
        nodes.AssignId(earth, parent);
        nodes.WriteNode(terrain);
        writer.Close();
    }
    return test::ReadFile(dir.File("t.scn"));
}

std::size_t IndexOf(const std::vector<std::string>& lines, const std::string& prefix, std::size_t from = 0)
{
    for (std::size_t i = from; i < lines.size(); ++i)
        if (lines[i].rfind(prefix, 0) == 0) return i;
    return lines.size();
}

TEST(TerrainObject, ThreeByThreeCountsAndPatchedFaceLine)
{
    const HeightGrid grid = GridFromPicture(3, [](int, int) -> std::uint8_t { return 100; });
    const std::vector<std::string> lines = SplitCrLf(TerrainText(grid));
    EXPECT_EQ(lines[1], "PolH V0.02 Id 0000002 Parent 0000007 Size -1");
    EXPECT_EQ(lines[2], "Name terrain");
    const std::size_t world = IndexOf(lines, "World Vertices");
    EXPECT_EQ(lines[world], "World Vertices 13");
    const std::size_t texture = IndexOf(lines, "Texture Vertices");
    EXPECT_EQ(texture - world - 1, 13u);
    EXPECT_EQ(lines[texture], "Texture Vertices 22");
    const std::size_t faces = IndexOf(lines, "Faces");
    EXPECT_EQ(faces - texture - 1, 22u);
    // The count overwrites the blanks only: the line keeps its 26 characters.
    EXPECT_EQ(lines[faces], "Faces 13" + std::string(18, ' '));
    EXPECT_EQ(IndexOf(lines, "Unit V0.01") - faces - 1, 26u);  // 13 faces, two lines each
    // Every grid triangle uses material 0, every surround face material 2.
    int grid0 = 0, surround2 = 0;
    for (const std::string& line : lines) {
        if (line == "Face verts 3 flags 0 mat 0") ++grid0;
        if (line.rfind("Face verts", 0) == 0 && line.size() > 6 && line.substr(line.size() - 6) == " mat 2")
            ++surround2;
    }
    EXPECT_EQ(grid0, 8);
    EXPECT_EQ(surround2, 5);
}

TEST(TerrainObject, WhitePictureRaisesOnlyTheVertexOutsideTheBorderBand)
{
    const HeightGrid grid = GridFromPicture(4, [](int, int) -> std::uint8_t { return 255; });
    const std::vector<std::string> lines = SplitCrLf(TerrainText(grid));
    const std::size_t world = IndexOf(lines, "World Vertices");
    int raised = 0;
    for (int y = 0; y < 4; ++y)
        for (int j = 0; j < 4; ++j) {
            const std::string& line = lines[world + 1 + y * 4 + j];
            std::istringstream in(line);
            double x, yy, z;
            in >> x >> yy >> z;
            if (z != 0.0) {
                ++raised;
                EXPECT_EQ(j, 1);
                EXPECT_EQ(y, 2);
                EXPECT_NE(line.find(" 3.333333"), std::string::npos) << line;
            }
        }
    EXPECT_EQ(raised, 1);
    // Surround corners follow the grid, at -0.01.
    EXPECT_EQ(lines[world + 17], "0.000000 0.000000 -0.010000");
    EXPECT_EQ(lines[world + 19], "200.000000 200.000000 -0.010000");
}

TEST(TerrainObject, PlanarTextureVerticesCoverTheTerrainOnce)
{
    const HeightGrid grid = GridFromPicture(5, [](int x, int y) -> std::uint8_t { return (x * 40 + y * 7) & 255; });
    const std::vector<std::string> lines = SplitCrLf(TerrainText(grid));
    const std::size_t texture = IndexOf(lines, "Texture Vertices");
    const std::size_t planar = texture + 1 + 25 + 4;
    EXPECT_EQ(lines[texture + 26], "1.000000 1.000000");
    EXPECT_EQ(lines[texture + 29], "1.000000 0.000000");
    EXPECT_EQ(lines[planar], "0.525000 0.525000");
    EXPECT_EQ(lines[planar + 24], "0.475000 0.475000");
    // Grid vertex (0,0) sits at 95,95; its first face pairs name the planar block.
    EXPECT_EQ(lines[IndexOf(lines, "World Vertices") + 1].substr(0, 20), "95.000000 95.000000 ");
    const std::size_t faces = IndexOf(lines, "Faces");
    EXPECT_EQ(lines[faces + 2], "<6,35> <0,29> <5,34>");
    EXPECT_EQ(lines[faces + 4], "<6,35> <1,30> <0,29>");
}

TEST(TerrainObject, SurroundFacesJoinEachGridEdgeToItsCorners)
{
    const HeightGrid grid = GridFromPicture(3, [](int, int) -> std::uint8_t { return 0; });
    const std::vector<std::string> lines = SplitCrLf(TerrainText(grid));
    const std::size_t unit = IndexOf(lines, "Unit V0.01");
    EXPECT_EQ(lines[unit - 10], "Face verts 4 flags 0 mat 2");
    EXPECT_EQ(lines[unit - 9], "<12,12> <9,9> <10,10> <11,11>");
    EXPECT_EQ(lines[unit - 8], "Face verts 5 flags 0 mat 2");
    EXPECT_EQ(lines[unit - 7], "<6,19> <3,16> <0,13> <9,9> <12,12>");
    EXPECT_EQ(lines[unit - 5], "<8,21> <7,20> <6,19> <12,12> <11,11>");
    EXPECT_EQ(lines[unit - 3], "<2,15> <5,18> <8,21> <11,11> <10,10>");
    EXPECT_EQ(lines[unit - 1], "<0,13> <1,14> <2,15> <10,10> <9,9>");
}

TEST(TerrainObject, MaterialsNameTheSceneDirectory)
{
    const HeightGrid grid = GridFromPicture(3, [](int, int) -> std::uint8_t { return 0; });
    const std::string text = TerrainText(grid);
    const std::string sep(1, text.find("/scenes\\") != std::string::npos ? '\\' : '/');
    EXPECT_NE(text.find("mat# 0\r\nshader: phong  facet: smooth\r\nrgb 0,0,0\r\nalpha 1  ka 0  ks 0  exp 0  ior 1\r\n"
                        "texture: /scenes" + sep + "tex1.jpg\r\noffset .5,.5  repeats 20,20  flags 2\r\n"
                        "bump: /scenes" + sep + "bump1.jpg\r\noffset .5,.5  repeats 20,20  amp 0.02  flags 2\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("mat# 1\r\nshader: phong  facet: smooth\r\nrgb 64,64,64\r\nalpha 1  ka 0  ks 0  exp 0  ior 1\r\n"
                        "Mat1"),
              std::string::npos);
    EXPECT_NE(text.find("texture: /scenes" + sep + "tex2.jpg\r\n"), std::string::npos);
    EXPECT_NE(text.find("bump: /scenes" + sep + "bump2.jpg\r\n"), std::string::npos);
}

TEST(SceneWriter, HeaderChunksIdsAndEnd)
{
    test::ScratchDir dir;
    Session session;
    for (int creation = 0; creation < 2; ++creation) {
        SceneWriter writer(session);
        ASSERT_TRUE(writer.Open(dir.File("s.scn")));
        const std::int32_t sceneId = writer.WriteSceneHeaderChunks();
        writer.Unit(sceneId);
        writer.Close();
        const std::string text = test::ReadFile(dir.File("s.scn"));
        const std::vector<std::string> lines = SplitCrLf(text);
        EXPECT_EQ(lines[0], "Caligari V00.01ALH" + std::string(13, ' '));
        // The second creation continues the numbering of the first.
        EXPECT_EQ(sceneId, creation == 0 ? 2 : 4);
        EXPECT_EQ(lines[1], "Scen V0.04 Id " + Id7(sceneId) + " Parent 0 Size -1");
        EXPECT_EQ(lines[IndexOf(lines, "ROpt")], "ROpt V0.02 Id 0 Parent " + Id7(sceneId) + " Size -1");
        EXPECT_EQ(lines[IndexOf(lines, "center -5.82077e-011")], "center -5.82077e-011 251 0.08039544");
        // The file ends with "Size 0" and no line end; no bare line feed anywhere.
        EXPECT_EQ(lines.back(), "END V1.00 Id 0 Parent 0 Size 0");
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') {
                ASSERT_EQ(text[i - 1], '\r') << i;
            }
        }
    }
}

TEST(SceneWriter, LongIdsAreWrittenInFullAndPatchesLandInPlace)
{
    test::ScratchDir dir;
    Session session;
    session.SetLastId(12345677);
    SceneWriter writer(session);
    ASSERT_TRUE(writer.Open(dir.File("s.scn")));
    writer.ChunkHeader("Grou", "V0.01", writer.NextId(), 3);
    const std::uint64_t at = writer.Tell();
    writer.Line("Faces     ");
    // Push the patched line out of the buffer before patching it.
    for (int i = 0; i < 200000; ++i) writer.Line("0.000000 0.000000");
    writer.Patch(at + 6, "42");
    writer.Close();
    const std::vector<std::string> lines = SplitCrLf(test::ReadFile(dir.File("s.scn")));
    EXPECT_EQ(lines[1], "Grou V0.01 Id 12345678 Parent 0000003 Size -1");
    EXPECT_EQ(lines[2], "Faces 42  ");
    EXPECT_EQ(lines.size(), 200004u);
}

TEST(SceneWriter, AFullDiskIsAFailureNotASilentSuccess)
{
    Session session;
    SceneWriter writer(session);
    if (!writer.Open("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    try {
        for (int i = 0; i < 100000; ++i) writer.Line("0.000000 0.000000 0.000000");
        writer.Close();
        FAIL() << "the write error went unnoticed";
    } catch (const JobFailure& failure) {
        EXPECT_EQ(failure.message.text, "Error writing /dev/full.");
    }
}

}  // namespace
}  // namespace kv
