// The triangles the frame-rate display reports, counted from the quadric
// calls' arguments, against the vertex stream that actually reaches GL:
// this binary stands between GLU (and the figures) and OSMesa, counts the
// vertices of every glBegin/glEnd batch and assembles them by GL's rules.
// Checked for every frame of every figure at each resolution and of the
// scripted scenes with their spike and sprays.
#include "tests/stage/stage_fixture.h"

#include <dlfcn.h>

#include "events/events.h"
#include "figures/conventions.h"
#include "testing/doubles/scene_seams.h"
#include "testing/doubles/scripted_rand.h"

namespace {

GLenum batchMode;
long batchVertices;
long assembledTriangles;  // a line or a point counts as one, as in the display

template <typename Function> Function Next(const char* name)
{
    return (Function)dlsym(RTLD_NEXT, name);
}

// What one batch of n vertices makes, quads split in two.
long Assemble(GLenum mode, long n)
{
    switch (mode) {
    case GL_POINTS: return n;
    case GL_LINES: return n / 2;
    case GL_LINE_STRIP: return n > 1 ? n - 1 : 0;
    case GL_LINE_LOOP: return n > 1 ? n : 0;
    case GL_TRIANGLES: return n / 3;
    case GL_QUADS: return n / 4 * 2;
    case GL_QUAD_STRIP: return n >= 4 ? (n / 2 - 1) * 2 : 0;
    default: return n > 2 ? n - 2 : 0;  // strips, fans and polygons
    }
}

}  // namespace

// Found by the dynamic linker before OSMesa's, by GLU's calls too.
extern "C" {
void glBegin(GLenum mode)
{
    batchMode = mode;
    batchVertices = 0;
    Next<void (*)(GLenum)>("glBegin")(mode);
}
void glEnd()
{
    assembledTriangles += Assemble(batchMode, batchVertices);
    Next<void (*)()>("glEnd")();
}
void glVertex2f(GLfloat x, GLfloat y)
{
    batchVertices++;
    Next<void (*)(GLfloat, GLfloat)>("glVertex2f")(x, y);
}
void glVertex2fv(const GLfloat* v)
{
    batchVertices++;
    Next<void (*)(const GLfloat*)>("glVertex2fv")(v);
}
void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    batchVertices++;
    Next<void (*)(GLfloat, GLfloat, GLfloat)>("glVertex3f")(x, y, z);
}
void glVertex3fv(const GLfloat* v)
{
    batchVertices++;
    Next<void (*)(const GLfloat*)>("glVertex3fv")(v);
}
}

namespace {

class TriangleCountTest : public StageFixture {
protected:
    void SetUp() override
    {
        StageFixture::SetUp();
        BuildStage(160, 140);
        soundsOn = true;
    }

    void TearDown() override
    {
        ResetRand();
        StageFixture::TearDown();
    }

    // Runs frames 33 ms apart while keep() holds, at most limit of them;
    // every frame's count must be what reached GL. Returns the frames run.
    template <typename Keep> int RunAndCompare(int limit, Keep keep)
    {
        int frames = 0;
        for (; frames < limit && keep() && !HasFailure(); frames++) {
            FakeClockSeconds() += 0.033;
            assembledTriangles = 0;
            RenderFrame();
            EXPECT_EQ(drawnTriangles, assembledTriangles)
                << "frame " << frames << ", figure " << scene.figure << ", mishap " << scene.mishapActive
                << ", lament " << scene.lamentActive << ", kick " << scene.kickActive;
        }
        return frames;
    }
};

TEST_F(TriangleCountTest, EveryFigureAtEveryResolution)
{
    for (int figure = 1; figure <= 4; figure++) {
        for (int resolution : {10, 17, 30}) {
            SCOPED_TRACE(testing::Message() << "figure " << figure << ", resolution " << resolution);
            scene.figure = figure;
            scene.fadeAlpha = 0.0f;
            scene.fadingOut = false;
            scene.spinSpeedX = 3, scene.spinSpeedY = -2, scene.spinSpeedZ = 1;
            polyResolution = resolution;
            // Talking opens the mouths, which draw parts of their own.
            scene.wobbloTalking = scene.tavikTalking = scene.bexloTalking = true;
            scene.lastCueTime = scene.clockNow;
            srand((unsigned)(figure * 100 + resolution));
            RunAndCompare(40, [] { return true; });
            EXPECT_GT(drawnTriangles, 1000);
        }
    }
}

TEST_F(TriangleCountTest, ScenesWithTheSpikeTheSpraysAndFigureFive)
{
    polyResolution = 10;
    ForceKick();
    int frames = RunAndCompare(900, [] { return scene.figure != 5 || scene.kickActive; });
    EXPECT_EQ(scene.figure, 5) << "the kick scene ran to its end in " << frames << " frames";

    for (int variant : {1, 3}) {
        SCOPED_TRACE(testing::Message() << "lament variant " << variant);
        ForceMishap(2, variant);
        RunAndCompare(1200, [] { return scene.figure == 2 || scene.lamentActive; });
        EXPECT_NE(scene.figure, 2) << "the mishap and its lament ran to their end";
    }
}

}  // namespace
