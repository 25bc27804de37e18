// The stage window's timer tick: motion, the four edges in their order, the
// edge reaction, the scenes that hold or re-centre the stage, the banner
// sweep and the paint request.
#include "tests/stage/scene_fakes.h"
#include "tests/stage/stage_fixture.h"
#include "testing/doubles/scripted_rand.h"

#include <gmock/gmock.h>

// Where the layer keeps the window's position; the Win32 subset the system
// uses has no call that reads it back.
#include "platform/posix/layer_internal.h"

namespace {

class TickTest : public StageFixture {
protected:
    void SetUp() override
    {
        StageFixture::SetUp();
        BuildStage(1024, 768);  // screenW 1024, screenH 748, stageSide 374
        ClearFakeRecords();
        ResetRand();
        soundsOn = true;
        scene.figure = 1;
    }

    void TearDown() override
    {
        ClearFakeRecords();
        StageFixture::TearDown();
    }

    void Place(int x, int y, int dx, int dy)
    {
        scene.stageX = x;
        scene.stageY = y;
        scene.stageDX = dx;
        scene.stageDY = dy;
        MoveWindow(stageWindow, x, y, scene.stageSide, scene.stageSide, FALSE);
    }

    void Tick() { StageWindowProc(stageWindow, WM_TIMER, 1, 0); }

    POINT WindowPosition() const
    {
        w32::Window* record = w32::FindWindowRecord(stageWindow);
        EXPECT_NE(record, nullptr);
        return record ? POINT{record->x, record->y} : POINT{-99999, -99999};
    }
};

TEST_F(TickTest, RightEdgeBounceRerollsVelocityThenSpin)
{
    Place(648, 100, 4, 2);
    scene.spinSpeedX = scene.spinSpeedY = scene.spinSpeedZ = 99;
    ScriptRand({9, 21, 11, 32});  // values that only % 5 and % 11 take to the ends of their ranges
    Tick();

    EXPECT_EQ(scene.stageX, 650);
    EXPECT_EQ(scene.stageY, 102);
    EXPECT_EQ(scene.stageDX, -5);
    EXPECT_EQ(scene.stageDY, 2);
    EXPECT_EQ(scene.spinSpeedX, 5);
    EXPECT_EQ(scene.spinSpeedY, -5);
    EXPECT_EQ(scene.spinSpeedZ, 5);
    ASSERT_EQ(cueCalls.size(), 1u) << "the bounce cues a voice line after the spin roll";
    EXPECT_EQ(cueCalls[0].spinSpeedX, 5);
    POINT at = WindowPosition();
    EXPECT_EQ(at.x, 650);
    EXPECT_EQ(at.y, 102);
}

TEST_F(TickTest, EdgesBounceOnlyWhenCrossed)
{
    struct Case {
        const char* name;
        int x, y, dx, dy;
        int endX, endY;
        size_t cues;
        int dxSign, dySign;  // sign of the velocity afterwards
    };
    const Case cases[] = {
        {"exactly left", 4, 100, -4, 1, 0, 101, 0, -1, 1},
        {"exactly top", 100, 3, 1, -3, 101, 0, 0, 1, -1},
        {"exactly right", 646, 100, 4, 1, 650, 101, 0, 1, 1},
        {"exactly bottom", 100, 372, 1, 2, 101, 374, 0, 1, 1},
        {"left", 2, 100, -5, 1, 0, 101, 1, 1, 1},
        {"top", 100, 1, 1, -3, 101, 0, 1, 1, 1},
        {"right", 649, 100, 3, 1, 650, 101, 1, -1, 1},
        {"bottom", 100, 373, 1, 3, 101, 374, 1, 1, -1},
        {"top left corner", 1, 2, -3, -5, 0, 0, 2, 1, 1},
        {"bottom right corner", 648, 372, 4, 4, 650, 374, 2, -1, -1},
        {"top right corner", 649, 1, 2, -2, 650, 0, 2, -1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClearFakeRecords();
        Place(c.x, c.y, c.dx, c.dy);
        Tick();
        EXPECT_EQ(scene.stageX, c.endX);
        EXPECT_EQ(scene.stageY, c.endY);
        EXPECT_EQ(cueCalls.size(), c.cues);
        EXPECT_EQ(scene.stageDX > 0 ? 1 : -1, c.dxSign);
        EXPECT_EQ(scene.stageDY > 0 ? 1 : -1, c.dySign);
        EXPECT_GE(abs(scene.stageDX), 1);
        EXPECT_LE(abs(scene.stageDX), 5);
        POINT at = WindowPosition();
        EXPECT_EQ(at.x, c.endX);
        EXPECT_EQ(at.y, c.endY);
    }
}

TEST_F(TickTest, CornerRerollsTheSpinTwice)
{
    Place(1, 2, -3, -5);
    ScriptRand({5, 1, 2, 3, 5, 6, 7, 8});  // left: velocity, spin; top: velocity, spin
    Tick();

    EXPECT_EQ(scene.stageDX, 1);
    EXPECT_EQ(scene.stageDY, 1);
    ASSERT_EQ(cueCalls.size(), 2u);
    EXPECT_EQ(cueCalls[0].spinSpeedX, -4);
    EXPECT_EQ(cueCalls[0].spinSpeedY, -3);
    EXPECT_EQ(cueCalls[0].spinSpeedZ, -2);
    EXPECT_EQ(cueCalls[1].spinSpeedX, 1);
    EXPECT_EQ(cueCalls[1].spinSpeedY, 2);
    EXPECT_EQ(cueCalls[1].spinSpeedZ, 3);
    EXPECT_EQ(scene.spinSpeedZ, 3);
}

// The mishap's roll is the fifth, after the velocity and the three spin
// speeds: one value in forty starts it, and neither neighbour of forty nor
// a value that only a divisor of forty would take (20, 8) does.
TEST_F(TickTest, OnlyFigureTwoRollsForTheMishapAndAHitReplacesTheCue)
{
    struct Case {
        const char* name;
        int figure;
        int roll;
        int x, y, dx, dy;
        int mishapEdge;  // -1: the bounce cues a line instead
        int randCalls;
    };
    const Case cases[] = {
        {"figure 2 hit on the left", 2, 40, 1, 100, -3, 1, 2, 5},
        {"figure 2 hit on the top", 2, 0, 100, 1, 1, -3, 0, 5},
        {"figure 2 hit on the right", 2, 80, 649, 100, 3, 1, 3, 5},
        {"figure 2 hit on the bottom", 2, 40, 100, 373, 1, 3, 1, 5},
        {"figure 2, roll 39", 2, 39, 1, 100, -3, 1, -1, 5},
        {"figure 2, roll 41", 2, 41, 1, 100, -3, 1, -1, 5},
        {"figure 2, roll 20", 2, 20, 1, 100, -3, 1, -1, 5},
        {"figure 2, roll 8", 2, 8, 1, 100, -3, 1, -1, 5},
        {"figure 1", 1, 0, 1, 100, -3, 1, -1, 4},
        {"figure 3", 3, 0, 1, 100, -3, 1, -1, 4},
        {"figure 4", 4, 0, 1, 100, -3, 1, -1, 4},
        {"figure 5", 5, 0, 1, 100, -3, 1, -1, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClearFakeRecords();
        ResetRand();
        scene.figure = c.figure;
        Place(c.x, c.y, c.dx, c.dy);
        ScriptRand({0, 0, 0, 0, c.roll});
        Tick();
        EXPECT_EQ(RandCalls(), c.randCalls);
        if (c.mishapEdge >= 0) {
            EXPECT_EQ(mishapEdges, std::vector<int>{c.mishapEdge});
            EXPECT_TRUE(cueCalls.empty());
        } else {
            EXPECT_TRUE(mishapEdges.empty());
            EXPECT_EQ(cueCalls.size(), 1u);
        }
    }
}

TEST_F(TickTest, KickSceneHoldsTheStage)
{
    scene.kickActive = true;
    for (int x : {100, -50, 900}) {
        SCOPED_TRACE(x);
        Place(x, 30, 3, -4);
        Tick();
        Tick();
        EXPECT_EQ(scene.stageX, x);
        EXPECT_EQ(scene.stageY, 30);
        EXPECT_EQ(scene.stageDX, 3);
        EXPECT_TRUE(cueCalls.empty());
        EXPECT_EQ(WindowPosition().x, x);
    }
}

TEST_F(TickTest, MishapDriftsThePositionButNotTheWindow)
{
    scene.mishapActive = true;
    Place(2, 100, -2, 3);
    for (int tick = 1; tick <= 5; tick++) {
        Tick();
        EXPECT_EQ(scene.stageX, 2 - 2 * tick) << "no edge is tested";
        EXPECT_EQ(scene.stageY, 100 + 3 * tick);
    }
    EXPECT_TRUE(cueCalls.empty());
    EXPECT_EQ(scene.stageDX, -2);
    POINT at = WindowPosition();
    EXPECT_EQ(at.x, 2);
    EXPECT_EQ(at.y, 100);
}

TEST_F(TickTest, LamentRecentresTheStage)
{
    scene.mishapActive = true;
    Place(-40, 700, -2, 3);  // drift gathered during a mishap
    scene.mishapActive = false;
    scene.lamentActive = true;
    Tick();
    EXPECT_EQ(scene.stageX, 325);
    EXPECT_EQ(scene.stageY, 187);
    EXPECT_EQ(scene.stageDX, -2) << "the old velocity is kept for afterwards";
    EXPECT_EQ(scene.stageDY, 3);
    EXPECT_TRUE(cueCalls.empty());
    POINT at = WindowPosition();
    EXPECT_EQ(at.x, 325);
    EXPECT_EQ(at.y, 187);

    scene.lamentActive = false;
    Tick();
    EXPECT_EQ(scene.stageX, 323);
    EXPECT_EQ(scene.stageY, 190);
}

TEST_F(TickTest, BannerSweepsBackAndForthOverTenMinutes)
{
    struct Case {
        float clock;
        float x;
    };
    const Case cases[] = {{0.0f, 794.0f}, {150.0f, 397.0f}, {300.0f, 0.0f}, {450.0f, 397.0f}, {600.0f, 794.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clock);
        scene.clockNow = c.clock;
        Tick();
        EXPECT_NEAR(bannerX, c.x, 0.001f);
    }
    // The blit position is truncated: the centre of a 1024-wide sweep is 397.
    scene.clockNow = 150.0f;
    Tick();
    EXPECT_EQ((int)bannerX, 397);
    EXPECT_EQ(bannerY, 748.0f);
    EXPECT_EQ(bannerSize[0], 230);
    EXPECT_EQ(bannerSize[1], 10);
}

TEST_F(TickTest, EveryTickRequestsOnePaintAndThePaintValidates)
{
    MSG message;
    // Take whatever paint creation left pending.
    while (PeekMessageA(&message, stageWindow, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageA(&message);
    ASSERT_FALSE(PeekMessageA(&message, stageWindow, WM_PAINT, WM_PAINT, PM_NOREMOVE));
    size_t framesBefore = drawCalls.size();

    Tick();
    ASSERT_TRUE(PeekMessageA(&message, stageWindow, WM_PAINT, WM_PAINT, PM_REMOVE));
    DispatchMessageA(&message);
    EXPECT_EQ(drawCalls.size(), framesBefore + 1) << "the paint renders one frame";
    EXPECT_FALSE(PeekMessageA(&message, stageWindow, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

// Each second's figures count that second's busy time, frames and triangles.
TEST_F(TickTest, FrameRateFiguresStartAfreshEachSecond)
{
    showFrameRate = true;
    StartFrameRate();
    const struct {
        double busy;
        int frames;
        long triangles;
        const char* lines[3];
    } seconds[] = {{0.5, 30, 1000, {"FPS: 30.0", "Load: 50.0%", "Triangles: 1000"}},
                   {0.25, 10, 400, {"FPS: 10.0", "Load: 25.0%", "Triangles: 400"}}};
    for (int second = 0; second < 2; second++) {
        BeginBusySpan();
        FakeClockSeconds() = second + seconds[second].busy;
        EndBusySpan();
        for (int frame = 0; frame < seconds[second].frames; frame++)
            CountFrame(seconds[second].triangles);
        FakeClockSeconds() = second + 1;
        DrawFrameRate();
        for (int line = 0; line < 3; line++)  // blank-padded
            EXPECT_THAT(frameRateLines[line], testing::StartsWith(std::string(seconds[second].lines[line]) + " "));
    }
    ReleaseFrameRate();
    showFrameRate = false;
}

TEST_F(TickTest, ResizeSetsTheProjectionAndAsksForAFrame)
{
    MSG message;
    while (PeekMessageA(&message, stageWindow, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageA(&message);
    StageWindowProc(stageWindow, WM_SIZE, 0, MAKELPARAM(200, 100));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 200);
    EXPECT_EQ(viewport[3], 100);
    EXPECT_TRUE(PeekMessageA(&message, stageWindow, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

TEST_F(TickTest, StageAnswersItsOwnMessagesAndPassesTheRestOn)
{
    EXPECT_EQ(StageWindowProc(stageWindow, WM_ERASEBKGND, 0, 0), 1);
    // No palette on a true-colour display.
    EXPECT_EQ(StageWindowProc(stageWindow, WM_QUERYNEWPALETTE, 0, 0), 0);
    EXPECT_NE(StageWindowProc(stageWindow, WM_PALETTECHANGED, (WPARAM)stageWindow, 0), 0);
    EXPECT_EQ(StageWindowProc(stageWindow, WM_PALETTECHANGED, (WPARAM)saver, 0), 0);
    // The ending rules answer WM_SETCURSOR with 1, on behalf of the saver window.
    EXPECT_EQ(StageWindowProc(stageWindow, WM_SETCURSOR, (WPARAM)stageWindow, 0), 1);
}

}  // namespace
