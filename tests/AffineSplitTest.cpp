// Splitting the scene's matrices into the turn, scale and move a glTF node
// takes: one node where the columns are perpendicular, two where they shear.
#include <gtest/gtest.h>

#include <cmath>

#include "core/model/KindModels.h"
#include "core/writers/gltf/AffineSplit.h"

namespace kv::gltf {
namespace {

double Distance(const Matrix34& a, const Matrix34& b)
{
    double worst = 0;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) worst = std::max(worst, std::fabs(a.m[r][c] - b.m[r][c]));
    return worst;
}

Matrix34 FromRows(const double rows[3][4])
{
    Matrix34 m;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) m.m[r][c] = rows[r][c];
    return m;
}

TEST(AffineSplit, PerpendicularColumnsMakeOneNode)
{
    // A quarter turn about z, scaled 2, 3 and 0.5 along the turned axes, moved.
    const double rows[3][4] = {{0, -3, 0, 1.5}, {2, 0, 0, -2}, {0, 0, 0.5, 7}};
    const auto parts = SplitAffine(FromRows(rows));
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_NEAR(parts[0].scale[0], 2, 1e-12);
    EXPECT_NEAR(parts[0].scale[1], 3, 1e-12);
    EXPECT_NEAR(parts[0].translation[2], 7, 1e-12);
    EXPECT_NEAR(parts[0].rotation[2], std::sqrt(0.5), 1e-12);  // about z
    EXPECT_LT(Distance(ComposeTrs(parts), FromRows(rows)), 1e-12);
    // A mirror keeps one node with a negative scale.
    const double mirrored[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -2, 0}};
    const auto flip = SplitAffine(FromRows(mirrored));
    ASSERT_EQ(flip.size(), 1u);
    EXPECT_LT(Distance(ComposeTrs(flip), FromRows(mirrored)), 1e-12);
}

TEST(AffineSplit, ShearedMatricesMakeAnOuterAndAnInnerNode)
{
    // Scaled along the scene's axes after a turn: the placed trees' case.
    const double a = 0.7;
    const double rows[3][4] = {{0.3 * std::cos(a), 0.3 * std::sin(a), 0, 1},
                               {-1.7 * std::sin(a), 1.7 * std::cos(a), 0, 2},
                               {0, 0, 0.9, 3}};
    const auto parts = SplitAffine(FromRows(rows));
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_LT(Distance(ComposeTrs(parts), FromRows(rows)), 1e-12);
    for (const TrsParts& p : parts) {
        const double length = std::hypot(std::hypot(p.rotation[0], p.rotation[1]), std::hypot(p.rotation[2], p.rotation[3]));
        EXPECT_NEAR(length, 1.0, 1e-12);
    }
    EXPECT_EQ(parts[1].scale, (std::array<double, 3>{1, 1, 1}));
    EXPECT_EQ(parts[1].translation, (std::array<double, 3>{0, 0, 0}));
    // A sheared matrix with a mirror in it.
    const double mirror[3][4] = {{1, 0.4, 0.1, 0}, {0, -1, 0.2, 0}, {0.3, 0, 1.2, 0}};
    EXPECT_LT(Distance(ComposeTrs(SplitAffine(FromRows(mirror))), FromRows(mirror)), 1e-12);
}

TEST(AffineSplit, EveryPartOfEveryKindIsRebuiltExactly)
{
    for (int k = 0; k < kObjectKindCount; ++k) {
        const KindModel& model = ModelOfKind(static_cast<ObjectKind>(k));
        std::vector<LocalMatrix> locals{model.groupLocal};
        for (const KindPart& part : model.parts) locals.push_back(part.local);
        for (const LocalMatrix& local : locals) {
            Matrix34 m;
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 4; ++c) m.m[r][c] = local.m[r][c];
            EXPECT_LT(Distance(ComposeTrs(SplitAffine(m)), m), 1e-9) << k;
        }
    }
}

}  // namespace
}  // namespace kv::gltf
