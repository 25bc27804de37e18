// The parts that figures 3 (Tavik) and 4 (Bexlo) share: they are built on
// one body plan and differ in their heads, colours and a few details. Each
// part draws in the frame its caller has set up and keeps its own pushes
// balanced.
#pragma once
#include "platform/win32.h"

// One flattened oval eye on the head sphere of radius 0.85; side is +1 for
// the eye toward +x, -1 for its mirror. A shut eye is lid-coloured, has no
// pupil and a thin ring of ringRadius across it.
void DrawOvalEye(GLUquadric* quadric, GLfloat side, bool shut, GLdouble ringRadius);

// The mouth's two shapes, drawn in the mouth group's frame in nearBlack:
// an open disk tangent to the head below the eyes, or a short flat tube.
void DrawOpenMouth(GLUquadric* quadric);
void DrawClosedMouth(GLUquadric* quadric);

// Turns the body frame so that +z runs down the body and +y toward the
// viewer, 0.5 below and 0.1 behind the head centre (no push of its own).
void EnterBodyFrame();
// The collar at the front of the neck, the flared body and its lower cap.
void DrawFlaredBody(GLUquadric* quadric, const GLfloat collar[3], const GLfloat suit[3]);
// One arm with its hand and thumb; side as for the eyes. swing is the
// figure's arm swing. A lifted arm also turns forward by lift degrees about
// its own x axis.
void DrawSwingingArm(GLUquadric* quadric, GLfloat side, GLfloat swing, bool lifted, GLfloat lift,
                     const GLfloat sleeve[3], const GLfloat hand[3]);
// The two feet and the two short legs. Moves the body frame down to the
// feet, so it is the last part drawn in that frame.
void DrawLegsAndFeet(GLUquadric* quadric, const GLfloat legs[3]);
