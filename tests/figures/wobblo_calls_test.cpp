// Figure 1 against the recording GL: its start pose, its face in the lament,
// mouth, blink, eyebrows and tears.
#include <vector>

#include "events/events.h"
#include "figure_calls.h"

using namespace figtest;

TEST_F(FigureTest, FigureOneStartsAlmostFacingTheViewer)
{
    Draw(DrawWobblo);
    EXPECT_EQ(scene.spinAngleY[1], -90);
    auto base = BaseTransforms();
    ASSERT_GE(base.size(), 5u);
    ExpectCall(base[0], Op::Rotate, 1, 1, 0, 0);
    ExpectCall(base[1], Op::Rotate, -90, 0, 1, 0);
    ExpectCall(base[2], Op::Rotate, 1, 0, 0, 1);
    ExpectCall(base[3], Op::Scale, 0.251, 0.251, 0.251);
    ExpectCall(base[4], Op::Translate, 0, 2, 0);
}

TEST_F(FigureTest, WobbloKeepsSpinningInTheLamentButFacesTheViewer)
{
    scene.lamentActive = true;
    Draw(DrawWobblo);
    EXPECT_EQ(scene.spinAngleX[1], 1);
    auto base = BaseTransforms();
    ASSERT_GE(base.size(), 3u);
    ExpectCall(base[0], Op::Rotate, -90, 0, 1, 0);
    ExpectCall(base[1], Op::Scale, 0.251, 0.251, 0.251);
}

TEST_F(FigureTest, WobbloOpenMouthReplacesTheClosedRing)
{
    // Rolls: mouth k, then eyes. k 1 at 3.5 s gives phase 1, k 0 phase 0.
    struct {
        bool talking;
        int k;
        int disks, rings;
    } rows[] = {{true, 1, 1, 0}, {true, 0, 0, 1}, {false, 1, 0, 1}, {false, 0, 0, 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "talking " << row.talking << " k " << row.k);
        SetUp();
        scene.clockNow = 3.5f;
        scene.lastCueTime = 3.0f;
        scene.wobbloTalking = row.talking;
        ScriptRand({row.k, 1});
        Draw(DrawWobblo);
        EXPECT_EQ(RandCalls(), 2);
        EXPECT_EQ((int)recgl::Of(Op::Disk).size(), row.disks);
        int rings = 0;
        for (const Call& c : recgl::Of(Op::Cylinder))
            if (c.a[0] == 0.5 && c.a[2] == 0.1 && c.depth == 2)
                rings++;
        EXPECT_EQ(rings, row.rings + 1);  // the chin mark is always there
    }
}

TEST_F(FigureTest, WobbloBlinkShutsBothEyesForOneFrame)
{
    ScriptRand({1, 60});  // eyes roll 60 % 30 == 0
    Draw(DrawWobblo);
    EXPECT_EQ(CountSpheres(0.2), 3) << "pupils drawn";  // the three buttons remain
    EXPECT_EQ(CountCylinders(0.01), 2);
    int lidEyes = 0;
    for (const Call& c : recgl::Of(Op::Sphere))
        if (c.a[0] == 0.25 && c.depth == 2 && ColourIs(c, 0.7f, 0.6f, 0.4f))
            lidEyes++;
    EXPECT_EQ(lidEyes, 2);
    EXPECT_EQ(CountCylinders(1.4) + CountCylinders(1.7), 2) << "eyebrows stay";

    ScriptRand({1, 31});
    Draw(DrawWobblo);
    EXPECT_EQ(CountSpheres(0.2), 5);
    EXPECT_EQ(CountCylinders(0.01), 0);
    int whiteEyes = 0;
    for (const Call& c : recgl::Of(Op::Sphere))
        if (c.a[0] == 0.25 && c.depth == 2 && ColourIs(c, 1, 1, 1))
            whiteEyes++;
    EXPECT_EQ(whiteEyes, 2);
}

TEST_F(FigureTest, WobbloEyebrowsAreUnequalAndAbsentInTheLament)
{
    Draw(DrawWobblo);
    std::vector<double> brows;
    for (const Call& c : recgl::Of(Op::Cylinder))
        if (c.n[0] == 4)
            brows.push_back(c.a[2]);
    ASSERT_EQ(brows.size(), 2u);
    EXPECT_NEAR(brows[0], 1.4, 1e-9);  // the +z eye comes first
    EXPECT_NEAR(brows[1], 1.7, 1e-9);

    for (int frame = 0; frame < 40; frame++) {
        scene.lamentActive = true;
        Draw(DrawWobblo);
        EXPECT_EQ(CountCylinders(1.4) + CountCylinders(1.7), 0);
    }
}

TEST_F(FigureTest, WobbloTearsShutTheEyesAndDrawTwoSpraysStepsApart)
{
    scene.lamentActive = true;
    scene.wobbloEyesShut = true;
    ResetSpray();
    for (int i = 0; i < sprayPoolSize; i++)
        sprayPool[i] = SprayParticle{0, 0, 0, 0, 0.1f, 0, 1};
    for (int frame = 0; frame < 5; frame++) {
        ResetRand();
        ScriptRand({1, 1});  // a roll that would keep the eyes open
        Draw(DrawWobblo);
        EXPECT_EQ(RandCalls(), 2) << "the eyes roll is made even while they are held shut";
        EXPECT_EQ(CountSpheres(0.2), 3) << "pupils drawn on frame " << frame;
        EXPECT_EQ(CountCylinders(0.01), 2);
        auto blocks = recgl::PointBlocks();
        ASSERT_EQ(blocks.size(), 2u);
        EXPECT_EQ(blocks[0].size(), (size_t)sprayPoolSize);
        EXPECT_EQ(blocks[1].size(), (size_t)sprayPoolSize);
        if (frame == 0) {
            // Two steps per frame: x 0.05 then 0.15, y 0.1 then 0.2.
            EXPECT_FLOAT_EQ(blocks[0][0].a[0], 0.05f);
            EXPECT_FLOAT_EQ(blocks[1][0].a[0], 0.15f);
            EXPECT_FLOAT_EQ(blocks[1][0].a[1], 0.2f);
        }
    }
    // The two sprays: +15 then -15 about Y, each turned -70 about Z.
    std::vector<double> turnsY;
    for (const Call& c : recgl::Of(Op::Rotate))
        if (c.depth == 2 && c.a[2] == 1 && (c.a[0] == 15 || c.a[0] == -15))
            turnsY.push_back(c.a[0]);
    EXPECT_EQ(turnsY, (std::vector<double>{15, -15}));

    scene.wobbloEyesShut = false;
    ScriptRand({1, 1});
    Draw(DrawWobblo);
    EXPECT_TRUE(recgl::PointBlocks().empty());
    EXPECT_EQ(CountCylinders(0.01), 0);
}
