// Figure 4 against the recording GL: its arms in the lament and the glowing
// retch.
#include <algorithm>
#include <vector>

#include "events/events.h"
#include "figure_calls.h"

using namespace figtest;

TEST_F(FigureTest, BexloHoldsItsArmsOutInTheLamentAndLiftsOne)
{
    scene.lamentActive = true;
    for (int call = 1; call <= 45; call++) {
        Draw(DrawBexlo);
        EXPECT_EQ(ArmTurns(false), (std::vector<double>{35, -35}));
        const float expected = std::min(2.0f * call, 80.0f);
        EXPECT_EQ(scene.bexloArmRaise, expected) << "call " << call;
        EXPECT_EQ(ArmTurns(true), (std::vector<double>{-expected}));
    }
    scene.lamentActive = false;
    Draw(DrawBexlo);
    EXPECT_TRUE(ArmTurns(true).empty()) << "the lift shows only in the lament";
}

TEST_F(FigureTest, BexloRetchGlowsForTenSecondsAndRestoresEmissionAndBlending)
{
    struct {
        float elapsed;
        float fade;
        bool drawn;
    } rows[] = {{0.5f, 1.0f, true}, {10.0f, 0.4f, true}, {10.001f, 1.0f, false}, {10.001f, 0.4f, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.elapsed << " s at alpha " << row.fade);
        SetUp();
        ResetSpray();
        ResetRand();
        scene.fadeAlpha = row.fade;
        scene.retchActive = true;
        scene.retchStart = 20.0f;
        scene.clockNow = (float)(20.0 + row.elapsed);
        ScriptRand({1, 3});  // eyes open; a mouth roll that alone keeps it shut
        Draw(DrawBexlo);
        EXPECT_EQ(scene.retchActive, row.drawn);
        EXPECT_EQ(recgl::PointBlocks().size(), row.drawn ? 1u : 0u);
        EXPECT_EQ(recgl::Of(Op::Disk).size(), row.drawn ? 1u : 0u) << "the mouth is open while it retches";

        const auto& calls = recgl::Calls();
        std::vector<size_t> glow, restore, points, blendOn;
        for (size_t i = 0; i < calls.size(); i++) {
            const Call& c = calls[i];
            if (c.op == Op::Material) {
                EXPECT_EQ(c.e[0], (GLenum)GL_FRONT);
                EXPECT_EQ(c.e[1], (GLenum)GL_EMISSION);
                (c.a[1] == 1 ? glow : restore).push_back(i);
                if (c.a[1] == 1) {
                    ExpectCall(c, Op::Material, 0, 1, 0.5);
                } else {
                    ExpectCall(c, Op::Material, 0, 0, 0);
                    EXPECT_EQ(c.a[3], 1.0);
                }
            }
            if (c.op == Op::Begin && c.e[0] == GL_POINTS)
                points.push_back(i);
            if (c.op == Op::Enable && c.e[0] == GL_BLEND)
                blendOn.push_back(i);
        }
        if (!row.drawn) {
            EXPECT_TRUE(glow.empty() && restore.empty());
            continue;
        }
        ASSERT_EQ(glow.size(), 1u);
        ASSERT_EQ(restore.size(), 1u);
        ASSERT_EQ(points.size(), 1u);
        EXPECT_LT(glow[0], points[0]);
        EXPECT_GT(restore[0], points[0]);
        // The spray leaves blending off; a fading figure turns it back on.
        EXPECT_EQ(recgl::State().blendEnabled, row.fade < 1.0f);
        EXPECT_EQ(RandCalls(), 2) << "both rolls still happen";
    }
}
