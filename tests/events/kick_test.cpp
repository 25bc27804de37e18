// The kick scene end to end on the real frame renderer and figures, drawn by
// OSMesa: the approach, figure 5 fading in over a solid figure 3, the three
// lines in order, and the hand-over to figure 5 with the stage sent off.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "testing/doubles/sys_seams.h"
#include "settings/settings.h"
#include "shell/shell.h"
#include "stage/scene_state.h"
#include "stage/stage.h"
#include "testing/doubles/scene_seams.h"
#include "testing/doubles/scripted_rand.h"
#include "tools/offscreen_gl.h"

using w32test::SoundOutcome;

namespace {

long sceneMilliseconds = 0;
LONGLONG SteppedCounter()
{
    return (LONGLONG)sceneMilliseconds * 1000000;
}

struct Cue {
    std::string sound;
    bool played;
    double elapsed;  // since the timeline started
};

// Pixels of a colour drawn at full strength: figure 5's cyan suit and
// figure 3's green hat.
int CountBright(const offscreen::Stage& stage, bool cyan)
{
    int count = 0;
    for (size_t i = 0; i < stage.pixels.size(); i += 4) {
        const int r = stage.pixels[i], g = stage.pixels[i + 1], b = stage.pixels[i + 2];
        bool bright = cyan ? (r < 30 && g > 90 && b > 90) : (r < 30 && g > 90 && b < 30);
        count += bright;
    }
    return count;
}

class KickSceneTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(offscreen::OpenStage(&stage, 128)); }
    static void TearDownTestSuite() { offscreen::CloseStage(&stage); }

    void SetUp() override
    {
        ResetSceneState();
        ResetRand();
        appInstance = GetModuleHandleA(NULL);
        polyResolution = 10;
        charDelay = 60;
        soundsOn = true;
        w32test::SetSoundOutcome(SoundOutcome::FakeDevice);
        w32test::ClearSoundCalls();
        sceneMilliseconds = 0;
        w32test::SetPerformanceCounter(SteppedCounter);
        scene.spinSpeedX = 3;
        scene.spinSpeedY = -2;
        scene.spinSpeedZ = 1;
    }
    void TearDown() override
    {
        w32test::SetPerformanceCounter(nullptr);
        w32test::SetSoundOutcome(SoundOutcome::Real);
    }

    void Frame()
    {
        RenderFrame();
        glFinish();
        sceneMilliseconds += 33;
        const auto calls = w32test::SoundCalls();
        if (calls.size() > cues.size())
            cues.push_back({calls.back().sound, calls.back().result != FALSE,
                            (double)scene.clockNow - scene.kickStart});
    }

    // Frames until the condition holds, at most `limit` of them: a scene
    // that stalls fails on the count instead of hanging.
    int FramesUntil(const std::function<bool()>& reached, int limit)
    {
        int frames = 0;
        while (!reached() && frames < limit) {
            Frame();
            frames++;
        }
        return frames;
    }

    // Frames until the scene has handed over, at most a minute's worth.
    int RunToTheEnd()
    {
        return FramesUntil([] { return !scene.kickPending && scene.figure == 5; }, 1800);
    }

    static offscreen::Stage stage;
    std::vector<Cue> cues;
};

offscreen::Stage KickSceneTest::stage;

}  // namespace

TEST_F(KickSceneTest, FigureFiveFadesInTheLinesFollowAndTheStageFliesOffWithIt)
{
    scene.spinAngleY[3] = -15;
    ForceKick();
    EXPECT_EQ(FramesUntil([] { return scene.kickActive; }, 400), 15) << "the largest angle, wound back a degree per frame";
    const int hatBefore = CountBright(stage, false);

    Frame();  // the scene's first frame
    EXPECT_FLOAT_EQ(scene.kickFade, 0.1f);
    EXPECT_EQ(scene.fadeAlpha, 1.0f);
    EXPECT_LT(CountBright(stage, true), 10) << "figure 5 is still faint";
    EXPECT_GT(hatBefore, 200);
    EXPECT_GT(CountBright(stage, false), hatBefore * 9 / 10) << "over a solid figure 3";

    ASSERT_EQ(FramesUntil([] { return scene.kickFade >= 1.0f; }, 60), 9) << "ten frames of fade-in in all";
    Frame();
    EXPECT_GT(CountBright(stage, true), 200) << "figure 5 solid in front";

    const int frames = RunToTheEnd();
    ASSERT_LT(frames, 1800);
    ASSERT_EQ(cues.size(), 3u);
    const char* order[] = {"KICKREADY", "KICKPLEA", "KICKCALL"};
    const double after[] = {1.0, 3.0, 4.75};
    for (int i = 0; i < 3; i++) {
        SCOPED_TRACE(order[i]);
        EXPECT_EQ(cues[i].sound, order[i]);
        EXPECT_TRUE(cues[i].played);
        EXPECT_GT(cues[i].elapsed, after[i]);
        EXPECT_LE(cues[i].elapsed, after[i] + 0.034) << "in the first frame past its time";
    }

    EXPECT_EQ(scene.figure, 5);
    EXPECT_FALSE(scene.kickActive);
    EXPECT_FALSE(scene.kickLeaving);
    EXPECT_EQ(scene.kickSlide, 0.0f);
    EXPECT_EQ(scene.kickStart, 0.0f);
    EXPECT_EQ(scene.fadeAlpha, 1.0f);
    EXPECT_EQ(scene.stageDX, 10);
    EXPECT_EQ(scene.stageDY, -3);
    EXPECT_EQ(scene.lastChangeTime, scene.clockNow) << "figure 5 stays a full char delay";
    EXPECT_GT(CountBright(stage, true), 200);
    EXPECT_EQ(CountBright(stage, false), 0) << "figure 3 is gone";
}

TEST_F(KickSceneTest, ALineThatFailsTurnsSoundOffAndTheSceneEndsSilently)
{
    ForceKick();
    FramesUntil([this] { return !cues.empty() || scene.figure != 3; }, 400);
    ASSERT_EQ(cues.size(), 1u);
    w32test::SetSoundOutcome(SoundOutcome::Fail);
    RunToTheEnd();

    ASSERT_EQ(cues.size(), 2u);
    EXPECT_EQ(cues[1].sound, "KICKPLEA");
    EXPECT_FALSE(cues[1].played);
    EXPECT_FALSE(soundsOn);
    EXPECT_EQ(scene.figure, 5);
    EXPECT_FALSE(scene.kickPending);
    EXPECT_EQ(scene.stageDX, 10);
}
