// Figure 1, Wobblo: a big two-tone head (skin below, a cyan hat above a
// tilted cut) with a yellow band and ball, tall oval eyes with slanted
// eyebrows, a mouth that opens while it talks, a wide red body with three
// buttons and a seam, red arms with yellow hands, a brown lower body and flat
// black shoes.
//
// Modelled facing +x, about four times the size of the other figures, and
// scaled down by 0.251 in the base transform. In the lament it faces the
// viewer with a fixed turn instead of its spin, keeps its eyebrows off, and
// while wobbloEyesShut holds it keeps its eyes shut and sheds two blue sprays
// from the pool, which it steps twice per frame.
//
// State: only its spin triple (index 1) and the scene's wobbloTalking latch.
#include "figures/figures.h"

#include "events/events.h"
#include "figures/conventions.h"
#include "settings/settings.h"
#include "stage/scene_state.h"

static const GLfloat hatCyan[3] = {0.0f, 0.75f, 0.75f};
static const GLfloat yellow[3] = {1.0f, 1.0f, 0.0f};
static const GLfloat bodyRed[3] = {1.0f, 0.1f, 0.1f};
static const GLfloat lowerBodyBrown[3] = {0.05f, 0.025f, 0.0f};
static const GLfloat tearBlue[3] = {0.0f, 0.0f, 1.0f};

// The head solid is cut by a plane tilted 37 degrees about Z; both halves
// specify it in the same turned frame so they meet without a gap.
static void DrawHead(GLUquadric* quadric)
{
    glPushMatrix();
    SetColour(skinColour);
    glRotatef(37.0f, 0.0f, 0.0f, 1.0f);
    SetClipPlane(0.0, -1.0, 0.0, 0.0);
    glRotatef(-37.0f, 0.0f, 0.0f, 1.0f);
    glScalef(4.0f, 4.0f, 5.0f);
    DrawSphere(quadric, 1.0, polyResolution, polyResolution);
    ClearClipPlane();

    SetColour(hatCyan);
    glRotatef(37.0f, 0.0f, 0.0f, 1.0f);
    SetClipPlane(0.0, 1.0, 0.0, 0.0);
    glRotatef(-37.0f, 0.0f, 0.0f, 1.0f);
    DrawSphere(quadric, 1.0, polyResolution, polyResolution);
    ClearClipPlane();

    glRotatef(37.0f, 0.0f, 0.0f, 1.0f);
    SetColour(yellow);
    glScalef(1.025f, 0.2f, 1.025f);
    DrawSphere(quadric, 1.0, 20, 20);  // hat band
    glPopMatrix();
}

static void DrawOpenMouth(GLUquadric* quadric)
{
    glPushMatrix();
    SetColour(nearBlack);
    glRotatef(-2.5f, 0.0f, 1.0f, 0.0f);
    glRotatef(-15.0f, 0.0f, 0.0f, 1.0f);
    glTranslatef(4.0f, 0.0f, 0.0f);
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    glScalef(1.0f, 0.75f, 1.0f);
    DrawDisk(quadric, 0.0, 0.4, polyResolution, 1);
    glPopMatrix();
}

static void DrawHatBall(GLUquadric* quadric)
{
    glPushMatrix();
    SetColour(yellow);
    glRotatef(15.0f, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, 3.6f, 0.0f);
    glScalef(4.0f, 3.0f, 5.0f);
    DrawSphere(quadric, 0.275, polyResolution, polyResolution);
    glPopMatrix();
}

// side is +1 for the eye on the +z side, -1 for the one on the -z side; the
// -z eyebrow is the longer one.
static void DrawEye(GLUquadric* quadric, GLfloat side, bool eyesShut, bool withEyebrow)
{
    glPushMatrix();
    glRotatef(18.0f, 0.0f, 0.0f, 1.0f);
    glTranslatef(3.5f, 0.0f, 1.05f * side);

    if (!eyesShut) {
        glPushMatrix();
        SetColour(nearBlack);
        glTranslatef(0.5f, 0.0f, -0.5f * side);
        DrawSphere(quadric, 0.2, 10, 10);  // pupil
        glPopMatrix();
    }

    if (withEyebrow) {
        glPushMatrix();
        SetColour(nearBlack);
        glTranslatef(0.5f, 0.6f, -1.0f * side);
        glRotatef(16.0f, 0.0f, 0.0f, 1.0f);
        glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
        glRotatef(side > 0 ? 35.0f : 145.0f, 0.0f, 1.0f, 0.0f);
        DrawCylinder(quadric, 0.1, 0.15, side > 0 ? 1.4 : 1.7, 4, 4);
        glPopMatrix();
    }

    SetColour(eyesShut ? lidColour : eyeWhite);
    glRotatef(60.0f * side, 1.0f, 0.0f, 0.0f);
    glRotatef(16.0f, 0.0f, 0.0f, 1.0f);
    glRotatef(-5.0f * side, 0.0f, 1.0f, 0.0f);
    glScalef(2.0f, 4.8f, 5.2f);
    DrawSphere(quadric, 0.25, polyResolution, polyResolution);

    if (eyesShut) {
        SetColour(nearBlack);
        glRotatef(20.0f * side, 1.0f, 0.0f, 0.0f);
        DrawCylinder(quadric, 0.26, 0.26, 0.01, polyResolution, 1);  // shut line
    }
    glPopMatrix();
}

static void DrawClosedMouth(GLUquadric* quadric, bool mouthOpen)
{
    glPushMatrix();
    SetColour(nearBlack);
    glTranslatef(3.5f, -1.1f, 0.2f);
    if (!mouthOpen) {
        glRotatef(90.0f, 1.0f, 0.5f, 0.0f);
        DrawCylinder(quadric, 0.5, 0.5, 0.1, polyResolution, 1);
    }
    glPopMatrix();
}

static void DrawChinMark(GLUquadric* quadric)
{
    glPushMatrix();
    SetColour(nearBlack);
    glTranslatef(3.625f, -1.5f, 0.0f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(-45.0f, 0.0f, 1.0f, 0.0f);
    glScalef(0.25f, 1.0f, 1.0f);
    DrawCylinder(quadric, 0.5, 0.5, 0.1, polyResolution, 1);
    glPopMatrix();
}

static void DrawJawRing(GLUquadric* quadric)
{
    glPushMatrix();
    SetColour(nearBlack);
    glTranslatef(2.0f, -1.7f, 0.0f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(-10.0f, 0.0f, 1.0f, 0.0f);
    glScalef(0.45f, 0.9f, 1.0f);
    DrawCylinder(quadric, 3.5, 3.5, 0.05, polyResolution, 1);
    glPopMatrix();
}

// The hand sits at the group origin; the sleeve runs from it to the body.
static void DrawArm(GLUquadric* quadric, GLfloat side, GLfloat turnX)
{
    glPushMatrix();
    SetColour(bodyRed);
    glTranslatef(0.7f, -3.6f, 5.6f * side);
    glRotatef(turnX, 1.0f, 0.0f, 0.0f);
    glRotatef(-20.0f, 0.0f, 1.0f, 0.0f);

    glPushMatrix();
    glScalef(4.0f, 4.0f, 4.0f);
    DrawCylinder(quadric, 0.1875, 0.1875, 0.65, polyResolution, polyResolution);  // sleeve
    glPopMatrix();

    SetColour(yellow);
    glPushMatrix();
    glScalef(3.0f, 3.0f, 3.0f);
    DrawSphere(quadric, 0.25, polyResolution, polyResolution);  // hand
    glPopMatrix();

    glTranslatef(0.5f, 0.0f, 0.0f);
    glPushMatrix();
    glScalef(4.0f, 4.0f, 4.0f);
    DrawSphere(quadric, 0.1, polyResolution, polyResolution);  // thumb
    glPopMatrix();
    glPopMatrix();
}

static void DrawLowerBody(GLUquadric* quadric)
{
    glPushMatrix();
    glTranslatef(0.0f, -7.0f, 0.0f);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);

    glPushMatrix();
    SetColour(lowerBodyBrown);
    glTranslatef(0.25f, 0.0f, 0.0f);
    glScalef(0.6f, 0.74f, 1.0f);
    DrawCylinder(quadric, 5.0, 5.0, 1.2, polyResolution, 4);
    glPopMatrix();

    glPushMatrix();
    SetColour(nearBlack);
    glTranslatef(0.4f, 1.3f, -0.1f);
    glScalef(1.5f, 1.0f, 0.2f);
    DrawSphere(quadric, 2.5, polyResolution, polyResolution);  // shoe
    glPopMatrix();

    glPushMatrix();
    glTranslatef(0.4f, -1.3f, -0.1f);
    glScalef(1.5f, 1.0f, 0.2f);
    DrawSphere(quadric, 2.5, polyResolution, polyResolution);  // shoe
    glPopMatrix();
    glPopMatrix();
}

static void DrawButton(GLUquadric* quadric, GLfloat turnZ)
{
    glPushMatrix();
    if (turnZ != 0.0f)
        glRotatef(turnZ, 0.0f, 0.0f, 1.0f);
    glTranslatef(4.9f, 0.0f, 0.0f);
    glScalef(1.0f, 2.0f, 0.5f);
    DrawSphere(quadric, 0.2, 5, 5);
    glPopMatrix();
}

static void DrawBody(GLUquadric* quadric)
{
    glPushMatrix();
    SetColour(bodyRed);
    glTranslatef(0.3f, -4.5f, 0.0f);
    glScalef(0.9f, 0.56f, 1.15f);

    glPushMatrix();
    glScalef(4.0f, 4.0f, 4.0f);
    DrawSphere(quadric, 1.25, polyResolution, polyResolution);
    glPopMatrix();

    SetColour(nearBlack);
    glPushMatrix();
    glRotatef(-5.0f, 0.0f, 1.0f, 0.0f);
    DrawButton(quadric, 0.0f);
    DrawButton(quadric, 20.0f);
    DrawButton(quadric, -20.0f);
    glPopMatrix();

    // The seam: a ring along the body's outline in its middle plane.
    glTranslatef(0.05f, 0.0f, 0.0f);
    DrawCylinder(quadric, 5.0, 5.0, 0.05, polyResolution, 1);
    glPopMatrix();
}

// The two sprays are 30 degrees apart about Y and share the one pool, so the
// second shows it one step later than the first.
static void DrawTearSpray(GLfloat turnY)
{
    glPushMatrix();
    SetColour(tearBlue);
    glRotatef(turnY, 0.0f, 1.0f, 0.0f);
    glRotatef(-70.0f, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, 3.5f, 0.0f);
    glScalef(4.0f, 4.0f, 4.0f);
    SprayFallPlusX(tearBlue[0], tearBlue[1], tearBlue[2], -0.025f);
    glPopMatrix();
}

void DrawWobblo()
{
    AdvanceSpin(FIGURE_WOBBLO);
    int mouthPhase = RollMouthPhase();
    bool eyesShut = RollEyesShut() || scene.wobbloEyesShut;
    if (scene.wobbloTalking && !scene.lamentActive && CueTimedOut())
        scene.wobbloTalking = false;
    // Decided after the release, so the frame that ends the talk shows it shut.
    bool mouthOpen = scene.wobbloTalking && mouthPhase == 1;

    GLUquadric* quadric = gluNewQuadric();
    // Out of memory: skip only the picture. The state above has already moved
    // on, so the scene's latches and timers never stall behind a lost frame.
    if (quadric == NULL)
        return;

    glPushMatrix();
    if (!scene.lamentActive)
        ApplySpin(FIGURE_WOBBLO);
    else
        glRotatef(-90.0f, 0.0f, 1.0f, 0.0f);
    glScalef(0.251f, 0.251f, 0.251f);
    glTranslatef(0.0f, 2.0f, 0.0f);

    DrawHead(quadric);
    if (mouthOpen)
        DrawOpenMouth(quadric);
    DrawHatBall(quadric);
    DrawEye(quadric, 1.0f, eyesShut, !scene.lamentActive);
    DrawEye(quadric, -1.0f, eyesShut, !scene.lamentActive);
    DrawClosedMouth(quadric, mouthOpen);
    DrawChinMark(quadric);
    DrawJawRing(quadric);
    DrawArm(quadric, -1.0f, -30.0f);
    DrawArm(quadric, 1.0f, -150.0f);
    DrawLowerBody(quadric);
    DrawBody(quadric);
    if (scene.wobbloEyesShut) {
        DrawTearSpray(15.0f);
        DrawTearSpray(-15.0f);
    }
    glPopMatrix();

    gluDeleteQuadric(quadric);
}
