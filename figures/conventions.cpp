// Rules shared by all figure routines. Every figure rebuilds itself each
// frame; the only state kept between frames lives in the scene record.
#include "figures/conventions.h"

#include <stdlib.h>

#include "stage/scene_state.h"

const GLfloat skinColour[3] = {0.95f, 0.9f, 0.7f};
const GLfloat nearBlack[3] = {0.01f, 0.01f, 0.01f};
const GLfloat eyeWhite[3] = {1.0f, 1.0f, 1.0f};
const GLfloat lidColour[3] = {0.7f, 0.6f, 0.4f};

long drawnTriangles;

void SetColour(const GLfloat rgb[3])
{
    glColor4f(rgb[0], rgb[1], rgb[2], scene.fadeAlpha);
}

void AdvanceSpin(int figure)
{
    scene.spinAngleX[figure] = (scene.spinAngleX[figure] + scene.spinSpeedX) % 360;
    scene.spinAngleY[figure] = (scene.spinAngleY[figure] + scene.spinSpeedY) % 360;
    scene.spinAngleZ[figure] = (scene.spinAngleZ[figure] + scene.spinSpeedZ) % 360;
}

void ApplySpin(int figure)
{
    glRotatef((GLfloat)scene.spinAngleX[figure], 1.0f, 0.0f, 0.0f);
    glRotatef((GLfloat)scene.spinAngleY[figure], 0.0f, 1.0f, 0.0f);
    glRotatef((GLfloat)scene.spinAngleZ[figure], 0.0f, 0.0f, 1.0f);
}

bool RollEyesShut()
{
    return rand() % 30 == 0;
}

int RollMouthPhase()
{
    int k = rand() % 10;
    int product = (int)(k * (double)scene.clockNow);
    return product % 2;
}

bool CueTimedOut()
{
    return (double)scene.clockNow - (double)scene.lastCueTime > 2.0;
}

void SetClipPlane(GLdouble a, GLdouble b, GLdouble c, GLdouble d)
{
    const GLdouble plane[4] = {a, b, c, d};
    glClipPlane(GL_CLIP_PLANE0, plane);
    glEnable(GL_CLIP_PLANE0);
}

void ClearClipPlane()
{
    glDisable(GL_CLIP_PLANE0);
}

void DrawLine(GLfloat x1, GLfloat y1, GLfloat z1, GLfloat x2, GLfloat y2, GLfloat z2)
{
    glBegin(GL_LINES);
    glVertex3f(x1, y1, z1);
    glVertex3f(x2, y2, z2);
    glEnd();
    drawnTriangles += 1;
}

// GLU refuses fewer than 2 slices or 1 stack and draws nothing.
void DrawSphere(GLUquadric* quadric, GLdouble radius, GLint slices, GLint stacks)
{
    gluSphere(quadric, radius, slices, stacks);
    // A fan at each pole and a strip of quads for every stack between.
    if (slices >= 2 && stacks >= 1)
        drawnTriangles += 2L * slices * (stacks > 1 ? stacks - 1 : 1);
}

void DrawCylinder(GLUquadric* quadric, GLdouble base, GLdouble top, GLdouble height, GLint slices, GLint stacks)
{
    gluCylinder(quadric, base, top, height, slices, stacks);
    if (slices >= 2 && stacks >= 1)
        drawnTriangles += 2L * slices * stacks;
}

void DrawDisk(GLUquadric* quadric, GLdouble inner, GLdouble outer, GLint slices, GLint loops)
{
    gluDisk(quadric, inner, outer, slices, loops);
    if (slices < 2 || loops < 1)
        return;
    // A disk without a hole starts with a fan instead of its innermost strip.
    drawnTriangles += inner == 0.0 ? slices + 2L * slices * (loops - 1) : 2L * slices * loops;
}
