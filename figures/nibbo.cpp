// Figure 5, Nibbo: the smallest figure. A skin-coloured head split into two
// halves with dot eyes, a dot nose and a dark tuft; a cyan ball body with
// arms that swing between sideways and forward, and short legs with feet
// turned out. It talks by lifting the upper half of its head, baring the
// black cut faces. Faces +z, y up, and sits 0.25 right of and 0.75 below the
// point it spins about.
//
// The kick scene relies on two things: while kickPending the figure faces
// straight ahead (triple held at 0, not applied), and nibboTalking is left
// to the scene.
//
// State: spin triple (index 5), nibboSwing, nibboSwingStep.
#include "figures/figures.h"

#include <stdlib.h>

#include "figures/conventions.h"
#include "settings/settings.h"
#include "stage/scene_state.h"

static const GLfloat noseBrown[3] = {0.4f, 0.2f, 0.0f};
static const GLfloat tuftGrey[3] = {0.05f, 0.05f, 0.05f};
static const GLfloat suitCyan[3] = {0.0f, 0.75f, 0.75f};

static void DrawFeature(GLUquadric* quadric, const GLfloat colour[3], GLfloat x, GLfloat y, GLfloat z,
                        GLdouble radius)
{
    glPushMatrix();
    SetColour(colour);
    glTranslatef(x, y, z);
    DrawSphere(quadric, radius, 6, 6);
    glPopMatrix();
}

// One half of the head: the sphere clipped to one side of y = 0 in the
// current frame, and the black disk of its cut face.
static void DrawHeadHalf(GLUquadric* quadric, GLdouble side)
{
    SetColour(skinColour);
    SetClipPlane(0.0, side, 0.0, 0.0);
    glScalef(1.0f, 1.15f, 1.0f);
    DrawSphere(quadric, 0.4, polyResolution, polyResolution);
    ClearClipPlane();
    SetColour(nearBlack);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    DrawDisk(quadric, 0.0, 0.405, polyResolution, 1);  // cut face
}

// The upper half is cut at its own equator in the raised frame, so even at
// rest a black band 0.02 high shows between the halves.
static void DrawUpperHead(GLUquadric* quadric, GLfloat jawDrop)
{
    glPushMatrix();
    glTranslatef(0.0f, 0.02f + jawDrop, 0.0f);
    DrawFeature(quadric, nearBlack, -0.1f, 0.1f, 0.4f, 0.035);  // eye
    DrawFeature(quadric, nearBlack, 0.1f, 0.1f, 0.4f, 0.035);   // eye
    DrawFeature(quadric, noseBrown, 0.0f, 0.05f, 0.4f, 0.025);  // nose

    glPushMatrix();
    SetColour(tuftGrey);
    glTranslatef(0.0f, 0.45f, 0.0f);
    glScalef(1.5f, 1.0f, 1.0f);
    DrawSphere(quadric, 0.1, 6, 6);
    glPopMatrix();

    DrawHeadHalf(quadric, 1.0);
    glPopMatrix();
}

static void DrawHead(GLUquadric* quadric, GLfloat jawDrop)
{
    glPushMatrix();
    DrawUpperHead(quadric, jawDrop);
    DrawHeadHalf(quadric, -1.0);
    glPopMatrix();
}

// side is +1 for the arm on the +x side, -1 for the one on the -x side;
// at nibboSwing 0 the arms point sideways, at 90 straight forward.
static void DrawArm(GLUquadric* quadric, GLfloat side)
{
    glPushMatrix();
    glTranslatef(0.25f * side, 0.1f, 0.0f);
    glRotatef((90.0f - scene.nibboSwing) * side, 0.0f, 1.0f, 0.0f);
    DrawCylinder(quadric, 0.1, 0.09, 0.3, polyResolution, polyResolution);
    glTranslatef(0.0f, 0.0f, 0.3f);
    DrawSphere(quadric, 0.09, polyResolution, polyResolution);  // hand
    glTranslatef(0.0f, 0.09f, 0.0f);
    DrawSphere(quadric, 0.025, 5, 5);  // thumb
    glPopMatrix();
}

static void DrawLeg(GLUquadric* quadric, GLfloat x, GLfloat turnZ)
{
    glPushMatrix();
    glTranslatef(x, -0.2f, 0.0f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(turnZ, 0.0f, 0.0f, 1.0f);
    DrawCylinder(quadric, 0.1, 0.08, 0.25, polyResolution, polyResolution);
    glTranslatef(0.045f, 0.0f, 0.25f);
    glScalef(1.5f, 1.0f, 1.0f);
    DrawSphere(quadric, 0.09, polyResolution, polyResolution);  // foot
    glPopMatrix();
}

static void DrawBody(GLUquadric* quadric)
{
    glPushMatrix();
    SetColour(suitCyan);
    glTranslatef(0.0f, -0.5f, -0.1f);
    DrawSphere(quadric, 0.35, polyResolution, polyResolution);
    DrawArm(quadric, 1.0f);
    DrawArm(quadric, -1.0f);
    DrawLeg(quadric, 0.15f, 45.0f);
    DrawLeg(quadric, -0.15f, 135.0f);
    glPopMatrix();
}

void DrawNibbo()
{
    if (scene.kickPending) {
        scene.spinAngleX[FIGURE_NIBBO] = 0;
        scene.spinAngleY[FIGURE_NIBBO] = 0;
        scene.spinAngleZ[FIGURE_NIBBO] = 0;
    } else {
        AdvanceSpin(FIGURE_NIBBO);
    }

    scene.nibboSwing = (float)(scene.nibboSwing + scene.nibboSwingStep);
    if (scene.nibboSwing >= 90.0f || scene.nibboSwing <= 0.0f)
        scene.nibboSwingStep = -scene.nibboSwingStep;

    if (scene.nibboTalking && !scene.kickPending && CueTimedOut())
        scene.nibboTalking = false;

    GLfloat jawDrop = 0.0f;
    if (scene.nibboTalking)
        jawDrop = (GLfloat)((rand() % 20) * 0.01);

    GLUquadric* quadric = gluNewQuadric();
    // Out of memory: skip only the picture. The state above has already moved
    // on, so the scene's latches and timers never stall behind a lost frame.
    if (quadric == NULL)
        return;

    glPushMatrix();
    if (!scene.kickPending)
        ApplySpin(FIGURE_NIBBO);
    glPushMatrix();
    glTranslatef(0.25f, -0.75f, 0.0f);

    DrawHead(quadric, jawDrop);
    DrawBody(quadric);

    glPopMatrix();
    glPopMatrix();

    gluDeleteQuadric(quadric);
}
