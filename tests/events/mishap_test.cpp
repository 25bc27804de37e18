// The mishap and the lament through the real stage: ticks and paints of the
// stage window with the real figures on OSMesa, and the sounds the layer was
// asked to play.
#include "tests/stage/stage_fixture.h"

#include <string>
#include <vector>

#include "events/events.h"
// Where the layer keeps the window's position; the Win32 subset the system
// uses has no call that reads it back.
#include "platform/posix/layer_internal.h"
#include "tools/doubles/scene_seams.h"

namespace {

class MishapTest : public StageFixture {
protected:
    void SetUp() override
    {
        StageFixture::SetUp();
        BuildStage(400, 320);  // screenW 400, screenH 300, stageSide 150
        polyResolution = 10;
        soundsOn = true;
        w32test::ClearSoundCalls();
    }

    void TearDown() override
    {
        forcedLamentVariant = -1;
        StageFixture::TearDown();
    }

    void Tick() { StageWindowProc(stageWindow, WM_TIMER, 1, 0); }

    void Paint()
    {
        FakeClockSeconds() += 0.033;
        StageWindowProc(stageWindow, WM_PAINT, 0, 0);
    }

    POINT WindowPosition() const
    {
        w32::Window* record = w32::FindWindowRecord(stageWindow);
        return record ? POINT{record->x, record->y} : POINT{-99999, -99999};
    }

    static std::vector<std::string> Sounds()
    {
        std::vector<std::string> names;
        for (const w32test::SoundCall& call : w32test::SoundCalls())
            names.push_back(call.sound);
        return names;
    }

    // The start state, keeping the geometry of the stage that was built.
    void FreshScene()
    {
        SceneState built = scene;
        ResetSceneState();
        scene.screenW = built.screenW;
        scene.screenH = built.screenH;
        scene.stageSide = built.stageSide;
    }

    // Figure 2 at full strength where a bounce finds it, and its mishap.
    void StrikeFigureTwo(int edge, int lamentVariant)
    {
        scene.stageX = 100;
        scene.stageY = 50;
        scene.stageDX = 2;
        scene.stageDY = -1;
        MoveWindow(stageWindow, 100, 50, scene.stageSide, scene.stageSide, FALSE);
        ForceMishap(edge, lamentVariant);
    }
};

TEST_F(MishapTest, SpikeStrikesInFrameFiveLeavesAt359AndIsGoneAfter409WhileTheStageHolds)
{
    for (int edge = 0; edge < 4; edge++) {
        SCOPED_TRACE(edge);
        FreshScene();
        w32test::ClearSoundCalls();
        StrikeFigureTwo(edge, 1);  // a lament that holds the stage centred
        EXPECT_EQ(Sounds(), std::vector<std::string>{"MUFFIX1"});

        int bloodFrame = 0, leavingFrame = 0, endFrame = 0;
        for (int frame = 1; frame <= 500 && !endFrame; frame++) {
            Tick();
            EXPECT_EQ(WindowPosition().x, 100) << "frame " << frame;
            EXPECT_EQ(WindowPosition().y, 50) << "frame " << frame;
            Paint();
            if (scene.bloodOn && !bloodFrame)
                bloodFrame = frame;
            if (scene.spikeLeaving && !leavingFrame)
                leavingFrame = frame;
            if (!scene.mishapActive)
                endFrame = frame;
        }
        EXPECT_EQ(bloodFrame, 5);
        EXPECT_EQ(leavingFrame, 359);
        EXPECT_EQ(endFrame, 409);
        EXPECT_TRUE(scene.lamentActive);
        EXPECT_EQ(scene.lamentVariant, 1);
        EXPECT_FLOAT_EQ(scene.fadeAlpha, 0.1f) << "reset to 0 by the spike, then one fade step";

        Tick();
        EXPECT_EQ(WindowPosition().x, 125) << "the lament centres the stage";
        EXPECT_EQ(WindowPosition().y, 75);
    }
}

TEST_F(MishapTest, EachLamentPlaysItsCuesAndFadesOutToAnotherFigure)
{
    struct Case {
        const char* name;
        int variant;
        bool sound;
        std::vector<std::string> sounds;
        double fadeOutAfter;  // scene seconds; < 0: no scene, the pick follows at once
        int framesToPick;     // after the frame that ends the mishap
    };
    const Case cases[] = {
        {"variant 0 shows nothing", 0, true, {}, -1.0, 1},
        {"figure 3 left, figure 4 right", 1, true, {"GASPWAIL", "CURSEWAIL"}, 8.0, 0},
        {"figure 3 right, figure 4 left", 2, true, {"GASPWAIL", "CURSEWAIL"}, 8.0, 0},
        {"figure 1 alone", 3, true, {"JOLLYTUNE"}, 15.0, 0},
        {"sound off ends the lament at once", 3, false, {}, -1.0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreshScene();
        soundsOn = c.sound;
        StrikeFigureTwo(1, c.variant);
        // The last frame of the withdrawal.
        scene.bloodOn = scene.spikeLeaving = true;
        scene.spikeSpin = 50;
        scene.spikeHeight = -4.95f;
        Paint();
        ASSERT_TRUE(scene.lamentActive);
        w32test::ClearSoundCalls();

        int frames = 0, fadeOutFrame = 0;
        double fadeOutAt = -1.0;
        while (scene.figure == 2 && frames < 700) {
            Paint();
            frames++;
            if (scene.fadingOut && !fadeOutFrame && scene.lamentActive) {
                fadeOutFrame = frames;
                fadeOutAt = scene.clockNow - scene.lamentStart;
            }
        }
        EXPECT_NE(scene.figure, 2);
        EXPECT_FALSE(scene.lamentActive);
        EXPECT_EQ(Sounds(), c.sounds);
        if (c.fadeOutAfter < 0) {
            EXPECT_EQ(frames, c.framesToPick);
        } else {
            EXPECT_GT(fadeOutAt, c.fadeOutAfter);
            EXPECT_LT(fadeOutAt, c.fadeOutAfter + 0.034);
            EXPECT_EQ(frames, fadeOutFrame + 10) << "a full fade-out before the pick";
        }
    }
}

// A set latch keeps a line from starting again; the rows that clear the
// latches come after the lines, so each line plays once.
TEST_F(MishapTest, ALatchBlocksASecondStartUntilItsRowClearsIt)
{
    const struct {
        const char* name;
        int variant;
        float elapsed;
        bool* latch;
        bool before;
        const char* sound;  // "" for none
        bool after;
    } rows[] = {
        {"gasp", 1, 2.0f, &scene.bexloTalking, false, "GASPWAIL", true},
        {"gasp blocked", 2, 2.5f, &scene.bexloTalking, true, "", true},
        {"gasp latch cleared", 1, 3.6f, &scene.bexloTalking, true, "", false},
        {"curse", 2, 4.5f, &scene.tavikTalking, false, "CURSEWAIL", true},
        {"curse blocked", 1, 5.0f, &scene.tavikTalking, true, "", true},
        {"curse latch cleared", 1, 5.6f, &scene.tavikTalking, true, "", false},
        {"tune", 3, 3.01f, &scene.wobbloTalking, false, "JOLLYTUNE", true},
        {"tune blocked", 3, 7.0f, &scene.wobbloTalking, true, "", true},
        {"tune latch cleared", 3, 12.5f, &scene.wobbloTalking, true, "", false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        FreshScene();
        w32test::ClearSoundCalls();
        scene.lamentActive = true;
        scene.lamentVariant = r.variant;
        scene.clockNow = r.elapsed;
        *r.latch = r.before;
        DrawLament();
        EXPECT_EQ(Sounds(), *r.sound ? std::vector<std::string>{r.sound} : std::vector<std::string>{});
        EXPECT_EQ(*r.latch, r.after);
        EXPECT_FALSE(scene.fadingOut);
    }
}

}  // namespace
