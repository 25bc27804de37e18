#include "stage/scene_state.h"

SceneState scene;

void ResetSceneState()
{
    scene = SceneState{};
    scene.figure = 1;
    scene.stageSide = 10;
    scene.spinSpeedX = scene.spinSpeedY = scene.spinSpeedZ = 1;
    scene.spinAngleY[1] = -91;  // turns figure 1 almost squarely to the viewer
    scene.muffixLidGap = 0.3f;
    scene.muffixSwingStep = 0.5f;
    scene.tavikSwingStep = 0.5f;
    scene.bexloSwingStep = 0.5f;
    scene.bexloArmRaiseStep = 2.0f;
    scene.nibboSwingStep = 1.0f;
}

// Static initialisation gives the saver its starting state before main().
static const bool sceneInitialised = (ResetSceneState(), true);
