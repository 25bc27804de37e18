// A recording stand-in for the gl* and glu* entry points the figures and the
// spray call. Linked instead of a real GL: every call is appended to one log
// together with the colour in force, and the matrix depth, clip plane and
// quadric bookkeeping are tracked so tests can check what a routine leaves
// behind.
#pragma once
#include <string>
#include <vector>

#include "platform/win32.h"

namespace recgl {

enum class Op {
    PushMatrix, PopMatrix, Translate, Rotate, Scale, Color, ClipPlane, Enable, Disable,
    Begin, Vertex, End, PointSize, Hint, BlendFunc, Material,
    NewQuadric, DeleteQuadric, Sphere, Cylinder, Disk,
};

struct Call {
    Op op;
    double a[4];     // arguments in order (angle, x, y, z for Rotate; radius... for quadrics)
    int n[2];        // slices/stacks (loops for a disk)
    GLenum e[2];     // enum arguments
    GLfloat colour[4];  // colour in force when the call was made
    int depth;       // matrix depth after the call
    void* quadric;   // the quadric a primitive used
};

struct Stats {
    int depth;           // current model-view depth relative to the start
    int minDepth;        // lowest depth ever reached (negative: popped past the start)
    bool clipEnabled;    // GL_CLIP_PLANE0 state
    bool blendEnabled;
    int quadricsCreated;
    int quadricsDeleted;
    bool insideBegin;
};

void Reset();
// While set, gluNewQuadric returns null as GLU does when out of memory
// (logged as a NewQuadric call with no quadric). Reset clears it.
void FailNewQuadric(bool fail);
const std::vector<Call>& Calls();
const Stats& State();

// Convenience filters over the log.
std::vector<Call> Primitives();  // spheres, cylinders, disks
std::vector<Call> Of(Op op);
std::vector<Call> ColoursOutsidePoints();  // glColor4f not inside GL_POINTS
std::vector<std::vector<Call>> PointBlocks();  // vertices of each GL_POINTS list

}  // namespace recgl
