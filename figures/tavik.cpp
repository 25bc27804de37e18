// Figure 3, Tavik: a skin-coloured head with oval eyes and a small mouth
// under a green hat (tube, flattened dome, a darker band at the front, a
// skirt down the back of the head and two side flaps); a flared orange body
// with a dark green collar, a front line and two small marks beside it;
// orange arms that swing outward with green hands; short dark green legs
// and almost black feet. Faces +z, y up; no base transform besides the spin.
//
// The kick scene starts from this figure: while kickPending its spin stops,
// each angle winds back one degree per call, it steps back along -z by
// kickSlide up to 0.7, and once both are done it sets kickActive. The talking
// latch is left to the kick and lament scenes while they run; in the lament
// it faces the viewer with its arms held still.
//
// State: spin triple (index 3), tavikSwing, tavikSwingStep, and kickSlide.
#include "figures/figures.h"

#include "figures/conventions.h"
#include "figures/twin_parts.h"
#include "settings/settings.h"
#include "stage/scene_state.h"

static const GLfloat hatGreen[3] = {0.0f, 0.8f, 0.0f};
static const GLfloat darkGreen[3] = {0.0f, 0.6f, 0.0f};
static const GLfloat suitOrange[3] = {1.0f, 0.3f, 0.0f};

static void SwingArms()
{
    scene.tavikSwing = (float)(scene.tavikSwing + scene.tavikSwingStep);
    if (scene.tavikSwing >= 25.0f || scene.tavikSwing <= 0.0f)
        scene.tavikSwingStep = -scene.tavikSwingStep;
    if (scene.lamentActive)
        scene.tavikSwing = 10.0f;
}

static int TowardZero(int angle)
{
    return angle > 0 ? angle - 1 : angle < 0 ? angle + 1 : 0;
}

// Winds the spin back to the front and steps back, then hands over to the
// kick scene.
static void ApproachKick()
{
    scene.spinAngleX[FIGURE_TAVIK] = TowardZero(scene.spinAngleX[FIGURE_TAVIK]);
    scene.spinAngleY[FIGURE_TAVIK] = TowardZero(scene.spinAngleY[FIGURE_TAVIK]);
    scene.spinAngleZ[FIGURE_TAVIK] = TowardZero(scene.spinAngleZ[FIGURE_TAVIK]);
    if (scene.kickSlide < 0.65)
        scene.kickSlide = (float)(scene.kickSlide + 0.1);
    else
        scene.kickSlide = 0.7f;
    if (scene.spinAngleX[FIGURE_TAVIK] == 0 && scene.spinAngleY[FIGURE_TAVIK] == 0 && scene.spinAngleZ[FIGURE_TAVIK] == 0 &&
        scene.kickSlide > 0.65)
        scene.kickActive = true;
}

static void DrawMouth(GLUquadric* quadric)
{
    glPushMatrix();
    SetColour(nearBlack);
    bool open = RollMouthPhase() == 0 && scene.tavikTalking;
    if (open)
        DrawOpenMouth(quadric);
    else
        DrawClosedMouth(quadric);
    glPopMatrix();
}

static void DrawSideFlap(GLUquadric* quadric, GLfloat side)
{
    glPushMatrix();
    glTranslatef(0.875f * side, 0.0f, 0.25f);
    glRotatef(-15.0f * side, 0.0f, 1.0f, 0.0f);
    glScalef(0.5f, 1.0f, 1.1f);
    DrawSphere(quadric, 0.35, polyResolution, polyResolution);
    glPopMatrix();
}

// After the first turn local +z points up and +y away from the viewer.
static void DrawHat(GLUquadric* quadric)
{
    glPushMatrix();
    SetColour(hatGreen);
    glTranslatef(0.0f, 0.275f, -0.05f);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    DrawDisk(quadric, 0.8, 0.875, polyResolution, 1);
    DrawCylinder(quadric, 0.875, 0.825, 0.55, polyResolution, 5);

    glPushMatrix();
    glTranslatef(0.0f, 0.0f, 0.55f);
    glScalef(1.0f, 1.0f, 0.2f);
    DrawSphere(quadric, 0.8275, polyResolution, polyResolution);  // dome
    glPopMatrix();

    glPushMatrix();
    SetColour(darkGreen);
    glTranslatef(0.0f, -0.15f, 0.0f);  // toward the viewer: shows at the front
    glScalef(1.05f, 1.0f, 1.0f);
    DrawCylinder(quadric, 0.755, 0.75, 0.3, polyResolution, 5);  // band
    glPopMatrix();

    // The skirt keeps only the back half, so the face stays open.
    glTranslatef(0.0f, 0.0f, -0.45f);
    SetColour(hatGreen);
    SetClipPlane(0.0, 1.0, 0.0, 0.0);
    DrawDisk(quadric, 0.8, 0.85, polyResolution, 1);
    DrawCylinder(quadric, 0.85, 0.875, 0.45, polyResolution, 5);
    ClearClipPlane();

    DrawSideFlap(quadric, -1.0f);
    DrawSideFlap(quadric, 1.0f);
    glPopMatrix();
}

static void DrawHead(GLUquadric* quadric, bool eyesShut)
{
    glPushMatrix();
    SetColour(skinColour);
    DrawSphere(quadric, 0.85, polyResolution, polyResolution);
    DrawOvalEye(quadric, 1.0f, eyesShut, 0.225);
    DrawOvalEye(quadric, -1.0f, eyesShut, 0.225);
    DrawMouth(quadric);
    DrawHat(quadric);
    glPopMatrix();
}

// A small quadrilateral with a V from its upper corners to its centre.
static void DrawBodyMark()
{
    DrawLine(0.1f, 0.0f, 0.1f, -0.1f, 0.05f, 0.1f);
    DrawLine(0.1f, 0.0f, 0.1f, 0.1f, 0.0f, -0.1f);
    DrawLine(-0.1f, 0.025f, -0.1f, 0.1f, 0.0f, -0.1f);
    DrawLine(-0.1f, 0.025f, -0.1f, -0.1f, 0.05f, 0.1f);
    DrawLine(0.1f, 0.0f, -0.1f, 0.0f, 0.025f, 0.0f);
    DrawLine(0.0f, 0.025f, 0.0f, -0.1f, 0.025f, -0.1f);
}

// side +1 marks the copy turned toward +x, -1 its mirror image.
static void DrawBodyMarkAt(GLfloat side)
{
    glPushMatrix();
    glRotatef(25.0f * side, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, 0.55f, 0.35f);
    if (side < 0.0f)
        glScalef(-1.0f, 1.0f, 1.0f);
    DrawBodyMark();
    glPopMatrix();
}

static void DrawBody(GLUquadric* quadric)
{
    glPushMatrix();
    EnterBodyFrame();
    DrawFlaredBody(quadric, darkGreen, suitOrange);
    DrawBodyMarkAt(1.0f);
    DrawBodyMarkAt(-1.0f);
    DrawSwingingArm(quadric, 1.0f, scene.tavikSwing, false, 0.0f, suitOrange, hatGreen);
    DrawSwingingArm(quadric, -1.0f, scene.tavikSwing, false, 0.0f, suitOrange, hatGreen);
    DrawLegsAndFeet(quadric, darkGreen);
    glPopMatrix();
}

void DrawTavik()
{
    if (!scene.kickPending)
        AdvanceSpin(FIGURE_TAVIK);
    SwingArms();
    bool eyesShut = RollEyesShut();
    if (scene.tavikTalking && !scene.lamentActive && !scene.kickPending && CueTimedOut())
        scene.tavikTalking = false;
    if (scene.kickPending && !scene.kickActive)
        ApproachKick();

    GLUquadric* quadric = gluNewQuadric();
    // Out of memory: skip only the picture. The state above has already moved
    // on, so the scene's latches and timers never stall behind a lost frame.
    if (quadric == NULL)
        return;

    glPushMatrix();
    if (scene.kickPending)
        glTranslatef(0.0f, 0.0f, -scene.kickSlide);
    if (!scene.lamentActive)
        ApplySpin(FIGURE_TAVIK);
    glPushMatrix();
    DrawHead(quadric, eyesShut);
    DrawBody(quadric);
    glPopMatrix();
    glPopMatrix();

    gluDeleteQuadric(quadric);
}
