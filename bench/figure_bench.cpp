// Times the drawing of every figure on software GL (OSMesa) at the
// three polygon resolutions and two stage sides, frame by frame as the
// renderer draws them (cleared, pushed back, figure, finished), and counts
// the triangles each frame sends down the pipeline.
//
//   figure_bench [frames]
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "figures/figures.h"
#include "tools/offscreen_gl.h"
#include "settings/settings.h"
#include "stage/scene_state.h"

#ifndef GL_PRIMITIVES_GENERATED
#define GL_PRIMITIVES_GENERATED 0x8C87
#endif

namespace {

typedef void (*GenQueries)(GLsizei, GLuint*);
typedef void (*BeginQuery)(GLenum, GLuint);
typedef void (*EndQuery)(GLenum);
typedef void (*GetQueryObjectuiv)(GLuint, GLenum, GLuint*);

GenQueries genQueries;
BeginQuery beginQuery;
EndQuery endQuery;
GetQueryObjectuiv getQueryObjectuiv;
GLuint query;

bool LoadQueries()
{
    genQueries = (GenQueries)OSMesaGetProcAddress("glGenQueries");
    beginQuery = (BeginQuery)OSMesaGetProcAddress("glBeginQuery");
    endQuery = (EndQuery)OSMesaGetProcAddress("glEndQuery");
    getQueryObjectuiv = (GetQueryObjectuiv)OSMesaGetProcAddress("glGetQueryObjectuiv");
    if (!genQueries || !beginQuery || !endQuery || !getQueryObjectuiv)
        return false;
    genQueries(1, &query);
    return glGetError() == GL_NO_ERROR;
}

// Primitives of one frame after quads and strips are split into triangles:
// the triangles, plus the figures' line segments (no spray runs here).
long CountTriangles(void (*draw)())
{
    while (glGetError() != GL_NO_ERROR) {
    }
    beginQuery(GL_PRIMITIVES_GENERATED, query);
    if (glGetError() != GL_NO_ERROR)
        return -1;
    offscreen::DrawFrame(draw);
    endQuery(GL_PRIMITIVES_GENERATED);
    GLuint count = 0;
    getQueryObjectuiv(query, GL_QUERY_RESULT, &count);
    return (long)count;
}

}  // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? atoi(argv[1]) : 60;
    const int resolutions[] = {10, 15, 30};
    const int sides[] = {374, 540};

    printf("%-8s %5s %4s %10s %10s %10s\n", "figure", "side", "res", "ms/frame", "frames/s", "triangles");
    for (int stageSide : sides) {
        offscreen::Stage stage;
        if (!offscreen::OpenStage(&stage, stageSide)) {
            fprintf(stderr, "cannot create an OSMesa context\n");
            return 1;
        }
        static bool printedVersion = false;
        bool haveQueries = LoadQueries();
        if (!printedVersion) {
            printf("# %s, %s\n", (const char*)glGetString(GL_RENDERER), (const char*)glGetString(GL_VERSION));
            printedVersion = true;
        }
        for (const FigureRoutine& figure : figureRoutines) {
            for (int resolution : resolutions) {
                ResetSceneState();
                srand(1);
                polyResolution = resolution;
                scene.fadeAlpha = 1.0f;
                scene.figure = figure.number;
                scene.spinSpeedX = 1;
                scene.spinSpeedY = 2;
                scene.spinSpeedZ = -1;
                for (int i = 0; i < 5; i++)
                    offscreen::DrawFrame(figure.draw);
                long triangles = haveQueries ? CountTriangles(figure.draw) : -1;

                auto start = std::chrono::steady_clock::now();
                for (int i = 0; i < frames; i++)
                    offscreen::DrawFrame(figure.draw);
                auto end = std::chrono::steady_clock::now();
                double ms = std::chrono::duration<double, std::milli>(end - start).count() / frames;
                printf("%-8s %5d %4d %10.2f %10.1f %10ld\n", figure.name, stageSide, resolution, ms, 1000.0 / ms,
                       triangles);
                fflush(stdout);
            }
        }
        offscreen::CloseStage(&stage);
    }
    return 0;
}
