// A whole scene from the default settings and the stock files of the build
// tree, read back by an independent reader.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "IndependentReader.h"
#include "OneAnswerFrontEnd.h"
#include "TestSupport.h"
#include "core/platform/Paths.h"
#include "core/job/CreationJob.h"

namespace kv {
namespace {

using AnswerOnce = test::OneAnswerFrontEnd;

TEST(IndependentReader, AdaptationTouchesOnlyTheKnownFaults)
{
    const std::string text =
        "Scen V0.04 Id 0000002 Parent 0 Size -1\r\nROpt V0.02 Id 0 Parent 0000002 Size -1\r\n"
        "PolH V0.02 Id 0000003 Parent 0000002 Size -1\r\nrgb 0,128,255\r\nrgb 0.5,0.25,1.000000\r\n"
        "Face verts 3 flags 0 mat 0\r\n<0,0> <1,1> <2,2> \r\nHole verts 3\r\n<3,3> <4,4> <5,5> \r\n"
        "Lght V0.03 Id 0000004 Parent 0000002 Size -1\r\nName sun\r\nUnit V0.01 Id 0000005 Parent 0000004 Size -1\r\n"
        "Units 2\r\nGrou V0.01 Id 0000006 Parent 0000002 Size -1\r\nEND V1.00 Id 0 Parent 0 Size 0";
    const std::string adapted = test::AdaptForIndependentReader(text);
    EXPECT_NE(adapted.find("ROpt V0.02 Id 0 Parent 0000002"), std::string::npos);
    EXPECT_NE(adapted.find("PolH V0.02 Id 0000003 Parent 0000000"), std::string::npos);
    EXPECT_NE(adapted.find("rgb 0, 128, 255\r\nrgb 0.5, 0.25, 1.000000\r\n"), std::string::npos);
    // The hole's pair line and the whole light chunk with its Unit chunk go.
    EXPECT_NE(adapted.find("<0,0> <1,1> <2,2> \r\nHole verts 3\r\nGrou V0.01 Id 0000006 Parent 0000000"),
              std::string::npos)
        << adapted;
    EXPECT_EQ(adapted.find("Lght"), std::string::npos);
    EXPECT_EQ(adapted.find("Units 2"), std::string::npos);
    EXPECT_EQ(adapted.substr(adapted.size() - 30), "END V1.00 Id 0 Parent 0 Size 0");
}

TEST(FullScene, DefaultCreationIsReadByAnIndependentReader)
{
    const std::string program = test::ProgramDir();
    if (!std::filesystem::exists(JoinPath(program, "height01.bmp"))) GTEST_SKIP() << "no stock heightfield";
    test::ScratchDir scenes;
    Session session;
    AnswerOnce ui(SceneFileChoice{scenes.path(), "valley", true, {}});
    CreationJob job(DefaultSettings(program), session, ui, program);
    ASSERT_EQ(job.Run(), JobOutcome::Finished) << (ui.messages.empty() ? "" : ui.messages.back().text);
    const std::string scenePath = scenes.File("valley.scn");
    const std::string text = test::ReadFile(scenePath);

    // Count what the scene holds.
    const std::regex polh("\nPolH V");
    const long polhCount = std::distance(std::sregex_iterator(text.begin(), text.end(), polh), std::sregex_iterator());
    EXPECT_GE(polhCount, 1);
    // Every PolH, Grou and Came chunk is one node for the reader, under its root.
    const std::regex object("\n(PolH|Grou|Came) V");
    const long objectCount =
        std::distance(std::sregex_iterator(text.begin(), text.end(), object), std::sregex_iterator());

    const auto summary = test::ReadWithIndependentReader(scenePath);
    if (!summary) GTEST_SKIP() << "assimp is not installed";
    ASSERT_TRUE(summary->loaded) << summary->output.substr(0, 2000);
    // The reader keeps identical meshes once (placed trees and rocks share
    // their mesh tables), so it may count fewer meshes than PolH chunks.
    EXPECT_GE(summary->meshes, 1) << summary->output.substr(0, 2000);
    EXPECT_LE(summary->meshes, polhCount) << summary->output.substr(0, 2000);
    EXPECT_EQ(summary->nodes, objectCount + 1) << summary->output.substr(0, 2000);
}

}  // namespace
}  // namespace kv
