#include "stage/scene_state.h"
#include "figures/figures.h"

SceneState scene;

void ResetSceneState()
{
    scene = SceneState{};
    scene.figure = FIGURE_WOBBLO;
    scene.stageSide = 10;
    scene.spinSpeedX = scene.spinSpeedY = scene.spinSpeedZ = 1;
    scene.spinAngleY[FIGURE_WOBBLO] = -91;  // turns Wobblo almost squarely to the viewer
    scene.muffixLidGap = 0.3f;
    scene.muffixSwingStep = 0.5f;
    scene.tavikSwingStep = 0.5f;
    scene.bexloSwingStep = 0.5f;
    scene.bexloArmRaiseStep = 2.0f;
    scene.nibboSwingStep = 1.0f;
}

// Static initialisation gives the saver its starting state before main().
static const bool sceneInitialised = (ResetSceneState(), true);
