// Parts shared by figures 3 and 4; see twin_parts.h.
#include "figures/twin_parts.h"

#include "figures/conventions.h"
#include "settings/settings.h"

static const GLfloat footGrey[3] = {0.05f, 0.05f, 0.05f};

void DrawOvalEye(GLUquadric* quadric, GLfloat side, bool shut, GLdouble ringRadius)
{
    glPushMatrix();
    glRotatef(-5.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(13.5f * side, 0.0f, 1.0f, 0.0f);
    glRotatef(17.5f * side, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, 0.0f, 0.815f);
    glScalef(1.0f, 1.2f, 0.4f);
    SetColour(shut ? lidColour : eyeWhite);
    DrawSphere(quadric, 0.21, polyResolution, polyResolution);
    SetColour(nearBlack);
    if (shut) {
        glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
        glRotatef(-25.0f * side, 0.0f, 1.0f, 0.0f);
        DrawCylinder(quadric, ringRadius, ringRadius, 0.01, polyResolution, 1);  // lid ring
    } else {
        glRotatef(-20.0f * side, 0.0f, 1.0f, 0.0f);
        glTranslatef(0.0f, 0.0f, 0.225f);
        DrawSphere(quadric, 0.02, polyResolution, polyResolution);  // pupil
    }
    glPopMatrix();
}

void DrawOpenMouth(GLUquadric* quadric)
{
    glRotatef(120.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, 0.85f, 0.0f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    // The radius is a float widened to double, as the mouth always had.
    DrawDisk(quadric, 0.0, (GLdouble)0.1f, 10, 1);
}

void DrawClosedMouth(GLUquadric* quadric)
{
    glTranslatef(0.0f, -0.475f, 0.7f);
    glRotatef(-85.0f, 1.0f, 0.0f, 0.0f);
    glScalef(1.1f, 0.25f, 1.0f);
    DrawCylinder(quadric, 0.075, 0.09, 0.02, polyResolution, 1);
}

void EnterBodyFrame()
{
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, -0.1f, 0.5f);
}

void DrawFlaredBody(GLUquadric* quadric, const GLfloat collar[3], const GLfloat suit[3])
{
    glPushMatrix();
    glPushMatrix();
    SetColour(collar);
    glTranslatef(0.0f, 0.33f, 0.15f);
    glScalef(1.75f, 1.0f, 1.0f);
    DrawCylinder(quadric, 0.25, 0.2, 0.1, polyResolution, polyResolution);
    glPopMatrix();

    SetColour(suit);
    glScalef(1.25f, 1.0f, 1.0f);
    DrawCylinder(quadric, 0.5, 0.6, 0.75, polyResolution, polyResolution);
    glTranslatef(0.0f, 0.0f, 0.75f);
    glScalef(1.0f, 1.0f, 0.15f);
    DrawSphere(quadric, 0.6, polyResolution, polyResolution);  // lower cap
    glPopMatrix();

    glPushMatrix();
    SetColour(nearBlack);
    DrawLine(0.0f, 0.51f, 0.0f, 0.0f, 0.61f, 0.75f);  // front line
    glPopMatrix();
}

void DrawSwingingArm(GLUquadric* quadric, GLfloat side, GLfloat swing, bool lifted, GLfloat lift,
                     const GLfloat sleeve[3], const GLfloat hand[3])
{
    glPushMatrix();
    SetColour(sleeve);
    glTranslatef(0.5f * side, 0.0f, 0.1f);
    glRotatef((swing + 25.0f) * side, 0.0f, 1.0f, 0.0f);
    if (lifted)
        glRotatef(-lift, 1.0f, 0.0f, 0.0f);
    DrawCylinder(quadric, 0.15, 0.15, 0.5, polyResolution, polyResolution);
    SetColour(hand);
    glTranslatef(0.0f, 0.0f, 0.56f);
    DrawSphere(quadric, 0.155, polyResolution, polyResolution);  // hand
    glTranslatef(-0.02f * side, 0.115f, -0.02f);
    DrawSphere(quadric, 0.065, polyResolution, polyResolution);  // thumb
    glPopMatrix();
}

static void DrawFoot(GLUquadric* quadric, GLfloat side)
{
    glPushMatrix();
    glTranslatef(0.3f * side, 0.0f, 0.25f);
    glRotatef(-15.0f * side, 0.0f, 0.0f, 1.0f);
    glScalef(1.0f, 1.5f, 0.25f);
    DrawSphere(quadric, 0.35, polyResolution, polyResolution);
    glPopMatrix();
}

void DrawLegsAndFeet(GLUquadric* quadric, const GLfloat legs[3])
{
    glTranslatef(0.0f, 0.0f, 0.75f);
    SetColour(footGrey);
    DrawFoot(quadric, 1.0f);
    DrawFoot(quadric, -1.0f);

    SetColour(legs);
    glScalef(1.25f, 1.25f, 1.0f);
    glTranslatef(-0.2f, -0.05f, 0.0f);
    DrawCylinder(quadric, 0.3, 0.25, 0.2, polyResolution, polyResolution);
    glTranslatef(0.4f, 0.0f, 0.0f);
    DrawCylinder(quadric, 0.3, 0.25, 0.2, polyResolution, polyResolution);
}
