// The figures against the recording GL: what every figure routine must
// leave behind, which primitives follow the resolution setting, the spin and
// latch rules, and each figure's own poses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <tuple>

#include "events/events.h"
#include "figures/conventions.h"
#include "figures/figures.h"
#include "tools/doubles/recording_gl.h"
#include "tools/doubles/scripted_rand.h"
#include "settings/settings.h"
#include "stage/scene_state.h"

using recgl::Call;
using recgl::Op;

namespace {

struct FigureCase {
    const char* name;
    void (*draw)();
    std::function<void()> arrange;
};

class FigureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSceneState();
        ResetRand();
        recgl::Reset();
        polyResolution = 15;
        scene.fadeAlpha = 1.0f;
    }
};

void Draw(void (*draw)())
{
    recgl::Reset();
    draw();
}

int CountSpheres(double radius)
{
    int count = 0;
    for (const Call& c : recgl::Of(Op::Sphere))
        if (std::fabs(c.a[0] - radius) < 1e-6)
            count++;
    return count;
}

int CountCylinders(double height)
{
    int count = 0;
    for (const Call& c : recgl::Of(Op::Cylinder))
        if (std::fabs(c.a[2] - height) < 1e-6)
            count++;
    return count;
}

bool ColourIs(const Call& c, float r, float g, float b)
{
    return std::fabs(c.colour[0] - r) < 1e-6 && std::fabs(c.colour[1] - g) < 1e-6 &&
           std::fabs(c.colour[2] - b) < 1e-6;
}

// The transforms from the base push up to the first nested push.
std::vector<Call> BaseTransforms()
{
    std::vector<Call> out;
    bool started = false;
    for (const Call& c : recgl::Calls()) {
        if (c.op == Op::PushMatrix) {
            if (started)
                break;
            started = true;
            continue;
        }
        if (started && (c.op == Op::Rotate || c.op == Op::Translate || c.op == Op::Scale))
            out.push_back(c);
    }
    return out;
}

void ExpectCall(const Call& c, Op op, double a0, double a1, double a2, double a3 = 0)
{
    EXPECT_EQ(c.op, op);
    EXPECT_NEAR(c.a[0], a0, 1e-5);
    EXPECT_NEAR(c.a[1], a1, 1e-5);
    EXPECT_NEAR(c.a[2], a2, 1e-5);
    if (op == Op::Rotate) {
        EXPECT_NEAR(c.a[3], a3, 1e-5);
    }
}

// Every figure of the list in its plain pose, then the poses of its scenes.
std::vector<FigureCase> AllPoses()
{
    std::vector<FigureCase> poses;
    for (const FigureRoutine& figure : figureRoutines)
        poses.push_back({figure.name, figure.draw, [] {}});
    const std::vector<FigureCase> scenes = {
        {"wobblo talking", DrawWobblo, [] { scene.wobbloTalking = true; scene.clockNow = 1.5f; ScriptRand({1, 7}); }},
        {"wobblo blinking", DrawWobblo, [] { ScriptRand({3, 30}); }},
        {"wobblo lament tears", DrawWobblo, [] { scene.lamentActive = true; scene.wobbloEyesShut = true; }},
        {"muffix", DrawMuffix, [] {}},
        {"muffix mishap top", DrawMuffix, [] { scene.mishapActive = true; scene.bloodOn = true; scene.mishapEdge = 0; scene.spikeLeaving = true; scene.spikeHeight = 2; }},
        {"muffix mishap left", DrawMuffix, [] { scene.mishapActive = true; scene.bloodOn = true; scene.mishapEdge = 2; scene.spikeSpin = 40; }},
        {"muffix mishap right", DrawMuffix, [] { scene.mishapActive = true; scene.bloodOn = true; scene.mishapEdge = 3; scene.spikeLeaving = true; scene.spikeHeight = -3; }},
        {"nibbo", DrawNibbo, [] {}},
        {"nibbo talking", DrawNibbo, [] { scene.nibboTalking = true; scene.clockNow = 1; ScriptRand({19}); }},
        {"nibbo kick", DrawNibbo, [] { scene.kickPending = true; scene.nibboTalking = true; }},
        {"tavik talking", DrawTavik, [] { scene.tavikTalking = true; scene.clockNow = 0.5f; ScriptRand({1, 1}); }},
        {"tavik blinking", DrawTavik, [] { ScriptRand({30, 4}); }},
        {"tavik kick approach", DrawTavik, [] { scene.kickPending = true; scene.kickSlide = 0.3f; scene.spinAngleY[3] = -40; }},
        {"tavik lament", DrawTavik, [] { scene.lamentActive = true; scene.tavikTalking = true; }},
        {"bexlo talking", DrawBexlo, [] { scene.bexloTalking = true; scene.clockNow = 0.5f; ScriptRand({1, 1}); }},
        {"bexlo blinking", DrawBexlo, [] { ScriptRand({0, 4}); }},
        {"bexlo retching", DrawBexlo, [] { scene.retchActive = true; scene.retchStart = 1.0f; scene.clockNow = 3.0f; ResetSpray(); }},
        {"bexlo lament", DrawBexlo, [] { scene.lamentActive = true; scene.bexloArmRaise = 40.0f; }},
    };
    poses.insert(poses.end(), scenes.begin(), scenes.end());
    return poses;
}

}  // namespace

// --- What every figure routine leaves behind ----------------------------

TEST_F(FigureTest, EveryPoseLeavesStackAndClipPlaneAsFoundAndUsesOneQuadric)
{
    for (const FigureCase& pose : AllPoses()) {
        SCOPED_TRACE(pose.name);
        SetUp();
        scene.fadeAlpha = 0.3f;
        pose.arrange();
        Draw(pose.draw);
        const recgl::Stats& s = recgl::State();
        EXPECT_EQ(s.depth, 0);
        EXPECT_EQ(s.minDepth, 0);
        EXPECT_FALSE(s.clipEnabled);
        EXPECT_FALSE(s.insideBegin);
        EXPECT_EQ(s.quadricsCreated, 1);
        EXPECT_EQ(s.quadricsDeleted, 1);

        const auto& calls = recgl::Calls();
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.front().op, Op::NewQuadric);
        EXPECT_EQ(calls.back().op, Op::DeleteQuadric);
        EXPECT_EQ(calls.back().quadric, calls.front().quadric);
        for (const Call& p : recgl::Primitives())
            EXPECT_EQ(p.quadric, calls.front().quadric);

        auto colours = recgl::ColoursOutsidePoints();
        EXPECT_FALSE(colours.empty());
        for (const Call& c : colours)
            EXPECT_FLOAT_EQ(c.a[3], 0.3f);
        // Every primitive is drawn with a colour the figure set itself.
        for (const Call& p : recgl::Primitives())
            EXPECT_FLOAT_EQ(p.colour[3], 0.3f);
    }
}

TEST_F(FigureTest, WithoutAQuadricEveryFigureDrawsNothingButStillAdvancesItsSpin)
{
    for (const FigureRoutine& figure : figureRoutines) {
        SCOPED_TRACE(figure.name);
        const int n = figure.number;
        SetUp();
        Draw(figure.draw);
        const int drawnSpin[3] = {scene.spinAngleX[n], scene.spinAngleY[n], scene.spinAngleZ[n]};

        SetUp();
        recgl::FailNewQuadric(true);
        figure.draw();
        const recgl::Stats& s = recgl::State();
        EXPECT_EQ(s.depth, 0);
        EXPECT_EQ(s.minDepth, 0);
        EXPECT_EQ(s.quadricsDeleted, 0);
        // The failed allocation is the only call: no primitive, push or colour.
        ASSERT_EQ(recgl::Calls().size(), 1u);
        EXPECT_EQ(recgl::Calls()[0].op, Op::NewQuadric);
        EXPECT_EQ(scene.spinAngleX[n], drawnSpin[0]);
        EXPECT_EQ(scene.spinAngleY[n], drawnSpin[1]);
        EXPECT_EQ(scene.spinAngleZ[n], drawnSpin[2]);
    }
}

TEST_F(FigureTest, ClipPlaneIsSpecifiedBeforeEnablingAndDisabledRightAfterItsCut)
{
    for (const FigureCase& pose : AllPoses()) {
        SCOPED_TRACE(pose.name);
        SetUp();
        pose.arrange();
        Draw(pose.draw);
        const auto& calls = recgl::Calls();
        bool on = false;
        int cuts = 0;
        for (size_t i = 0; i < calls.size(); i++) {
            const Call& c = calls[i];
            if (c.op == Op::Enable && c.e[0] == GL_CLIP_PLANE0) {
                EXPECT_FALSE(on);
                ASSERT_GT(i, 0u);
                EXPECT_EQ(calls[i - 1].op, Op::ClipPlane);
                EXPECT_EQ(calls[i - 1].e[0], (GLenum)GL_CLIP_PLANE0);
                on = true;
            } else if (c.op == Op::Disable && c.e[0] == GL_CLIP_PLANE0) {
                EXPECT_TRUE(on);
                const Op previous = calls[i - 1].op;
                EXPECT_TRUE(previous == Op::Sphere || previous == Op::Cylinder || previous == Op::Disk);
                on = false;
                cuts++;
            } else if (on) {
                EXPECT_NE(c.op, Op::PushMatrix) << "a new part starts while the plane is on";
            }
        }
        EXPECT_FALSE(on);
        EXPECT_GE(cuts, 1);
    }
}

// --- Resolution ------------------------------------------------------------

struct ResolutionCase {
    const char* name;
    void (*draw)();
    std::vector<std::tuple<Op, double, int, int>> fixedCounts;  // kind, first size, slices, stacks
    std::vector<std::tuple<Op, double, int>> fixedStacksOnly;   // kind, first size, stacks (slices R)
    std::vector<std::tuple<Op, double, int>> onePlusSlices;     // kind, first size, stacks (slices R + 1)
};

TEST_F(FigureTest, OnlyPrimitivesMarkedRFollowTheResolution)
{
    const ResolutionCase cases[] = {
        {"wobblo", DrawWobblo,
         {{Op::Sphere, 1.0, 20, 20}, {Op::Sphere, 0.2, 10, 10}, {Op::Cylinder, 0.1, 4, 4},
          {Op::Sphere, 0.2, 10, 10}, {Op::Cylinder, 0.1, 4, 4}, {Op::Sphere, 0.2, 5, 5},
          {Op::Sphere, 0.2, 5, 5}, {Op::Sphere, 0.2, 5, 5}},
         {{Op::Cylinder, 0.5, 1}, {Op::Cylinder, 0.5, 1}, {Op::Cylinder, 3.5, 1}, {Op::Cylinder, 5, 4},
          {Op::Cylinder, 5, 1}}},
        {"muffix", DrawMuffix, {},
         {{Op::Cylinder, 0.5, 1}, {Op::Cylinder, 0.4, 1}, {Op::Cylinder, 0.52, 1}}},
        {"nibbo", DrawNibbo,
         {{Op::Sphere, 0.035, 6, 6}, {Op::Sphere, 0.035, 6, 6}, {Op::Sphere, 0.025, 6, 6},
          {Op::Sphere, 0.1, 6, 6}, {Op::Sphere, 0.025, 5, 5}, {Op::Sphere, 0.025, 5, 5}},
         {{Op::Disk, 0.0, 1}, {Op::Disk, 0.0, 1}}},
        {"tavik", DrawTavik, {},
         {{Op::Cylinder, 0.075, 1}, {Op::Disk, 0.8, 1}, {Op::Cylinder, 0.875, 5}, {Op::Cylinder, 0.755, 5},
          {Op::Disk, 0.8, 1}, {Op::Cylinder, 0.85, 5}}},
        {"bexlo", DrawBexlo, {}, {{Op::Cylinder, 0.075, 1}}, {{Op::Cylinder, 0.88, 1}}},
    };
    for (const ResolutionCase& rc : cases) {
        SCOPED_TRACE(rc.name);
        std::vector<Call> at[2];
        const int resolutions[2] = {10, 30};
        for (int i = 0; i < 2; i++) {
            SetUp();
            polyResolution = resolutions[i];
            ScriptRand({1, 1});  // eyes open, same mouth roll at both settings
            Draw(rc.draw);
            at[i] = recgl::Primitives();
        }
        ASSERT_EQ(at[0].size(), at[1].size());
        std::vector<std::tuple<Op, double, int, int>> fixedCounts;
        std::vector<std::tuple<Op, double, int>> fixedStacks;
        std::vector<std::tuple<Op, double, int>> onePlus;
        for (size_t k = 0; k < at[0].size(); k++) {
            const Call& low = at[0][k];
            const Call& high = at[1][k];
            ASSERT_EQ(low.op, high.op);
            ASSERT_DOUBLE_EQ(low.a[0], high.a[0]);
            bool slicesFollow = low.n[0] == 10 && high.n[0] == 30;
            bool stacksFollow = low.n[1] == 10 && high.n[1] == 30;
            if (slicesFollow && stacksFollow)
                continue;
            if (slicesFollow) {
                EXPECT_EQ(low.n[1], high.n[1]);
                fixedStacks.emplace_back(low.op, low.a[0], low.n[1]);
                continue;
            }
            if (low.n[0] == 11 && high.n[0] == 31) {
                EXPECT_EQ(low.n[1], high.n[1]);
                onePlus.emplace_back(low.op, low.a[0], low.n[1]);
                continue;
            }
            EXPECT_FALSE(stacksFollow) << "stacks follow R but slices do not";
            EXPECT_EQ(low.n[0], high.n[0]);
            EXPECT_EQ(low.n[1], high.n[1]);
            fixedCounts.emplace_back(low.op, low.a[0], low.n[0], low.n[1]);
        }
        EXPECT_EQ(fixedCounts, rc.fixedCounts);
        EXPECT_EQ(fixedStacks, rc.fixedStacksOnly);
        EXPECT_EQ(onePlus, rc.onePlusSlices);
    }
}

// --- Spin ------------------------------------------------------------------

TEST_F(FigureTest, SpinAdvancesByTheSharedSpeedsWithTruncatingRemainder)
{
    struct {
        int start, speed, expected;
    } rows[] = {
        {1, -3, -2}, {-358, -3, -1}, {0, 5, 5}, {357, 5, 2}, {-359, -5, -4}, {-2, 5, 3}, {359, 1, 0},
    };
    for (const FigureRoutine& routine : figureRoutines) {
        const int figure = routine.number;
        void (*draw)() = routine.draw;
        for (const auto& row : rows) {
            SCOPED_TRACE(::testing::Message() << "figure " << figure << " start " << row.start);
            SetUp();
            scene.spinAngleX[figure] = row.start;
            scene.spinAngleY[figure] = row.start;
            scene.spinAngleZ[figure] = row.start;
            scene.spinSpeedX = row.speed;
            scene.spinSpeedY = row.speed;
            scene.spinSpeedZ = row.speed;
            Draw(draw);
            EXPECT_EQ(scene.spinAngleX[figure], row.expected);
            EXPECT_EQ(scene.spinAngleY[figure], row.expected);
            EXPECT_EQ(scene.spinAngleZ[figure], row.expected);
        }
    }
}

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

TEST_F(FigureTest, SceneRulesHoldOrReplaceTheSpin)
{
    // Figure 2 freezes its triple during the mishap but still applies it.
    scene.mishapActive = true;
    scene.mishapEdge = 7;  // no mishap transform for an unknown edge
    scene.spinAngleX[2] = 10;
    Draw(DrawMuffix);
    EXPECT_EQ(scene.spinAngleX[2], 10);
    auto base = BaseTransforms();
    ASSERT_GE(base.size(), 4u);
    ExpectCall(base[0], Op::Rotate, 10, 1, 0, 0);
    ExpectCall(base[3], Op::Translate, 0, 0.5, 0);

    // Figure 1 keeps spinning in the lament but faces the viewer instead.
    SetUp();
    scene.lamentActive = true;
    Draw(DrawWobblo);
    EXPECT_EQ(scene.spinAngleX[1], 1);
    base = BaseTransforms();
    ASSERT_GE(base.size(), 3u);
    ExpectCall(base[0], Op::Rotate, -90, 0, 1, 0);
    ExpectCall(base[1], Op::Scale, 0.251, 0.251, 0.251);

    // Figure 5 holds its triple at 0 and applies none of it while a kick waits.
    SetUp();
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
        base = BaseTransforms();
        ASSERT_EQ(base.size(), 0u);  // the offset comes in a second push
    }
}

// --- Rolls and latches ---------------------------------------------------------

TEST_F(FigureTest, MouthPhaseIsTruncatedProductOfRollAndClockModuloTwo)
{
    struct {
        int roll;
        float clock;
        int phase;
    } rows[] = {
        {0, 12.345f, 0}, {10, 7.9f, 0}, {1, 3.5f, 1}, {2, 3.5f, 1}, {3, 0.4f, 1}, {9, 0.1f, 0}, {4, 2.0f, 0},
    };
    for (const auto& row : rows) {
        ResetRand();
        ScriptRand({row.roll});
        scene.clockNow = row.clock;
        EXPECT_EQ(RollMouthPhase(), row.phase) << row.roll << " x " << row.clock;
        EXPECT_EQ(RandCalls(), 1);
    }
}

TEST_F(FigureTest, TalkingLatchIsKeptAtExactlyTwoSecondsAndReleasedJustAfter)
{
    struct {
        const char* name;
        void (*draw)();
        bool* latch;
        bool* sceneFlag;  // the scene condition that keeps the latch
    } rows[] = {
        {"wobblo", DrawWobblo, &scene.wobbloTalking, &scene.lamentActive},
        {"nibbo", DrawNibbo, &scene.nibboTalking, &scene.kickPending},
        {"tavik in the lament", DrawTavik, &scene.tavikTalking, &scene.lamentActive},
        {"tavik waiting for the kick", DrawTavik, &scene.tavikTalking, &scene.kickPending},
        {"bexlo", DrawBexlo, &scene.bexloTalking, &scene.lamentActive},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        scene.lastCueTime = 10.0f;
        *row.latch = true;
        scene.clockNow = 12.0f;
        Draw(row.draw);
        EXPECT_TRUE(*row.latch);
        scene.clockNow = 12.001f;
        Draw(row.draw);
        EXPECT_FALSE(*row.latch);

        *row.latch = true;
        *row.sceneFlag = true;
        scene.clockNow = 40.0f;
        Draw(row.draw);
        EXPECT_TRUE(*row.latch);
    }
}

// --- Figure 1 ----------------------------------------------------------------

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
    for (const Call& c : recgl::Of(Op::Cylinder))
        if (c.a[2] == 0.01) {
            EXPECT_TRUE(ColourIs(c, 0.01f, 0.01f, 0.01f));
        }
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

// --- Figure 2 ------------------------------------------------------------------

TEST_F(FigureTest, MuffixLidsOnlyWhileBloodOnClosingToOneTwentieth)
{
    Draw(DrawMuffix);
    EXPECT_EQ(CountSpheres(0.25), 0);
    EXPECT_FLOAT_EQ(scene.muffixLidGap, 0.3f);

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

TEST_F(FigureTest, MuffixColoursShoesGreyNotNearBlack)
{
    Draw(DrawMuffix);
    int shoes = 0;
    for (const Call& c : recgl::Of(Op::Sphere))
        if (c.a[0] == 0.35) {
            shoes++;
            EXPECT_TRUE(ColourIs(c, 0.05f, 0.05f, 0.05f));
        }
    EXPECT_EQ(shoes, 2);
    // Hood orange, face cap skin, hands brown.
    auto spheres = recgl::Of(Op::Sphere);
    ASSERT_GE(spheres.size(), 2u);
    EXPECT_TRUE(ColourIs(spheres[0], 0.9f, 0.4f, 0.0f));
    EXPECT_TRUE(ColourIs(spheres[1], 0.95f, 0.9f, 0.7f));
    for (const Call& c : spheres)
        if (c.a[0] == 0.155 || c.a[0] == 0.065) {
            EXPECT_TRUE(ColourIs(c, 0.4f, 0.2f, 0.0f));
        }
    EXPECT_EQ(RandCalls(), 0);
}

// --- Figure 5 ------------------------------------------------------------------

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

TEST_F(FigureTest, NibboBodyAndLimbsAreSuitCyan)
{
    Draw(DrawNibbo);
    int cyan = 0;
    for (const Call& p : recgl::Primitives())
        if (p.depth >= 3 && ColourIs(p, 0.0f, 0.75f, 0.75f))
            cyan++;
    // body, two arms, two hands, two thumbs, two legs, two feet
    EXPECT_EQ(cyan, 11);
}

// --- Figure 3 ----------------------------------------------------------------

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

TEST_F(FigureTest, TavikAndBexloHoldTheirArmsInTheLamentAndOnlyBexloLiftsOne)
{
    // The turns that follow each shoulder's offset: the swing about y, and
    // for a lifted arm the lift about x.
    auto ArmTurns = [](bool lifts) {
        std::vector<double> turns;
        const auto& calls = recgl::Calls();
        for (size_t i = 0; i + 2 < calls.size(); i++) {
            const Call& c = calls[i];
            if (c.op != Op::Translate || std::fabs(std::fabs(c.a[0]) - 0.5) > 1e-6 || std::fabs(c.a[2] - 0.1) > 1e-6)
                continue;
            if (!lifts)
                turns.push_back(calls[i + 1].a[0]);
            else if (calls[i + 2].op == Op::Rotate && calls[i + 2].a[1] == 1)
                turns.push_back(calls[i + 2].a[0]);
        }
        return turns;
    };
    scene.lamentActive = true;
    Draw(DrawTavik);
    EXPECT_EQ(ArmTurns(false), (std::vector<double>{35, -35}));

    SetUp();
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

// --- Figure 4 ----------------------------------------------------------------

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
