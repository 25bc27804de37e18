// What the five figure routines share: the palette, the per-figure spin,
// the per-frame eye and mouth rolls, the release of a talking latch and the
// one way every colour is set (with the scene's fade alpha).
#pragma once
#include "platform/win32.h"

// Shared palette, RGB; the alpha always comes from fadeAlpha.
extern const GLfloat skinColour[3];
extern const GLfloat nearBlack[3];
extern const GLfloat eyeWhite[3];
extern const GLfloat lidColour[3];

// Sets the current colour with the scene's fade alpha as its fourth component.
void SetColour(const GLfloat rgb[3]);

// Adds the shared spin speeds to figure's own angle triple. The remainder
// follows the dividend's sign, so negative speeds run through -1..-359.
void AdvanceSpin(int figure);
// Rotates by figure's angle triple: X, then Y, then Z.
void ApplySpin(int figure);

// One rand call: true one frame in thirty.
bool RollEyesShut();
// One rand call: k = rand % 10, phase = trunc(k * clockNow) % 2.
int RollMouthPhase();
// True once more than 2 s have passed since the last voice cue.
bool CueTimedOut();

// Sets GL_CLIP_PLANE0 to (a, b, c, d) in the current frame and enables it.
void SetClipPlane(GLdouble a, GLdouble b, GLdouble c, GLdouble d);
void ClearClipPlane();

// One GL_LINES segment.
void DrawLine(GLfloat x1, GLfloat y1, GLfloat z1, GLfloat x2, GLfloat y2, GLfloat z2);

// GLU's quadrics, drawn filled, each adding what it sends to drawnTriangles.
void DrawSphere(GLUquadric* quadric, GLdouble radius, GLint slices, GLint stacks);
void DrawCylinder(GLUquadric* quadric, GLdouble base, GLdouble top, GLdouble height, GLint slices, GLint stacks);
void DrawDisk(GLUquadric* quadric, GLdouble inner, GLdouble outer, GLint slices, GLint loops);

// What the frame sent down the pipeline since the renderer cleared it: the
// triangles GLU tessellates the quadrics into and the spike's faces, with a
// line or a spray point counting as one, as GL counts primitives. Counted
// from the calls' arguments, which costs nothing and needs no GL query.
extern long drawnTriangles;
