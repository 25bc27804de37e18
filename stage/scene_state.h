// The one record of scene state shared by the stage, the figures and the
// scripted events. Everything runs on the UI thread, serialised by the
// message loop, so nothing here is locked.
#pragma once

// The edges of the stage area, as the bounce reports them and the mishap's
// spike comes in from them.
enum StageEdge { edgeTop = 0, edgeBottom = 1, edgeLeft = 2, edgeRight = 3 };

struct SceneState {
    // Figure cycle and clock
    int figure;            // FIGURE_WOBBLO (1) .. FIGURE_NIBBO (5), figures/figures.h
    float fadeAlpha;       // alpha of every figure colour
    bool fadingOut;
    float clockNow;        // seconds since the stage was created
    float lastChangeTime;  // clockNow when the char delay last fired
    float lastCueTime;     // clockNow of the last voice cue roll

    // Stage geometry and motion, pixels and pixels per tick. The stage area
    // is the primary monitor's rectangle (a preview's whole window) less the
    // banner strip; areaX and areaY are its corner in the saver window (0, 0
    // on one screen), and the stage's position is measured from there.
    int areaX, areaY;
    int screenW, screenH;
    int stageSide;
    int stageX, stageY;
    int stageDX, stageDY;

    // Spin: one shared speed triple, one angle triple per figure (index 1..5)
    int spinSpeedX, spinSpeedY, spinSpeedZ;
    int spinAngleX[6], spinAngleY[6], spinAngleZ[6];

    // Talking latches and poses
    bool wobbloTalking, tavikTalking, bexloTalking, nibboTalking;
    bool wobbloEyesShut;
    float muffixLidGap;
    float muffixSwing, muffixSwingStep;
    float tavikSwing, tavikSwingStep;
    float bexloSwing, bexloSwingStep;
    float bexloArmRaise, bexloArmRaiseStep;
    float nibboSwing, nibboSwingStep;

    // Mishap and lament
    bool mishapActive, bloodOn, spikeLeaving;
    float spikeHeight;
    int mishapEdge;  // a StageEdge
    int spikeSpin;
    bool lamentActive;
    float lamentStart;
    int lamentVariant;

    // Kick scene
    bool kickPending, kickActive, kickLeaving;
    float kickFade, kickStart, kickSlide;

    // Retch
    bool retchActive;
    float retchStart;
};

extern SceneState scene;

// The state the saver starts from; tests restore it between cases.
void ResetSceneState();
