// RenderFrame with the scene clock driven by the test and the figures and
// scenes replaced by recorders: the char delay, the fade, the pick, the kick
// roll, the mishap counter, the dispatch and the GL state each routine sees.
#include "tests/stage/scene_fakes.h"
#include "tests/stage/stage_fixture.h"
#include "testing/doubles/scripted_rand.h"

#include <algorithm>
#include <set>

namespace {

class FrameTest : public StageFixture {
protected:
    void SetUp() override
    {
        StageFixture::SetUp();
        BuildStage(1024, 768);
        ClearFakeRecords();
        ResetRand();
        // Start every case showing figure 1 fully faded in, at clock 1 s.
        scene.figure = 1;
        scene.fadeAlpha = 1.0f;
        SetClock(1.0);
        soundsOn = true;
        charDelay = 60;
    }

    void TearDown() override
    {
        ClearFakeRecords();
        StageFixture::TearDown();
    }

    void SetClock(double seconds) { FakeClockSeconds() = seconds; }

    // Runs frames 33 ms apart.
    void RunFrames(int count)
    {
        for (int i = 0; i < count; i++) {
            FakeClockSeconds() += 0.033;
            RenderFrame();
        }
    }

    std::vector<std::string> Routines() const
    {
        std::vector<std::string> names;
        for (const DrawCall& call : drawCalls)
            names.push_back(call.routine);
        return names;
    }
};

TEST_F(FrameTest, ClockCountsFromTheStageStart)
{
    clockStart[0] = 100;
    clockStart[1] = 500000;
    SetClock(160.25);
    RenderFrame();
    EXPECT_FLOAT_EQ(scene.clockNow, 59.75f);
}

TEST_F(FrameTest, CharDelayFiresInTheFirstFrameAboveIt)
{
    SetClock(60.0);
    RenderFrame();
    EXPECT_FALSE(scene.fadingOut) << "exactly charDelay must not fire";
    EXPECT_EQ(scene.lastChangeTime, 0.0f);

    SetClock(60.001);
    RenderFrame();
    EXPECT_TRUE(scene.fadingOut);
    EXPECT_EQ(scene.lastChangeTime, 60.001f);
    ASSERT_EQ(drawCalls.size(), 2u);
    EXPECT_EQ(drawCalls[1].fadeAlpha, 1.0f) << "the firing frame still shows the figure opaque";

    // The next one comes charDelay after that frame, not after 120 s.
    RunFrames(40);  // the fade-out and the pick
    scene.fadeAlpha = 1.0f;
    SetClock(120.0);
    RenderFrame();
    EXPECT_FALSE(scene.fadingOut);
    SetClock(120.01);
    RenderFrame();
    EXPECT_TRUE(scene.fadingOut);
}

TEST_F(FrameTest, CharDelayWaitsForScenesAndKickRequests)
{
    struct Blocker {
        const char* name;
        bool SceneState::*flag;
    };
    const Blocker blockers[] = {
        {"lament", &SceneState::lamentActive},
        {"mishap", &SceneState::mishapActive},
        {"kick request", &SceneState::kickPending},
    };
    for (const Blocker& blocker : blockers) {
        SCOPED_TRACE(blocker.name);
        ResetSceneState();
        scene.figure = 4;
        scene.fadeAlpha = 1.0f;
        scene.lamentVariant = 1;
        scene.*blocker.flag = true;
        SetClock(200.0);
        RenderFrame();
        EXPECT_FALSE(scene.fadingOut);
        EXPECT_EQ(scene.lastChangeTime, 0.0f);
    }
}

TEST_F(FrameTest, FadeInTakesTenFramesAndEndsAboveOne)
{
    scene.fadeAlpha = 0.0f;
    std::vector<float> drawn;
    for (int frame = 0; frame < 12; frame++) {
        RunFrames(1);
        drawn.push_back(drawCalls.back().fadeAlpha);
    }
    EXPECT_EQ(drawn[0], 0.0f);
    for (int frame = 1; frame < 10; frame++)
        EXPECT_LT(drawn[frame], 1.0f) << "frame " << frame;
    EXPECT_EQ(drawn[10], 1.0000001f);
    EXPECT_EQ(drawn[11], 1.0000001f) << "an opaque figure stays as it is";
}

TEST_F(FrameTest, FadeOutFromExactlyOneIsOneFrameShorter)
{
    struct Case {
        float start;
        int framesUntilPick;  // counting the first fading frame
    };
    const Case cases[] = {{1.0000001f, 11}, {1.0f, 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        ClearFakeRecords();
        scene.figure = 2;
        scene.fadeAlpha = c.start;
        scene.fadingOut = true;
        int frames = 0;
        while (scene.figure == 2 && frames < 30) {
            RunFrames(1);
            frames++;
        }
        EXPECT_EQ(frames, c.framesUntilPick);
        EXPECT_FALSE(scene.fadingOut);
        EXPECT_LT(drawCalls.back().fadeAlpha, 0.1f) << "the new figure starts transparent";
        EXPECT_EQ(drawCalls.back().figure, scene.figure);
    }
}

TEST_F(FrameTest, PickNeverRepeatsAndNeverYieldsFive)
{
    std::set<int> seen;
    for (int round = 0; round < 2000; round++) {
        int old = round % 5 + 1;
        scene.figure = old;
        scene.fadeAlpha = 0.05f;
        scene.fadingOut = true;
        scene.lastChangeTime = scene.clockNow;
        RenderFrame();
        ASSERT_NE(scene.figure, old);
        ASSERT_GE(scene.figure, 1);
        ASSERT_LE(scene.figure, 4);
        seen.insert(scene.figure);
    }
    EXPECT_EQ(seen.size(), 4u);
}

TEST_F(FrameTest, PickClearsTheEventFlagsAndNothingElse)
{
    scene.figure = 2;
    scene.fadeAlpha = 0.05f;
    scene.fadingOut = true;
    scene.mishapActive = scene.bloodOn = scene.spikeLeaving = true;
    scene.wobbloEyesShut = true;
    scene.kickPending = true;
    scene.kickSlide = 0.4f;
    scene.tavikTalking = scene.bexloTalking = true;
    scene.lastChangeTime = 0.5f;
    scene.spikeSpin = 100;
    RenderFrame();

    EXPECT_NE(scene.figure, 2);
    EXPECT_FALSE(scene.mishapActive);
    EXPECT_FALSE(scene.bloodOn);
    EXPECT_FALSE(scene.spikeLeaving);
    EXPECT_FALSE(scene.lamentActive);
    EXPECT_FALSE(scene.wobbloEyesShut);
    EXPECT_FALSE(scene.fadingOut);
    EXPECT_FALSE(scene.kickPending);
    EXPECT_EQ(scene.kickSlide, 0.0f);
    // Left alone:
    EXPECT_TRUE(scene.tavikTalking);
    EXPECT_TRUE(scene.bexloTalking);
    EXPECT_EQ(scene.lastChangeTime, 0.5f);
    EXPECT_EQ(scene.spikeSpin, 100) << "the pick cleared the mishap before its counter";
    std::vector<std::string> routines = Routines();
    EXPECT_EQ(std::count(routines.begin(), routines.end(), "DrawSpike"), 0);
}

TEST_F(FrameTest, LamentVariantZeroPicksAtOnce)
{
    scene.figure = 2;
    scene.fadeAlpha = 0.0f;
    scene.lamentActive = true;
    scene.lamentVariant = 0;
    RenderFrame();
    EXPECT_NE(scene.figure, 2);
    EXPECT_FALSE(scene.lamentActive);
    ASSERT_EQ(drawCalls.size(), 1u);
    EXPECT_EQ(drawCalls[0].figure, scene.figure) << "the new figure is drawn, not the lament";
    EXPECT_NE(drawCalls[0].routine, "DrawLament");
}

TEST_F(FrameTest, MishapCounterWithdrawsAt359AndWraps)
{
    struct Case {
        int before, after;
        bool leaving;
    };
    const Case cases[] = {{0, 1, false}, {357, 358, false}, {358, 359, true}, {359, 360, true}, {360, 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        ClearFakeRecords();
        scene.mishapActive = true;
        scene.spikeLeaving = false;
        scene.spikeSpin = c.before;
        scene.figure = 2;
        RenderFrame();
        EXPECT_EQ(scene.spikeSpin, c.after);
        EXPECT_EQ(scene.spikeLeaving, c.leaving);
        EXPECT_EQ(Routines(), (std::vector<std::string>{"DrawMuffix", "DrawSpike"}));
    }
}

// The kick's roll is the frame's first: one value in a thousand asks for
// the kick, and neither neighbour of a thousand nor a value that only a
// divisor of a thousand would take (500, 200) does.
TEST_F(FrameTest, KickRollConditions)
{
    const int hit = 1000;
    struct Case {
        const char* name;
        int roll;
        int figure;
        float alpha;
        bool sound;
        bool fading;
        bool requested;
    };
    const Case cases[] = {
        {"all conditions hold", hit, 3, 1.0f, true, false, true},
        {"roll 999", 999, 3, 1.0f, true, false, false},
        {"roll 1001", 1001, 3, 1.0f, true, false, false},
        {"roll 500", 500, 3, 1.0f, true, false, false},
        {"roll 200", 200, 3, 1.0f, true, false, false},
        {"just above 0.9", hit, 3, 0.90000004f, true, false, true},
        {"0.9 itself", hit, 3, 0.9f, true, false, false},
        {"half faded", hit, 3, 0.5f, true, false, false},
        {"another figure", hit, 1, 1.0f, true, false, false},
        {"figure 5", hit, 5, 1.0f, true, false, false},
        {"sound off", hit, 3, 1.0f, false, false, false},
        {"fading out", hit, 3, 1.0f, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetSceneState();
        scene.figure = c.figure;
        scene.fadeAlpha = c.alpha;
        scene.fadingOut = c.fading;
        scene.lastChangeTime = 0.9f;
        soundsOn = c.sound;
        ResetRand();
        ScriptRand({c.roll});
        RenderFrame();
        EXPECT_EQ(scene.kickPending, c.requested);
    }
}

TEST_F(FrameTest, KickRollIsDrawnEveryFrameExceptWhileFadingOut)
{
    for (bool fading : {false, true}) {
        SCOPED_TRACE(fading);
        ResetSceneState();
        scene.figure = 4;
        scene.fadeAlpha = 1.0f;
        scene.fadingOut = fading;
        scene.lastChangeTime = 0.9f;
        ResetRand();
        RenderFrame();
        EXPECT_EQ(RandCalls(), fading ? 0 : 1);
    }
}

TEST_F(FrameTest, KickCannotBeRequestedInTheFrameTheCharDelayFires)
{
    scene.figure = 3;
    scene.fadeAlpha = 1.0f;
    SetClock(61.0);
    ScriptRand({1000});
    RenderFrame();
    EXPECT_TRUE(scene.fadingOut);
    EXPECT_FALSE(scene.kickPending) << "a request now would hold the char delay off for good";

    // The fade runs out and the next figure's char delay works as usual.
    RunFrames(12);
    EXPECT_NE(scene.figure, 3);
    scene.fadeAlpha = 1.0f;
    SetClock(122.0);
    RenderFrame();
    EXPECT_TRUE(scene.fadingOut);
}

TEST_F(FrameTest, DispatchFirstMatchWins)
{
    struct Case {
        const char* name;
        int figure;
        bool kick, lament, mishap, sound;
        std::vector<std::string> routines;
    };
    const Case cases[] = {
        {"figure 1", 1, false, false, false, true, {"DrawWobblo"}},
        {"figure 2", 2, false, false, false, true, {"DrawMuffix"}},
        {"figure 3", 3, false, false, false, true, {"DrawTavik"}},
        {"figure 4", 4, false, false, false, true, {"DrawBexlo"}},
        {"figure 5", 5, false, false, false, true, {"DrawNibbo"}},
        {"figure 0", 0, false, false, false, true, {}},
        {"figure 6", 6, false, false, false, true, {}},
        {"kick over lament", 3, true, true, false, true, {"DrawKickScene"}},
        {"lament", 2, false, true, false, true, {"DrawLament"}},
        {"silent lament", 2, false, true, false, false, {}},
        {"mishap", 2, false, false, true, true, {"DrawMuffix", "DrawSpike"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetSceneState();
        ClearFakeRecords();
        scene.figure = c.figure;
        scene.fadeAlpha = 1.0f;
        scene.lastChangeTime = 0.9f;
        scene.kickActive = c.kick;
        scene.lamentActive = c.lament;
        scene.lamentVariant = 2;
        scene.mishapActive = c.mishap;
        soundsOn = c.sound;
        ScriptRand({1});
        RenderFrame();
        EXPECT_EQ(Routines(), c.routines);
    }
}

TEST_F(FrameTest, SilentLamentFadesOutToTheNextFigure)
{
    // As the mishap leaves it: alpha reset to 0 and stepped once.
    scene.figure = 2;
    scene.fadeAlpha = 0.1f;
    scene.lamentActive = true;
    scene.lamentVariant = 3;
    soundsOn = false;
    RenderFrame();
    EXPECT_TRUE(drawCalls.empty());
    EXPECT_TRUE(scene.fadingOut);
    EXPECT_FALSE(scene.lamentActive);
    RenderFrame();
    ASSERT_EQ(drawCalls.size(), 1u);
    EXPECT_NE(drawCalls[0].figure, 2) << "the fade-out ran out at once and picked";
    EXPECT_FALSE(scene.fadingOut);
}

TEST_F(FrameTest, BlendingIsOnExactlyWhileAlphaIsBelowOne)
{
    const float alphas[] = {0.0f, 0.5f, 0.99999994f, 1.0f, 1.0000001f};
    for (float alpha : alphas) {
        SCOPED_TRACE(alpha);
        ClearFakeRecords();
        scene.figure = 4;
        scene.fadeAlpha = alpha;
        scene.fadingOut = false;
        RenderFrame();
        ASSERT_EQ(drawCalls.size(), 1u);
        EXPECT_EQ(drawCalls[0].blending, alpha < 1.0f);
        if (alpha < 1.0f) {
            EXPECT_EQ(drawCalls[0].blendSource, GL_SRC_ALPHA);
            EXPECT_EQ(drawCalls[0].blendDestination, GL_ONE_MINUS_SRC_ALPHA);
        }
        EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "blending must not outlive the frame";
    }
}

TEST_F(FrameTest, FiguresAreEnteredAtTheStagePosition)
{
    GLint depthBefore = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    RenderFrame();
    ASSERT_EQ(drawCalls.size(), 1u);
    const GLfloat* m = drawCalls[0].modelView;
    for (int i = 0; i < 16; i++) {
        float expected = (i % 5 == 0) ? 1.0f : 0.0f;
        if (i == 14)
            expected = -5.5f;
        EXPECT_FLOAT_EQ(m[i], expected) << "element " << i;
    }
    EXPECT_EQ(drawCalls[0].modelViewDepth, depthBefore + 1);
    GLint depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
}

TEST_F(FrameTest, FrameStartsFromAClearedBuffer)
{
    // Something left in the back buffer by an earlier frame must be gone.
    onDraw = [](const std::string&) {
        GLfloat pixel[4] = {1, 1, 1, 1};
        glReadPixels(10, 10, 1, 1, GL_RGBA, GL_FLOAT, pixel);
        EXPECT_EQ(pixel[0] + pixel[1] + pixel[2], 0.0f);
        GLfloat depth = 0.0f;
        glReadPixels(10, 10, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        EXPECT_EQ(depth, 1.0f);
    };
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    glClearDepth(0.25);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    RenderFrame();
    EXPECT_EQ(drawCalls.size(), 1u);
}

}  // namespace
