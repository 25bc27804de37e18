// Figure 4, Bexlo: a head sphere cut by a plane tilted back 30 degrees into a
// blue crown and a skin-coloured face, with a red band around the crown's
// rim and a flattened red ball on top; two slanted brow lines; the oval eyes
// and small mouth of figure 3; a flared brown body with a red collar and a
// front line; brown arms that swing outward with red hands; short blue legs
// and almost black feet. Faces +z, y up; no base transform besides the spin.
//
// Its retch cue opens the mouth for just over ten seconds and pours a
// glowing spray from it, one step of the shared pool per call. In the lament
// it faces the viewer with its arms held still and lifts the +x arm toward
// the viewer.
//
// State: spin triple (index 4), bexloSwing, bexloSwingStep, bexloArmRaise,
// bexloArmRaiseStep, and the retch's retchActive.
#include "figures/figures.h"

#include "events/events.h"
#include "figures/conventions.h"
#include "figures/twin_parts.h"
#include "settings/settings.h"
#include "stage/scene_state.h"

static const GLfloat crownBlue[3] = {0.0f, 0.5f, 0.75f};
static const GLfloat trimRed[3] = {1.0f, 0.1f, 0.1f};
static const GLfloat suitBrown[3] = {0.4f, 0.2f, 0.0f};
static const GLfloat retchGlow[4] = {0.0f, 1.0f, 0.5f, 0.0f};
static const GLfloat noGlow[4] = {0.0f, 0.0f, 0.0f, 1.0f};

static void MoveArms()
{
    scene.bexloSwing = (float)(scene.bexloSwing + scene.bexloSwingStep);
    if (scene.bexloSwing >= 25.0f || scene.bexloSwing <= 0.0f)
        scene.bexloSwingStep = -scene.bexloSwingStep;

    // Once the lifted arm reaches 80 degrees it stays there.
    if (scene.bexloArmRaise < 80.0f && scene.lamentActive) {
        scene.bexloArmRaise = (float)(scene.bexloArmRaise + scene.bexloArmRaiseStep);
        if (scene.bexloArmRaise >= 80.0f)
            scene.bexloArmRaiseStep = -scene.bexloArmRaiseStep;
        else if (scene.bexloArmRaise <= 0.0f)
            scene.bexloArmRaiseStep = -scene.bexloArmRaiseStep;
    }
    if (scene.lamentActive)
        scene.bexloSwing = 10.0f;
}

// One part of the head sphere, on one side of the tilted cut 0.125 below
// the centre; the plane is set in the cut's frame and used untranslated.
static void DrawHeadPart(GLUquadric* quadric, const GLfloat colour[3], GLdouble side)
{
    SetColour(colour);
    glPushMatrix();
    glTranslatef(0.0f, -0.125f, 0.0f);
    SetClipPlane(0.0, side, 0.0, 0.0);
    glPopMatrix();
    DrawSphere(quadric, 0.85, polyResolution, polyResolution);
    ClearClipPlane();
}

// side +1 is the brow on the +x side of the face.
static void DrawBrow(GLfloat side)
{
    glRotatef(20.0f * side, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, -0.86f, 0.0f);
    DrawLine(0.0f, 0.0f, 0.1f, 0.2f * side, 0.025f, -0.1f);
}

static void DrawCrownAndFace(GLUquadric* quadric)
{
    glPushMatrix();
    glRotatef(-30.0f, 1.0f, 0.0f, 0.0f);
    DrawHeadPart(quadric, crownBlue, 1.0);
    DrawHeadPart(quadric, skinColour, -1.0);

    glPushMatrix();
    SetColour(trimRed);
    glRotatef(20.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, 0.8f, 0.0f);
    glScalef(1.0f, 0.65f, 1.0f);
    DrawSphere(quadric, 0.25, polyResolution, polyResolution);  // ball on top
    glPopMatrix();

    // One slice more than the setting, straddling the cut.
    glTranslatef(0.0f, -0.135f, 0.0f);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    DrawCylinder(quadric, 0.88, 0.87, 0.125, polyResolution + 1, 1);  // band

    SetColour(nearBlack);
    glPushMatrix();
    DrawBrow(-1.0f);
    glPopMatrix();
    DrawBrow(1.0f);
    glPopMatrix();
}

// The spray leaves blending off, so a fading figure turns it back on.
static void DrawRetch()
{
    glPushMatrix();
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    glMaterialfv(GL_FRONT, GL_EMISSION, retchGlow);
    SprayFallPlusX(1.0f, 0.5f, 0.5f, -0.025f);
    glMaterialfv(GL_FRONT, GL_EMISSION, noGlow);
    if (scene.fadeAlpha < 1.0)
        glEnable(GL_BLEND);
    glPopMatrix();
}

static void DrawMouth(GLUquadric* quadric)
{
    glPushMatrix();
    SetColour(nearBlack);
    bool open = (RollMouthPhase() == 0 && scene.bexloTalking) || scene.retchActive;
    if (open) {
        DrawOpenMouth(quadric);
        if (scene.retchActive)
            DrawRetch();
    } else {
        DrawClosedMouth(quadric);
    }
    glPopMatrix();
}

static void DrawHead(GLUquadric* quadric, bool eyesShut)
{
    glPushMatrix();
    DrawCrownAndFace(quadric);
    DrawOvalEye(quadric, 1.0f, eyesShut, 0.225);
    DrawOvalEye(quadric, -1.0f, eyesShut, 0.215);  // its ring a little smaller
    DrawMouth(quadric);
    glPopMatrix();
}

static void DrawBody(GLUquadric* quadric)
{
    glPushMatrix();
    EnterBodyFrame();
    DrawFlaredBody(quadric, trimRed, suitBrown);
    DrawSwingingArm(quadric, 1.0f, scene.bexloSwing, scene.lamentActive, scene.bexloArmRaise, suitBrown, trimRed);
    DrawSwingingArm(quadric, -1.0f, scene.bexloSwing, false, 0.0f, suitBrown, trimRed);
    DrawLegsAndFeet(quadric, crownBlue);
    glPopMatrix();
}

void DrawBexlo()
{
    AdvanceSpin(FIGURE_BEXLO);
    MoveArms();
    bool eyesShut = RollEyesShut();
    if (scene.bexloTalking && !scene.lamentActive && CueTimedOut())
        scene.bexloTalking = false;
    // Exactly ten seconds still retches; the first call past it stops.
    if (scene.retchActive && (double)scene.clockNow - scene.retchStart > 10.0)
        scene.retchActive = false;

    GLUquadric* quadric = gluNewQuadric();
    // Out of memory: skip only the picture. The state above has already moved
    // on, so the scene's latches and timers never stall behind a lost frame.
    if (quadric == NULL)
        return;

    glPushMatrix();
    if (!scene.lamentActive)
        ApplySpin(FIGURE_BEXLO);
    glPushMatrix();
    DrawHead(quadric, eyesShut);
    DrawBody(quadric);
    glPopMatrix();
    glPopMatrix();

    gluDeleteQuadric(quadric);
}
