// The stage's fixed GL state and projection: one light above and behind the
// eye, colour tracking the material, depth testing, and a 45 degree
// perspective. Pure GL, so offscreen tools draw exactly as the stage does.
#include "stage/stage.h"

static const GLfloat lightAmbient[4] = {0.0f, 0.0f, 0.0f, 0.0f};
static const GLfloat lightDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
static const GLfloat lightSpecular[4] = {0.3f, 0.3f, 0.3f, 1.0f};
// w = 1: a positional light, 5 above and 5 behind the eye.
static const GLfloat lightPosition[4] = {0.0f, 5.0f, 5.0f, 1.0f};

void InitGlState()
{
    glLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, lightSpecular);
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_DEPTH_TEST);
}

void SetProjection(int width, int height)
{
    // A window squeezed to no height still gets a valid projection.
    double aspect = height != 0 ? (double)width / height : 1.0;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, aspect, 1.0, 20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
