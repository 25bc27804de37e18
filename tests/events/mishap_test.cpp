// The mishap and its lament on the real renderer and figures (OSMesa),
// frame by frame, with the sounds the layer was asked to play. The stage's
// hold and re-centring belong to the tick's own tests.
#include "tests/stage/stage_fixture.h"

#include <string>
#include <vector>

#include "events/events.h"
#include "testing/doubles/scene_seams.h"
#include "testing/doubles/scripted_rand.h"

namespace {

class MishapTest : public StageFixture {
protected:
    void SetUp() override
    {
        StageFixture::SetUp();
        BuildStage(400, 320);
        polyResolution = 10;
    }

    void TearDown() override
    {
        ResetRand();
        StageFixture::TearDown();
    }

    // The start state, keeping the geometry of the stage that was built.
    void FreshScene()
    {
        SceneState built = scene;
        ResetSceneState();
        scene.screenW = built.screenW;
        scene.screenH = built.screenH;
        scene.stageSide = built.stageSide;
        soundsOn = true;
        w32test::ClearSoundCalls();
    }

    static std::vector<std::string> Sounds()
    {
        std::vector<std::string> names;
        for (const w32test::SoundCall& call : w32test::SoundCalls())
            names.push_back(call.sound);
        return names;
    }
};

// From the strike to the next figure: the spray starts in frame 5, the
// withdrawal in frame 359 and the spike is gone after frame 409, on every
// edge; then each lament plays its lines, fades out at its time and gives
// way to another figure, while variant 0 and a silent lament give way at once.
TEST_F(MishapTest, FromTheStrikeThroughTheLamentToTheNextFigure)
{
    const struct {
        const char* name;
        int edge, lamentRoll;  // the variant is the roll % 4
        bool sound;
        std::vector<std::string> sounds;
        double fadeOutAfter;  // lament seconds; < 0: no scene
        int framesToPick;     // after the spike is gone, when there is no scene
    } cases[] = {
        {"top, roll 4 is variant 0: nothing shown", 0, 4, true, {"MUFFIX1"}, -1.0, 1},
        {"bottom, figure 3 left and 4 right", 1, 1, true, {"MUFFIX1", "GASPWAIL", "CURSEWAIL"}, 8.0, 0},
        {"left, figure 3 right and 4 left", 2, 2, true, {"MUFFIX1", "GASPWAIL", "CURSEWAIL"}, 8.0, 0},
        {"right, figure 1 alone", 3, 3, true, {"MUFFIX1", "JOLLYTUNE"}, 15.0, 0},
        {"sound off: a silent strike, no lament", 1, 3, false, {}, -1.0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FreshScene();
        soundsOn = c.sound;
        ForceMishap(c.edge, c.lamentRoll);
        int frame = 0, bloodFrame = 0, leavingFrame = 0, endFrame = 0, fadeOutFrame = 0;
        double fadeOutAt = -1.0;
        while (scene.figure == 2 && frame < 1500) {
            FakeClockSeconds() += 0.033;
            RenderFrame();
            frame++;
            if (scene.bloodOn && !bloodFrame)
                bloodFrame = frame;
            if (scene.spikeLeaving && !leavingFrame)
                leavingFrame = frame;
            if (!scene.mishapActive && !endFrame)
                endFrame = frame;
            if (scene.lamentActive && scene.fadingOut && !fadeOutFrame) {
                fadeOutFrame = frame;
                fadeOutAt = scene.clockNow - scene.lamentStart;
            }
        }
        EXPECT_EQ(bloodFrame, 5);
        EXPECT_EQ(leavingFrame, 359);
        EXPECT_EQ(endFrame, 409);
        EXPECT_NE(scene.figure, 2);
        EXPECT_FALSE(scene.lamentActive);
        EXPECT_EQ(Sounds(), c.sounds);
        if (c.fadeOutAfter < 0) {
            EXPECT_EQ(frame, endFrame + c.framesToPick);
        } else {
            EXPECT_GT(fadeOutAt, c.fadeOutAfter);
            EXPECT_LT(fadeOutAt, c.fadeOutAfter + 0.034);
            EXPECT_EQ(frame, fadeOutFrame + 10) << "a full fade-out before the pick";
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
