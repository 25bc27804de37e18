// The kick scene: figure 3 has stepped back to face the viewer (its own
// approach sets kickActive); figure 5 fades in before it, the two exchange
// three lines, figure 3 fades out, and the stage flies off to the upper right
// with figure 5, which then stays as the current figure for a full char
// delay. The scene keeps its own fade in kickFade and leaves fadeAlpha at 1.
//
// The timeline counts from the last frame of the fade-in. Its rows are tried
// from the latest down and only the first that holds acts; a speaker's
// talking latch keeps a line from starting twice. A line that cannot be
// played turns sound off and the scene goes on silently.
#include "events/events.h"

#include "figures/figures.h"
#include "platform/win32.h"
#include "settings/settings.h"
#include "stage/scene_state.h"

static void RunTimeline(double elapsed)
{
    if (elapsed > 5.25) {
        scene.tavikTalking = false;
        scene.kickLeaving = true;
    } else if (elapsed > 4.75 && !scene.tavikTalking && soundsOn) {
        PlayCue("KICKCALL");
        scene.tavikTalking = true;
    } else if (elapsed > 4.5) {
        scene.nibboTalking = false;
    } else if (elapsed > 3.0 && !scene.nibboTalking && soundsOn) {
        PlayCue("KICKPLEA");
        scene.nibboTalking = true;
    } else if (elapsed > 2.5) {
        scene.tavikTalking = false;
    } else if (elapsed > 1.0 && !scene.tavikTalking && soundsOn) {
        PlayCue("KICKREADY");
        scene.tavikTalking = true;
    }
}

// Figure 5 stays, the char delay starts afresh and the stage is sent off.
static void EndKickScene()
{
    scene.kickFade = 0.0f;
    scene.figure = FIGURE_NIBBO;
    scene.kickPending = false;
    scene.kickActive = false;
    scene.fadeAlpha = 1.0f;
    scene.kickStart = 0.0f;
    scene.kickLeaving = false;
    scene.stageDX = 10;
    scene.stageDY = -3;
    scene.kickSlide = 0.0f;
    DrawNibbo();
    scene.lastChangeTime = scene.clockNow;
}

// The solid figure first, then the fading one over it.
static void DrawPair(void (*solid)(), void (*fading)())
{
    scene.fadeAlpha = 1.0f;
    solid();
    scene.fadeAlpha = scene.kickFade;
    if (scene.kickFade < 1.0)
        glEnable(GL_BLEND);
    fading();
    if (scene.fadeAlpha < 1.0)
        glDisable(GL_BLEND);
    scene.fadeAlpha = 1.0f;
}

void DrawKickScene()
{
    if (!scene.kickActive)
        return;
    double elapsed = scene.kickStart > 0.0 ? (double)scene.clockNow - scene.kickStart : 0.0;

    if (!scene.kickLeaving) {
        if (scene.kickFade < 1.0) {
            scene.tavikTalking = false;
            scene.kickStart = scene.clockNow;
            scene.kickFade = (float)(scene.kickFade + 0.1);
        } else {
            scene.kickFade = 1.0f;
        }
    } else if (scene.kickFade > 0.0) {
        scene.kickFade = (float)(scene.kickFade - 0.1);
    } else {
        EndKickScene();
        return;
    }

    RunTimeline(elapsed);

    if (!scene.kickLeaving)
        DrawPair(DrawTavik, DrawNibbo);
    else
        DrawPair(DrawNibbo, DrawTavik);
}
