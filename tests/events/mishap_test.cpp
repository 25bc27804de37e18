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
        w32test::SetSoundOutcome(w32test::SoundOutcome::Succeed);
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
            if (scene.lamentActive) {
                EXPECT_FALSE(scene.mishapActive);
            }
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

// One row of a lament timeline: the latches before, what the frame plays,
// and what it leaves.
TEST_F(MishapTest, TimelinesActOnTheirFirstHoldingRowAndALatchBlocksASecondStart)
{
    struct Row {
        const char* name;
        int variant;
        float elapsed;
        bool talkingBefore;  // the latch of the figure this row is about
        const char* sound;   // "" for none
        bool talkingAfter;
        bool fadingOut;
    };
    enum { tavik, bexlo, wobblo };
    struct Case {
        Row row;
        int figure;  // whose latch
    };
    const Case cases[] = {
        {{"arm held down early", 1, 1.9f, false, "", false, false}, bexlo},
        {{"gasp at 2 s", 1, 2.0f, false, "GASPWAIL", true, false}, bexlo},
        {{"gasp blocked by its latch", 2, 2.5f, true, "", true, false}, bexlo},
        {{"gasp latch cleared after 3.5 s", 1, 3.6f, true, "", false, false}, bexlo},
        {{"curse at 4.5 s", 2, 4.5f, false, "CURSEWAIL", true, false}, tavik},
        {{"curse blocked by its latch", 1, 5.0f, true, "", true, false}, tavik},
        {{"curse latch cleared after 5.5 s", 1, 5.6f, true, "", false, false}, tavik},
        {{"pair fades out after 8 s", 1, 8.1f, false, "", false, true}, tavik},
        {{"tune just after 3 s", 3, 3.01f, false, "JOLLYTUNE", true, false}, wobblo},
        {{"tune blocked by its latch", 3, 7.0f, true, "", true, false}, wobblo},
        {{"tune latch cleared after 12 s", 3, 12.5f, true, "", false, false}, wobblo},
        {{"tune fades out after 15 s", 3, 15.1f, true, "", true, true}, wobblo},
        {{"variant 0 has no timeline", 0, 2.0f, false, "", false, false}, bexlo},
    };
    for (const Case& c : cases) {
        const Row& r = c.row;
        SCOPED_TRACE(r.name);
        FreshScene();
        w32test::ClearSoundCalls();
        scene.fadeAlpha = 1.0f;
        scene.lamentActive = true;
        scene.lamentVariant = r.variant;
        scene.lamentStart = 100.0f;
        scene.clockNow = (float)(100.0 + r.elapsed);
        scene.bexloArmRaise = 40.0f;
        bool* latch = c.figure == tavik ? &scene.tavikTalking : c.figure == bexlo ? &scene.bexloTalking
                                                                                    : &scene.wobbloTalking;
        *latch = r.talkingBefore;
        DrawLament();
        std::vector<std::string> expected;
        if (*r.sound)
            expected.push_back(r.sound);
        EXPECT_EQ(Sounds(), expected);
        EXPECT_EQ(*latch, r.talkingAfter);
        EXPECT_EQ(scene.fadingOut, r.fadingOut);
        // Below 2 s the scene holds figure 4's arm down before it is drawn.
        bool armHeld = r.variant != 3 && r.variant != 0 && r.elapsed < 2.0f;
        EXPECT_EQ(scene.bexloArmRaise < 3.0f, armHeld) << scene.bexloArmRaise;
    }
}

TEST_F(MishapTest, TheTuneResetsTheTearsAndTheEyesShutFromEightSeconds)
{
    const struct {
        float elapsed;
        bool shutBefore, shutAfter, poolReset;
    } rows[] = {{0.5f, true, false, false}, {3.5f, false, false, true}, {8.01f, false, true, false}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.elapsed);
        FreshScene();
        scene.lamentActive = true;
        scene.lamentVariant = 3;
        scene.wobbloTalking = r.elapsed < 1.0f || r.elapsed > 8.0f;
        scene.wobbloEyesShut = r.shutBefore;
        scene.clockNow = r.elapsed;
        sprayPool[0].y = 7.0f;
        DrawLament();
        EXPECT_EQ(scene.wobbloEyesShut, r.shutAfter);
        EXPECT_EQ(sprayPool[0].y == 0.0f, r.poolReset);
    }
}

TEST_F(MishapTest, AFailedCueTurnsSoundOffAndTheLamentEndsInTheNextFrame)
{
    StrikeFigureTwo(1, 1);
    scene.mishapActive = false;
    w32test::SetSoundOutcome(w32test::SoundOutcome::Fail);
    w32test::ClearSoundCalls();
    scene.fadeAlpha = 0.5f;
    scene.lamentActive = true;
    scene.lamentVariant = 1;
    scene.lamentStart = (float)(FakeClockSeconds() - 1.99);
    Paint();  // elapsed 2.02: the gasp fails
    EXPECT_EQ(Sounds(), std::vector<std::string>{"GASPWAIL"});
    EXPECT_FALSE(soundsOn);
    EXPECT_TRUE(scene.bexloTalking) << "the latch is set whether or not the sound played";
    Paint();
    EXPECT_FALSE(scene.lamentActive);
    EXPECT_TRUE(scene.fadingOut);
    EXPECT_EQ(scene.figure, 2) << "figure 2 shows while the scene fades out";
}

}  // namespace
