// Sound cues: the one rule by which every sound is played, and the voice
// line a figure may speak when the stage bounces off an edge. Sounds are
// WAVE resources of the executable played asynchronously; the first failure
// switches sound off for the rest of the run, silently.
#include "events/events.h"
#include "figures/figures.h"

#include <stdlib.h>

#include <iterator>

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

// The retch starts its spray whether or not its sound could be played.
static void StartRetch()
{
    PlayCue("RETCHCUE");
    scene.retchActive = true;
    scene.retchStart = scene.clockNow;
    ResetSpray();
}

// One row per figure: a roll of rand() % range speaks lines[roll] while
// roll is below lineCount; figure 4's next result starts the retch.
struct VoiceCue {
    bool* talking;  // the figure's latch; figure 2 has no mouth to move, so none and no cue time
    int range;
    const char* const* lines;
    int lineCount;
    bool retchAfterLines;
};

static const VoiceCue voiceCues[] = {
    /* FIGURE_WOBBLO */ {&scene.wobbloTalking, 35, wobbloLines, (int)std::size(wobbloLines), false},
    /* FIGURE_MUFFIX */ {NULL, 10, muffixLines, (int)std::size(muffixLines), false},
    /* FIGURE_TAVIK  */ {&scene.tavikTalking, 15, tavikLines, (int)std::size(tavikLines), false},
    /* FIGURE_BEXLO  */ {&scene.bexloTalking, 15, bexloLines, (int)std::size(bexloLines), true},
    /* FIGURE_NIBBO  */ {&scene.nibboTalking, 8, nibboLines, (int)std::size(nibboLines), false},
};

// The latch is set before the roll and cleared again by a silent result, so
// a silent bounce still moves lastCueTime but leaves the mouth still. The
// retch keeps the latch set, as a spoken line does.
void CueVoiceLine()
{
    if (!soundsOn || scene.figure < FIGURE_WOBBLO || scene.figure > FIGURE_NIBBO)
        return;
    const VoiceCue& cue = voiceCues[scene.figure - FIGURE_WOBBLO];
    if (cue.talking) {
        scene.lastCueTime = scene.clockNow;
        *cue.talking = true;
    }
    int roll = rand() % cue.range;
    if (roll < cue.lineCount)
        PlayCue(cue.lines[roll]);
    else if (cue.retchAfterLines && roll == cue.lineCount)
        StartRetch();
    else if (cue.talking)
        *cue.talking = false;
}
