// Figure 3 against the recording GL: the approach before the kick and its arms
// in the lament.
#include <vector>

#include "figure_calls.h"

using namespace figtest;

TEST_F(FigureTest, TavikKickApproachWindsBackStepsBackThenHandsOver)
{
    struct {
        int x, y, z;
        int callsToActive;  // the largest angle, never fewer than the slide's seven
    } rows[] = {
        {0, 0, 0, 7}, {3, -2, 1, 7}, {10, -12, 4, 12}, {-30, 25, 0, 30}, {359, 0, -359, 359},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.x << ", " << row.y << ", " << row.z);
        SetUp();
        scene.spinSpeedX = 5;  // speeds are ignored while the kick waits
        scene.spinSpeedY = -4;
        scene.spinSpeedZ = 3;
        scene.spinAngleX[3] = row.x;
        scene.spinAngleY[3] = row.y;
        scene.spinAngleZ[3] = row.z;
        scene.kickPending = true;
        int calls = 0;
        while (!scene.kickActive && calls < 400) {
            const int before[3] = {scene.spinAngleX[3], scene.spinAngleY[3], scene.spinAngleZ[3]};
            const int after[3] = {before[0] - (before[0] > 0) + (before[0] < 0),
                                  before[1] - (before[1] > 0) + (before[1] < 0),
                                  before[2] - (before[2] > 0) + (before[2] < 0)};
            Draw(DrawTavik);
            calls++;
            ASSERT_EQ(scene.spinAngleX[3], after[0]);
            ASSERT_EQ(scene.spinAngleY[3], after[1]);
            ASSERT_EQ(scene.spinAngleZ[3], after[2]);
            // The step back comes first, then the angles as they now stand.
            auto base = BaseTransforms();
            ASSERT_GE(base.size(), 4u);
            ExpectCall(base[0], Op::Translate, 0, 0, -scene.kickSlide);
            ExpectCall(base[1], Op::Rotate, after[0], 1, 0, 0);
        }
        EXPECT_EQ(calls, row.callsToActive);
        EXPECT_GT(scene.kickSlide, 0.65f);
        if (calls > 7) {
            EXPECT_EQ(scene.kickSlide, 0.7f) << "held at exactly 0.7 after the seventh step";
        }
        // In the scene it stays back, square to the viewer, without winding.
        const float slide = scene.kickSlide;
        Draw(DrawTavik);
        EXPECT_EQ(scene.kickSlide, slide);
        EXPECT_EQ(scene.spinAngleX[3], 0);
    }
}

TEST_F(FigureTest, TavikHoldsItsArmsOutInTheLament)
{
    scene.lamentActive = true;
    Draw(DrawTavik);
    EXPECT_EQ(ArmTurns(false), (std::vector<double>{35, -35}));
    EXPECT_TRUE(ArmTurns(true).empty()) << "only figure 4 lifts an arm";
}
