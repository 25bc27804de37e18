// Figure 2, Muffix: a figure in an orange hood and suit. The hood leaves a
// small skin-coloured face cap at the front, framed by a brown funnel rim
// with a black outline and two hanging strings; two small eyes; a tapered
// body with a front seam; arms that flap outwards and back with brown hands;
// short legs and dark grey shoes. Faces +z, y up.
//
// It is the figure struck by the mishap: while mishapActive its spin and arm
// swing freeze and it turns with the spike (and moves with it once the spike
// leaves); while bloodOn its eyelids close over about 20 frames. No talking
// latch, no blink, no rand calls.
//
// State: spin triple (index 2), muffixLidGap, muffixSwing, muffixSwingStep.
#include "figures/figures.h"

#include "figures/conventions.h"
#include "settings/settings.h"
#include "stage/scene_state.h"

static const GLfloat suitOrange[3] = {0.9f, 0.4f, 0.0f};
static const GLfloat rimBrown[3] = {0.4f, 0.2f, 0.0f};
static const GLfloat shoeGrey[3] = {0.05f, 0.05f, 0.05f};

static void ApplyMishapTransforms()
{
    if (!scene.mishapActive)
        return;
    switch (scene.mishapEdge) {
    case 0:
    case 1:
        if (scene.spikeLeaving)
            glTranslatef(0.0f, scene.spikeHeight, 0.0f);
        glRotatef((GLfloat)scene.spikeSpin, 0.0f, 1.0f, 0.0f);
        break;
    case 2:
        if (scene.spikeLeaving)
            glTranslatef(scene.spikeHeight, 0.0f, 0.0f);
        glRotatef((GLfloat)scene.spikeSpin, 1.0f, 0.0f, 0.0f);
        break;
    case 3:
        if (scene.spikeLeaving)
            glTranslatef(-scene.spikeHeight, 0.0f, 0.0f);
        glRotatef((GLfloat)-scene.spikeSpin, 1.0f, 0.0f, 0.0f);
        break;
    default:
        break;
    }
}

// One head sphere, cut across the front at z = 0.92: orange hood behind the
// plane, skin face cap in front of it.
static void DrawHoodAndFace(GLUquadric* quadric)
{
    glTranslatef(0.0f, 0.0f, 0.92f);
    SetClipPlane(0.0, 0.0, -1.0, 0.0);
    glTranslatef(0.0f, 0.0f, -0.92f);
    SetColour(suitOrange);
    DrawSphere(quadric, 1.0, polyResolution, polyResolution);  // hood

    ClearClipPlane();
    glTranslatef(0.0f, 0.0f, 0.92f);
    SetClipPlane(0.0, 0.0, 1.0, 0.0);
    glTranslatef(0.0f, 0.0f, -0.92f);
    SetColour(skinColour);
    DrawSphere(quadric, 1.0, polyResolution, polyResolution);  // face cap
    ClearClipPlane();
}

// The lids are two caps of a slightly larger sphere, each cut by a plane
// muffixLidGap above or below the eye's centre; at the open gap of 0.3 both
// planes lie beyond the sphere and nothing of the lids shows.
static void DrawEyelids(GLUquadric* quadric)
{
    glPushMatrix();
    SetColour(lidColour);
    glTranslatef(0.0f, scene.muffixLidGap, 0.0f);
    SetClipPlane(0.0, 1.0, 0.0, 0.0);
    glPopMatrix();
    DrawSphere(quadric, 0.25, polyResolution, polyResolution);  // upper lid
    ClearClipPlane();

    glPushMatrix();
    glTranslatef(0.0f, -scene.muffixLidGap, 0.0f);
    SetClipPlane(0.0, -1.0, 0.0, 0.0);
    glPopMatrix();
    DrawSphere(quadric, 0.25, polyResolution, polyResolution);  // lower lid
    ClearClipPlane();
}

// side is +1 for the eye on the +x side, -1 for the one on the -x side.
static void DrawEye(GLUquadric* quadric, GLfloat side)
{
    glPushMatrix();
    SetColour(eyeWhite);
    glRotatef(12.5f * side, 0.0f, 1.0f, 0.0f);
    glTranslatef(0.0f, 0.0f, 0.95f);
    glScalef(1.0f, 1.2f, 0.4f);
    DrawSphere(quadric, 0.23, polyResolution, polyResolution);
    if (scene.bloodOn)
        DrawEyelids(quadric);
    SetColour(nearBlack);
    glRotatef(-20.0f * side, 0.0f, 1.0f, 0.0f);
    glTranslatef(0.0f, 0.0f, 0.25f);
    DrawSphere(quadric, 0.03, polyResolution, polyResolution);  // pupil
    glPopMatrix();
}

// Moves the head frame out to the rim, so it is the last part of the head.
static void DrawFaceRim(GLUquadric* quadric)
{
    SetColour(rimBrown);
    glTranslatef(0.0f, 0.0f, 0.8525f);
    DrawCylinder(quadric, 0.5, 0.325, 0.3, polyResolution, 1);
    DrawCylinder(quadric, 0.4, 0.325, 0.3, polyResolution, 1);
    SetColour(nearBlack);
    DrawCylinder(quadric, 0.52, 0.51, 0.01, polyResolution, 1);  // outline
    // The hood strings; the second one is deliberately a little askew.
    DrawLine(0.0f, -0.51f, 0.0f, -0.15f, -0.65f, 0.15f);
    DrawLine(0.0f, -0.51f, 0.0f, 0.15f, -0.65f, 0.1f);
}

static void DrawHead(GLUquadric* quadric)
{
    glPushMatrix();
    DrawHoodAndFace(quadric);
    DrawEye(quadric, 1.0f);
    DrawEye(quadric, -1.0f);
    DrawFaceRim(quadric);
    glPopMatrix();
}

// In the body frame +z points down the body.
static void DrawTorso(GLUquadric* quadric)
{
    glPushMatrix();
    glScalef(1.25f, 1.0f, 1.0f);
    DrawCylinder(quadric, 0.5, 0.6, 1.0, polyResolution, polyResolution);
    glTranslatef(0.0f, 0.0f, 1.0f);
    glScalef(1.0f, 1.0f, 0.35f);
    DrawSphere(quadric, 0.6, polyResolution, polyResolution);  // bottom
    glPopMatrix();

    glPushMatrix();
    SetColour(nearBlack);
    DrawLine(0.0f, 0.51f, 0.0f, 0.0f, 0.61f, 1.0f);  // front seam
    glPopMatrix();
}

// side is +1 for the arm on the +x side, -1 for the one on the -x side.
static void DrawArm(GLUquadric* quadric, GLfloat side)
{
    SetColour(suitOrange);
    glPushMatrix();
    glTranslatef(0.55f * side, 0.0f, 0.1f);
    glRotatef((scene.muffixSwing + 20.0f) * side, 0.0f, 1.0f, 0.0f);
    DrawCylinder(quadric, 0.15, 0.15, 0.76, polyResolution, polyResolution);
    SetColour(rimBrown);
    glTranslatef(0.0f, 0.0f, 0.775f);
    DrawSphere(quadric, 0.155, polyResolution, polyResolution);  // hand
    glTranslatef(-0.02f * side, 0.115f, -0.02f);
    DrawSphere(quadric, 0.065, polyResolution, polyResolution);  // thumb
    glPopMatrix();
}

// Moves the body frame down to the legs, so it is the last part of the body.
static void DrawLegsAndShoes(GLUquadric* quadric)
{
    glTranslatef(0.0f, 0.0f, 1.0f);

    glPushMatrix();
    SetColour(shoeGrey);
    glTranslatef(0.3f, 0.0f, 0.3f);
    glRotatef(-15.0f, 0.0f, 0.0f, 1.0f);
    glScalef(1.0f, 1.5f, 0.25f);
    DrawSphere(quadric, 0.35, polyResolution, polyResolution);
    glPopMatrix();

    glPushMatrix();
    glTranslatef(-0.3f, 0.0f, 0.3f);
    glRotatef(15.0f, 0.0f, 0.0f, 1.0f);
    glScalef(1.0f, 1.5f, 0.25f);
    DrawSphere(quadric, 0.35, polyResolution, polyResolution);
    glPopMatrix();

    SetColour(suitOrange);
    glScalef(1.25f, 1.25f, 1.0f);
    glTranslatef(-0.2f, -0.05f, 0.0f);
    DrawCylinder(quadric, 0.3, 0.25, 0.25, polyResolution, polyResolution);
    glTranslatef(0.4f, 0.0f, 0.0f);
    DrawCylinder(quadric, 0.3, 0.25, 0.25, polyResolution, polyResolution);
}

static void DrawBody(GLUquadric* quadric)
{
    glPushMatrix();
    SetColour(suitOrange);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, 0.0f, 0.5f);
    DrawTorso(quadric);
    DrawArm(quadric, 1.0f);
    DrawArm(quadric, -1.0f);
    DrawLegsAndShoes(quadric);
    glPopMatrix();
}

void DrawMuffix()
{
    if (!scene.mishapActive)
        AdvanceSpin(FIGURE_MUFFIX);

    if (!scene.bloodOn)
        scene.muffixLidGap = 0.3f;
    else if (scene.muffixLidGap < 0.0625)
        scene.muffixLidGap = 0.05f;
    else
        scene.muffixLidGap = (float)(scene.muffixLidGap - 0.0125);

    if (!scene.mishapActive) {
        scene.muffixSwing = (float)(scene.muffixSwing + scene.muffixSwingStep);
        if (scene.muffixSwing >= 25.0f || scene.muffixSwing <= 0.0f)
            scene.muffixSwingStep = -scene.muffixSwingStep;
    }

    GLUquadric* quadric = gluNewQuadric();
    // Out of memory: skip only the picture. The state above has already moved
    // on, so the scene's latches and timers never stall behind a lost frame.
    if (quadric == NULL)
        return;

    glPushMatrix();
    ApplyMishapTransforms();
    ApplySpin(FIGURE_MUFFIX);
    glTranslatef(0.0f, 0.5f, 0.0f);

    DrawHead(quadric);
    DrawBody(quadric);
    glPopMatrix();

    gluDeleteQuadric(quadric);
}
