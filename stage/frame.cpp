// One frame on the stage: advance the scene clock, run the figure cycle
// (char delay, kick roll, pick, fade), draw the scene or the current figure
// and present it. Called on every paint of the stage window.
#include "stage/stage.h"
#include "stage/scene_state.h"
#include "settings/settings.h"
#include "figures/conventions.h"
#include "figures/figures.h"
#include "events/events.h"

#include <stdlib.h>

static void AdvanceSceneClock()
{
    LONG seconds = 0, microseconds = 0;
    ReadClock(&seconds, &microseconds);
    scene.clockNow = (float)((double)(seconds - clockStart[0]) + (microseconds - clockStart[1]) * 0.000001);
}

static void ApplyCharDelay()
{
    if ((double)scene.clockNow - scene.lastChangeTime > charDelay && !scene.lamentActive && !scene.mishapActive &&
        !scene.kickPending) {
        scene.fadingOut = true;
        scene.lastChangeTime = scene.clockNow;
    }
}

static void RollKick()
{
    // A request made while the figure fades out would outlive it and hold
    // the char delay off for good, so none is made then.
    if (scene.fadingOut)
        return;
    if (rand() % 1000 == 0 && scene.figure == FIGURE_TAVIK && scene.fadeAlpha > 0.9 && soundsOn)
        scene.kickPending = true;
}

// The random pick yields figures 1 to 4; figure 5 only comes with the kick.
int RollFigure()
{
    return rand() % 4 + 1;
}

static void PickFigure()
{
    if (!((scene.fadeAlpha < 0.1 && scene.fadingOut) || (scene.lamentActive && scene.lamentVariant == 0)))
        return;
    int old = scene.figure;
    do
        scene.figure = RollFigure();
    while (scene.figure == old);

    scene.mishapActive = false;
    scene.bloodOn = false;
    scene.spikeLeaving = false;
    scene.lamentActive = false;
    scene.wobbloEyesShut = false;
    scene.fadingOut = false;
    // A kick asked of the figure that just left must not carry over.
    scene.kickPending = false;
    scene.kickSlide = 0.0f;
}

// The spike turns with the counter and starts to withdraw at 359.
static void AdvanceMishapCounter()
{
    if (!scene.mishapActive)
        return;
    scene.spikeSpin = scene.spikeSpin % 360 + 1;
    if (scene.spikeSpin > 358)
        scene.spikeLeaving = true;
}

static void DrawCurrentFigure()
{
    if (scene.figure >= 1 && scene.figure <= figureCount)
        figureRoutines[scene.figure - 1].draw();
}

static void DrawScene()
{
    if (scene.kickActive) {
        DrawKickScene();
    } else if (scene.lamentActive) {
        if (soundsOn) {
            DrawLament();
        } else {
            // A silent lament makes no sense: fade out to the next figure.
            scene.fadingOut = true;
            scene.lamentActive = false;
        }
    } else {
        DrawCurrentFigure();
    }
    if (scene.mishapActive)
        DrawSpike();
}

// Ten steps of 0.1 each way, never clamped: colours above 1 are clamped by GL.
static void StepFade()
{
    if (!scene.fadingOut) {
        if (scene.fadeAlpha < 1.0)
            scene.fadeAlpha = (float)(scene.fadeAlpha + 0.1);
    } else {
        if (scene.fadeAlpha > 0.0)
            scene.fadeAlpha = (float)(scene.fadeAlpha - 0.1);
        else
            scene.fadingOut = false;
    }
}

// The frame around whatever is drawn: cleared, the model-view pushed and
// moved back to where the figures stand, blending on while the fade runs.
void BeginFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -5.5f);
    if (scene.fadeAlpha < 1.0) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
}

// Read again: the scenes may have moved the fade while drawing.
void EndFrame()
{
    if (scene.fadeAlpha < 1.0)
        glDisable(GL_BLEND);
    glPopMatrix();
    glFlush();
}

void RenderFrame()
{
    BeginBusySpan();
    AdvanceSceneClock();
    ApplyCharDelay();
    RollKick();
    // Neither draws, so both may come before the frame is opened.
    PickFigure();
    AdvanceMishapCounter();

    drawnTriangles = 0;
    BeginFrame();
    DrawScene();
    EndFrame();
    SwapBuffers(stageDC);
    CountFrame(drawnTriangles);

    StepFade();
    EndBusySpan();
}
