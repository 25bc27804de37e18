// Sound cues over the real layer: which line each roll speaks, what the
// latches and the cue time do, and how a failing sound switches sound off.
#include <gtest/gtest.h>

#include <string>

#include "events/events.h"
#include "testing/doubles/sys_seams.h"
#include "testing/doubles/scripted_rand.h"
#include "settings/settings.h"
#include "shell/shell.h"
#include "stage/scene_state.h"

using w32test::SoundOutcome;

namespace {

class CueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSceneState();
        ResetRand();
        appInstance = GetModuleHandleA(NULL);
        soundsOn = true;
        // Find and decode the real resources, but leave the sound card alone.
        w32test::SetSoundOutcome(SoundOutcome::FakeDevice);
        w32test::ClearSoundCalls();
        scene.clockNow = 42.5f;
        scene.lastCueTime = 7.0f;
    }
    void TearDown() override { w32test::SetSoundOutcome(SoundOutcome::Real); }
};

bool* LatchOf(int figure)
{
    switch (figure) {
    case 1: return &scene.wobbloTalking;
    case 3: return &scene.tavikTalking;
    case 4: return &scene.bexloTalking;
    case 5: return &scene.nibboTalking;
    default: return nullptr;
    }
}

}  // namespace

TEST_F(CueTest, EachRollSpeaksItsLineOrStaysSilent)
{
    struct {
        int figure;
        int rand;           // raw result; the cue takes it modulo its range
        const char* sound;  // "" when silent
        bool latched;
        bool cueTimeMoved;
    } rows[] = {
        {1, 0, "WOBBLO1", true, true},     {1, 15, "WOBBLO16", true, true},
        {1, 35 + 9, "WOBBLO10", true, true}, {1, 16, "", false, true},
        {1, 34, "", false, true},          {2, 0, "MUFFIX2", false, false},
        {2, 13, "MUFFIX5", false, false},  {2, 4, "", false, false},
        {3, 0, "TAVIK1", true, true},      {3, 4, "TAVIK5", true, true},
        {3, 5, "", false, true},           {4, 0, "BEXLO1", true, true},
        {4, 5, "BEXLO6", true, true},      {4, 6, "RETCHCUE", true, true},
        {4, 7, "", false, true},           {4, 14, "", false, true},
        {5, 3, "NIBBO4", true, true},      {5, 8 + 2, "NIBBO3", true, true},
        {5, 4, "", false, true},           {6, 0, "", false, false},
        // Where each range wraps, and a value a divisor of it would speak.
        {2, 5, "", false, false},          {3, 15, "TAVIK1", true, true},
        {4, 15, "BEXLO1", true, true},     {4, 21, "RETCHCUE", true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "figure " << row.figure << " rand " << row.rand);
        SetUp();
        scene.figure = row.figure;
        ScriptRand({row.rand});
        CueVoiceLine();

        const bool retch = std::string(row.sound) == "RETCHCUE";
        // One roll; the retch then resets the pool, three rolls a particle.
        EXPECT_EQ(RandCalls(), row.figure > 5 ? 0 : retch ? 1 + 3 * sprayPoolSize : 1);
        auto calls = w32test::SoundCalls();
        if (*row.sound) {
            ASSERT_EQ(calls.size(), 1u);
            EXPECT_EQ(calls[0].sound, row.sound);
            EXPECT_EQ(calls[0].module, appInstance);
            EXPECT_EQ(calls[0].flags, (DWORD)0x40007);
            EXPECT_TRUE(calls[0].result) << "resource missing or undecodable";
        } else {
            EXPECT_TRUE(calls.empty());
        }
        EXPECT_TRUE(soundsOn);
        if (bool* latch = LatchOf(row.figure)) {
            EXPECT_EQ(*latch, row.latched);
        }
        EXPECT_EQ(scene.lastCueTime, row.cueTimeMoved ? 42.5f : 7.0f);
        EXPECT_EQ(scene.retchActive, retch);
    }
}

TEST_F(CueTest, SoundOffMakesTheCueDoNothing)
{
    for (int figure = 1; figure <= 5; figure++) {
        SCOPED_TRACE(figure);
        SetUp();
        soundsOn = false;
        scene.figure = figure;
        ScriptRand({0});
        CueVoiceLine();
        EXPECT_EQ(RandCalls(), 0);
        EXPECT_TRUE(w32test::SoundCalls().empty());
        EXPECT_EQ(scene.lastCueTime, 7.0f);
        if (bool* latch = LatchOf(figure)) {
            EXPECT_FALSE(*latch);
        }
        EXPECT_FALSE(soundsOn);
    }
}

TEST_F(CueTest, RetchStartsEvenWhenItsSoundCannotPlay)
{
    w32test::SetSoundOutcome(SoundOutcome::Fail);
    for (SprayParticle& particle : sprayPool)
        particle = SprayParticle{9, 9, 9, 0, 0, 0, -3};
    scene.figure = 4;
    ScriptRand({21});  // 21 % 15 == 6
    CueVoiceLine();

    EXPECT_FALSE(soundsOn);
    EXPECT_TRUE(scene.retchActive);
    EXPECT_EQ(scene.retchStart, 42.5f);
    EXPECT_TRUE(scene.bexloTalking);
    for (const SprayParticle& particle : sprayPool) {
        EXPECT_EQ(particle.x, 0.0f);
        EXPECT_EQ(particle.life, 1.0f);
    }
    auto calls = w32test::SoundCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].sound, "RETCHCUE");
    EXPECT_FALSE(calls[0].result);
}

TEST_F(CueTest, AFailedSoundSwitchesSoundOffForTheRestOfTheRun)
{
    w32test::SetSoundOutcome(SoundOutcome::Fail);
    scene.figure = 1;
    ScriptRand({3});
    CueVoiceLine();
    EXPECT_FALSE(soundsOn);
    EXPECT_TRUE(scene.wobbloTalking) << "the caller goes on as if the line had played";

    // Even once a device would work again, nothing more is attempted.
    w32test::SetSoundOutcome(SoundOutcome::FakeDevice);
    w32test::ClearSoundCalls();
    scene.wobbloTalking = false;
    for (int bounce = 0; bounce < 20; bounce++) {
        ScriptRand({0});
        CueVoiceLine();
    }
    EXPECT_TRUE(w32test::SoundCalls().empty());
    EXPECT_FALSE(scene.wobbloTalking);
    EXPECT_FALSE(soundsOn);
}

TEST_F(CueTest, PlayCueKeepsSoundOnWhenItPlaysAndFailsForAMissingResource)
{
    const char* played[] = {"MUFFIX1", "GASPWAIL", "CURSEWAIL", "JOLLYTUNE", "KICKREADY", "KICKPLEA", "KICKCALL"};
    for (const char* name : played) {
        PlayCue(name);
        EXPECT_TRUE(soundsOn) << name;
        EXPECT_EQ(w32test::SoundPlaying(), name);
    }
    PlayCue("NOSUCHCUE");
    EXPECT_FALSE(soundsOn);
}

TEST_F(CueTest, ASecondLineWithinTwoSecondsMovesTheCueTimeOn)
{
    scene.figure = 5;
    ScriptRand({0});
    CueVoiceLine();
    scene.clockNow = 43.7f;
    ScriptRand({1});
    CueVoiceLine();
    EXPECT_EQ(scene.lastCueTime, 43.7f);
    EXPECT_TRUE(scene.nibboTalking);
    auto calls = w32test::SoundCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].sound, "NIBBO2");
    EXPECT_EQ(w32test::SoundPlaying(), "NIBBO2");
}
