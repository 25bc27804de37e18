#include "testing/doubles/recording_gl.h"

namespace recgl {
namespace {

struct Recorder {
    std::vector<Call> calls;
    Stats stats{};
    GLfloat colour[4] = {1, 1, 1, 1};
    bool failNewQuadric = false;
};

Recorder& R()
{
    static Recorder recorder;
    return recorder;
}

Call& Add(Op op, double a0 = 0, double a1 = 0, double a2 = 0, double a3 = 0)
{
    Call call{};
    call.op = op;
    call.a[0] = a0;
    call.a[1] = a1;
    call.a[2] = a2;
    call.a[3] = a3;
    for (int i = 0; i < 4; i++)
        call.colour[i] = R().colour[i];
    call.depth = R().stats.depth;
    R().calls.push_back(call);
    return R().calls.back();
}

}  // namespace

void Reset()
{
    R().calls.clear();
    R().stats = Stats{};
    R().failNewQuadric = false;
    for (GLfloat& component : R().colour)
        component = 1.0f;
}

void FailNewQuadric(bool fail) { R().failNewQuadric = fail; }

const std::vector<Call>& Calls() { return R().calls; }
const Stats& State() { return R().stats; }

std::vector<Call> Primitives()
{
    std::vector<Call> out;
    for (const Call& c : R().calls)
        if (c.op == Op::Sphere || c.op == Op::Cylinder || c.op == Op::Disk)
            out.push_back(c);
    return out;
}

std::vector<Call> Of(Op op)
{
    std::vector<Call> out;
    for (const Call& c : R().calls)
        if (c.op == op)
            out.push_back(c);
    return out;
}

std::vector<Call> ColoursOutsidePoints()
{
    std::vector<Call> out;
    bool inPoints = false;
    for (const Call& c : R().calls) {
        if (c.op == Op::Begin)
            inPoints = c.e[0] == GL_POINTS;
        else if (c.op == Op::End)
            inPoints = false;
        else if (c.op == Op::Color && !inPoints)
            out.push_back(c);
    }
    return out;
}

std::vector<std::vector<Call>> PointBlocks()
{
    std::vector<std::vector<Call>> out;
    bool inPoints = false;
    for (const Call& c : R().calls) {
        if (c.op == Op::Begin) {
            inPoints = c.e[0] == GL_POINTS;
            if (inPoints)
                out.emplace_back();
        } else if (c.op == Op::End) {
            inPoints = false;
        } else if (c.op == Op::Vertex && inPoints) {
            out.back().push_back(c);
        }
    }
    return out;
}

}  // namespace recgl

using namespace recgl;

struct GLUquadric {
    int serial;
};

extern "C" {

void glPushMatrix(void)
{
    Stats& s = R().stats;
    s.depth++;
    Add(Op::PushMatrix);
}

void glPopMatrix(void)
{
    Stats& s = R().stats;
    s.depth--;
    if (s.depth < s.minDepth)
        s.minDepth = s.depth;
    Add(Op::PopMatrix);
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { Add(Op::Translate, x, y, z); }
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { Add(Op::Rotate, angle, x, y, z); }
void glScalef(GLfloat x, GLfloat y, GLfloat z) { Add(Op::Scale, x, y, z); }

void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)
{
    R().colour[0] = red;
    R().colour[1] = green;
    R().colour[2] = blue;
    R().colour[3] = alpha;
    Add(Op::Color, red, green, blue, alpha);
}

void glClipPlane(GLenum plane, const GLdouble* equation)
{
    Add(Op::ClipPlane, equation[0], equation[1], equation[2], equation[3]).e[0] = plane;
}

static void SetCap(GLenum cap, bool on)
{
    if (cap == GL_CLIP_PLANE0)
        R().stats.clipEnabled = on;
    if (cap == GL_BLEND)
        R().stats.blendEnabled = on;
}

void glEnable(GLenum cap)
{
    SetCap(cap, true);
    Add(Op::Enable).e[0] = cap;
}

void glDisable(GLenum cap)
{
    SetCap(cap, false);
    Add(Op::Disable).e[0] = cap;
}

void glBegin(GLenum mode)
{
    R().stats.insideBegin = true;
    Add(Op::Begin).e[0] = mode;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { Add(Op::Vertex, x, y, z); }

void glEnd(void)
{
    R().stats.insideBegin = false;
    Add(Op::End);
}

void glPointSize(GLfloat size) { Add(Op::PointSize, size); }

void glHint(GLenum target, GLenum mode)
{
    Call& c = Add(Op::Hint);
    c.e[0] = target;
    c.e[1] = mode;
}

void glBlendFunc(GLenum source, GLenum destination)
{
    Call& c = Add(Op::BlendFunc);
    c.e[0] = source;
    c.e[1] = destination;
}

void glMaterialfv(GLenum face, GLenum pname, const GLfloat* params)
{
    Call& c = Add(Op::Material, params[0], params[1], params[2], params[3]);
    c.e[0] = face;
    c.e[1] = pname;
}

GLUquadric* gluNewQuadric(void)
{
    if (R().failNewQuadric) {
        Add(Op::NewQuadric).quadric = nullptr;
        return nullptr;
    }
    static GLUquadric quadrics[64];
    int serial = R().stats.quadricsCreated++;
    GLUquadric* quadric = &quadrics[serial % 64];
    quadric->serial = serial;
    Add(Op::NewQuadric).quadric = quadric;
    return quadric;
}

void gluDeleteQuadric(GLUquadric* quadric)
{
    R().stats.quadricsDeleted++;
    Add(Op::DeleteQuadric).quadric = quadric;
}

void gluSphere(GLUquadric* quadric, GLdouble radius, GLint slices, GLint stacks)
{
    Call& c = Add(Op::Sphere, radius);
    c.n[0] = slices;
    c.n[1] = stacks;
    c.quadric = quadric;
}

void gluCylinder(GLUquadric* quadric, GLdouble base, GLdouble top, GLdouble height, GLint slices, GLint stacks)
{
    Call& c = Add(Op::Cylinder, base, top, height);
    c.n[0] = slices;
    c.n[1] = stacks;
    c.quadric = quadric;
}

void gluDisk(GLUquadric* quadric, GLdouble inner, GLdouble outer, GLint slices, GLint loops)
{
    Call& c = Add(Op::Disk, inner, outer);
    c.n[0] = slices;
    c.n[1] = loops;
    c.quadric = quadric;
}

}  // extern "C"
