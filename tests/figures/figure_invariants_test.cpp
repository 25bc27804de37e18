// What every figure routine must leave behind, which primitives follow the
// resolution setting, and the spin, roll and latch rules all figures share,
// checked over every figure and every pose against the recording GL.
#include <functional>
#include <string>
#include <tuple>

#include "events/events.h"
#include "figure_calls.h"

using namespace figtest;

namespace {

struct FigureCase {
    const char* name;
    void (*draw)();
    std::function<void()> arrange;
};

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
          {Op::Cylinder, 5, 1}}, {}},
        {"muffix", DrawMuffix, {},
         {{Op::Cylinder, 0.5, 1}, {Op::Cylinder, 0.4, 1}, {Op::Cylinder, 0.52, 1}}, {}},
        {"nibbo", DrawNibbo,
         {{Op::Sphere, 0.035, 6, 6}, {Op::Sphere, 0.035, 6, 6}, {Op::Sphere, 0.025, 6, 6},
          {Op::Sphere, 0.1, 6, 6}, {Op::Sphere, 0.025, 5, 5}, {Op::Sphere, 0.025, 5, 5}},
         {{Op::Disk, 0.0, 1}, {Op::Disk, 0.0, 1}}, {}},
        {"tavik", DrawTavik, {},
         {{Op::Cylinder, 0.075, 1}, {Op::Disk, 0.8, 1}, {Op::Cylinder, 0.875, 5}, {Op::Cylinder, 0.755, 5},
          {Op::Disk, 0.8, 1}, {Op::Cylinder, 0.85, 5}}, {}},
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
