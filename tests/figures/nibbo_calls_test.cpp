// Figure 5 against the recording GL: its stillness before the kick, the head
// lift while it talks and its arms.
#include <algorithm>
#include <vector>

#include "figure_calls.h"

using namespace figtest;

TEST_F(FigureTest, NibboHoldsItsSpinAtZeroAndAppliesNoneOfItWhileAKickWaits)
{
    scene.kickPending = true;
    scene.spinSpeedX = 4;
    scene.spinSpeedY = -3;
    scene.spinSpeedZ = 2;
    for (int frame = 0; frame < 3; frame++) {
        scene.spinAngleX[5] = 33;
        Draw(DrawNibbo);
        EXPECT_EQ(scene.spinAngleX[5], 0);
        EXPECT_EQ(scene.spinAngleY[5], 0);
        EXPECT_EQ(scene.spinAngleZ[5], 0);
        ASSERT_EQ(BaseTransforms().size(), 0u);  // the offset comes in a second push
    }
}

TEST_F(FigureTest, NibboRollsOnlyWhileTalkingAndLiftsItsHeadByTheRoll)
{
    struct {
        bool talking;
        int roll;
        int calls;
        float lift;
    } rows[] = {{false, 19, 0, 0.02f}, {true, 19, 1, 0.21f}, {true, 0, 1, 0.02f}, {true, 39, 1, 0.21f}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "talking " << row.talking << " roll " << row.roll);
        SetUp();
        scene.nibboTalking = row.talking;
        scene.clockNow = 1.0f;
        ScriptRand({row.roll});
        Draw(DrawNibbo);
        EXPECT_EQ(RandCalls(), row.calls);
        // The lift is the first translate at depth 4 (upper head frame).
        const Call* lift = nullptr;
        for (const Call& c : recgl::Calls())
            if (c.op == Op::Translate && c.depth == 4) {
                lift = &c;
                break;
            }
        ASSERT_NE(lift, nullptr);
        EXPECT_FLOAT_EQ((float)lift->a[0], 0.0f);
        EXPECT_NEAR(lift->a[1], row.lift, 1e-6);
    }
}

TEST_F(FigureTest, NibboArmsSwingBetweenSidewaysAndForward)
{
    float highest = 0;
    for (int frame = 1; frame <= 180; frame++) {
        Draw(DrawNibbo);
        highest = std::max(highest, scene.nibboSwing);
        ASSERT_GE(scene.nibboSwing, 0.0f);
        ASSERT_LE(scene.nibboSwing, 90.0f);
        if (frame == 90) {
            EXPECT_EQ(scene.nibboSwing, 90.0f);
            std::vector<double> arms;
            for (const Call& c : recgl::Of(Op::Rotate))
                if (c.depth == 4 && c.a[2] == 1)
                    arms.push_back(c.a[0]);
            EXPECT_EQ(arms, (std::vector<double>{0, 0}));  // straight forward
        }
    }
    EXPECT_EQ(scene.nibboSwing, 0.0f);
    EXPECT_EQ(highest, 90.0f);
}
