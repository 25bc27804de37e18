#include "offscreen_gl.h"

namespace offscreen {

namespace {

// The stage's light: positional, above and behind the eye.
const GLfloat lightAmbient[4] = {0, 0, 0, 0};
const GLfloat lightDiffuse[4] = {1, 1, 1, 1};
const GLfloat lightSpecular[4] = {0.3f, 0.3f, 0.3f, 1};
const GLfloat lightPosition[4] = {0, 5, 5, 1};

}  // namespace

bool OpenStage(Stage* stage, int side)
{
    stage->context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    if (!stage->context)
        return false;
    stage->side = side;
    stage->pixels.assign((size_t)side * side * 4, 0);
    if (!OSMesaMakeCurrent(stage->context, stage->pixels.data(), GL_UNSIGNED_BYTE, side, side))
        return false;

    glLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, lightSpecular);
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_DEPTH_TEST);

    glViewport(0, 0, side, side);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.0, 1.0, 20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return true;
}

void CloseStage(Stage* stage)
{
    if (stage->context)
        OSMesaDestroyContext(stage->context);
    stage->context = nullptr;
}

void DrawFrame(void (*draw)(), float fadeAlpha)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -5.5f);
    if (fadeAlpha < 1) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    draw();
    glDisable(GL_BLEND);
    glPopMatrix();
    glFinish();
}

}  // namespace offscreen
