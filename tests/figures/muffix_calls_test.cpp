// Figure 2 against the recording GL: the lids, the arm swing, the ride on the
// spike.
#include <tuple>
#include <vector>

#include "figure_calls.h"

using namespace figtest;

TEST_F(FigureTest, MuffixFreezesItsSpinInTheMishapButStillAppliesIt)
{
    scene.mishapActive = true;
    scene.mishapEdge = 7;  // no mishap transform for an unknown edge
    scene.spinAngleX[2] = 10;
    Draw(DrawMuffix);
    EXPECT_EQ(scene.spinAngleX[2], 10);
    auto base = BaseTransforms();
    ASSERT_GE(base.size(), 4u);
    ExpectCall(base[0], Op::Rotate, 10, 1, 0, 0);
    ExpectCall(base[3], Op::Translate, 0, 0.5, 0);
}

TEST_F(FigureTest, MuffixLidsOnlyWhileBloodOnClosingToOneTwentieth)
{
    Draw(DrawMuffix);
    EXPECT_EQ(CountSpheres(0.25), 0);
    EXPECT_FLOAT_EQ(scene.muffixLidGap, 0.3f);
    EXPECT_EQ(RandCalls(), 0) << "figure 2 never blinks";

    scene.mishapActive = true;
    scene.bloodOn = true;
    float previous = scene.muffixLidGap;
    for (int frame = 1; frame <= 25; frame++) {
        Draw(DrawMuffix);
        EXPECT_EQ(CountSpheres(0.25), 4);
        EXPECT_LE(scene.muffixLidGap, previous);
        EXPECT_GE(scene.muffixLidGap, 0.05f - 1e-6f);
        previous = scene.muffixLidGap;
    }
    EXPECT_EQ(scene.muffixLidGap, 0.05f);
    Draw(DrawMuffix);
    EXPECT_EQ(scene.muffixLidGap, 0.05f);

    // The lids are cut by planes at +gap and -gap in the eye frame.
    std::vector<double> offsets;
    for (const Call& c : recgl::Of(Op::Translate))
        if (c.depth == 4)
            offsets.push_back(c.a[1]);
    ASSERT_EQ(offsets.size(), 4u);
    EXPECT_FLOAT_EQ((float)offsets[0], 0.05f);
    EXPECT_FLOAT_EQ((float)offsets[1], -0.05f);

    scene.bloodOn = false;
    Draw(DrawMuffix);
    EXPECT_FLOAT_EQ(scene.muffixLidGap, 0.3f);
    EXPECT_EQ(CountSpheres(0.25), 0);
}

TEST_F(FigureTest, MuffixArmSwingStaysWithinItsRangeAndFreezesInTheMishap)
{
    for (int frame = 1; frame <= 300; frame++) {
        Draw(DrawMuffix);
        ASSERT_GE(scene.muffixSwing, 0.0f);
        ASSERT_LE(scene.muffixSwing, 25.0f);
        if (frame == 50) {
            EXPECT_EQ(scene.muffixSwing, 25.0f);
        }
        if (frame == 100 || frame == 200) {
            EXPECT_EQ(scene.muffixSwing, 0.0f);
        }
    }
    EXPECT_EQ(scene.muffixSwingStep, 0.5f);

    // Arms turn by +(swing + 20) and -(swing + 20) about Y.
    Draw(DrawMuffix);
    std::vector<double> arms;
    const auto& calls = recgl::Calls();
    for (size_t i = 1; i < calls.size(); i++)
        if (calls[i].op == Op::Cylinder && calls[i].a[0] == 0.15 && calls[i - 1].op == Op::Rotate)
            arms.push_back(calls[i - 1].a[0]);
    ASSERT_EQ(arms.size(), 2u);
    EXPECT_FLOAT_EQ((float)arms[0], scene.muffixSwing + 20.0f);
    EXPECT_FLOAT_EQ((float)arms[1], -20.0f - scene.muffixSwing);

    scene.mishapActive = true;
    float frozen = scene.muffixSwing;
    for (int frame = 0; frame < 10; frame++)
        Draw(DrawMuffix);
    EXPECT_EQ(scene.muffixSwing, frozen);
}

TEST_F(FigureTest, MuffixTurnsAndLeavesWithTheSpike)
{
    struct {
        int edge;
        bool leaving;
        std::vector<std::tuple<Op, double, double, double, double>> expected;
    } rows[] = {
        {0, false, {{Op::Rotate, 90, 0, 1, 0}}},
        {1, true, {{Op::Translate, 0, -2.5, 0, 0}, {Op::Rotate, 90, 0, 1, 0}}},
        {2, true, {{Op::Translate, -2.5, 0, 0, 0}, {Op::Rotate, 90, 1, 0, 0}}},
        {3, false, {{Op::Rotate, -90, 1, 0, 0}}},
        {3, true, {{Op::Translate, 2.5, 0, 0, 0}, {Op::Rotate, -90, 1, 0, 0}}},
        {4, true, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "edge " << row.edge << " leaving " << row.leaving);
        SetUp();
        scene.mishapActive = true;
        scene.mishapEdge = row.edge;
        scene.spikeLeaving = row.leaving;
        scene.spikeHeight = -2.5f;
        scene.spikeSpin = 90;
        Draw(DrawMuffix);
        auto base = BaseTransforms();
        ASSERT_EQ(base.size(), row.expected.size() + 4);  // + spin triple and lift
        for (size_t i = 0; i < row.expected.size(); i++) {
            auto [op, a, b, c, d] = row.expected[i];
            ExpectCall(base[i], op, a, b, c, d);
        }
        ExpectCall(base[row.expected.size()], Op::Rotate, 0, 1, 0, 0);
    }
}
