// Sound cues: the one rule by which every sound is played, and the voice
// line a figure may speak when the stage bounces off an edge. Sounds are
// WAVE resources of the executable played asynchronously; the first failure
// switches sound off for the rest of the run, silently.
#include "events/events.h"
#include "figures/figures.h"

#include <stdlib.h>

#include "settings/settings.h"
#include "shell/shell.h"
#include "stage/scene_state.h"

static const char* const wobbloLines[16] = {
    "WOBBLO1", "WOBBLO2",  "WOBBLO3",  "WOBBLO4",  "WOBBLO5",  "WOBBLO6",  "WOBBLO7",  "WOBBLO8",
    "WOBBLO9", "WOBBLO10", "WOBBLO11", "WOBBLO12", "WOBBLO13", "WOBBLO14", "WOBBLO15", "WOBBLO16",
};
static const char* const muffixLines[4] = {"MUFFIX2", "MUFFIX3", "MUFFIX4", "MUFFIX5"};
static const char* const tavikLines[5] = {"TAVIK1", "TAVIK2", "TAVIK3", "TAVIK4", "TAVIK5"};
static const char* const bexloLines[6] = {"BEXLO1", "BEXLO2", "BEXLO3", "BEXLO4", "BEXLO5", "BEXLO6"};
static const char* const nibboLines[4] = {"NIBBO1", "NIBBO2", "NIBBO3", "NIBBO4"};

void PlayCue(const char* name)
{
    if (!PlaySoundA(name, appInstance, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT))
        soundsOn = false;
}

// The latch is set before the roll and cleared again by a silent result, so
// a silent bounce still moves lastCueTime but leaves the mouth still.
static void CueWobblo()
{
    scene.lastCueTime = scene.clockNow;
    scene.wobbloTalking = true;
    int roll = rand() % 35;
    if (roll < 16)
        PlayCue(wobbloLines[roll]);
    else
        scene.wobbloTalking = false;
}

// Figure 2 has no mouth to move, so no latch and no cue time.
static void CueMuffix()
{
    int roll = rand() % 10;
    if (roll < 4)
        PlayCue(muffixLines[roll]);
}

static void CueTavik()
{
    scene.lastCueTime = scene.clockNow;
    scene.tavikTalking = true;
    int roll = rand() % 15;
    if (roll < 5)
        PlayCue(tavikLines[roll]);
    else
        scene.tavikTalking = false;
}

// The retch starts its spray whether or not its sound could be played.
static void StartRetch()
{
    PlayCue("RETCHCUE");
    scene.retchActive = true;
    scene.retchStart = scene.clockNow;
    ResetSpray();
}

static void CueBexlo()
{
    scene.lastCueTime = scene.clockNow;
    scene.bexloTalking = true;
    int roll = rand() % 15;
    if (roll < 6)
        PlayCue(bexloLines[roll]);
    else if (roll == 6)
        StartRetch();
    else
        scene.bexloTalking = false;
}

static void CueNibbo()
{
    scene.lastCueTime = scene.clockNow;
    scene.nibboTalking = true;
    int roll = rand() % 8;
    if (roll < 4)
        PlayCue(nibboLines[roll]);
    else
        scene.nibboTalking = false;
}

void CueVoiceLine()
{
    if (!soundsOn)
        return;
    switch (scene.figure) {
    case FIGURE_WOBBLO: CueWobblo(); break;
    case FIGURE_MUFFIX: CueMuffix(); break;
    case FIGURE_TAVIK: CueTavik(); break;
    case FIGURE_BEXLO: CueBexlo(); break;
    case FIGURE_NIBBO: CueNibbo(); break;
    default: break;
    }
}
