#include "tests/stage/scene_fakes.h"
#include "stage/scene_state.h"
#include "figures/figures.h"
#include "events/events.h"

std::vector<DrawCall> drawCalls;
std::vector<CueCall> cueCalls;
std::vector<int> mishapEdges;
long drawnTriangles;  // the figures' counter, which the stand-ins leave at 0
std::function<void(const std::string& routine)> onDraw;

void ClearFakeRecords()
{
    drawCalls.clear();
    cueCalls.clear();
    mishapEdges.clear();
    onDraw = nullptr;
}

static void Record(const char* routine)
{
    DrawCall call = {};
    call.routine = routine;
    call.figure = scene.figure;
    call.fadeAlpha = scene.fadeAlpha;
    call.blending = glIsEnabled(GL_BLEND) == GL_TRUE;
    glGetIntegerv(GL_BLEND_SRC, &call.blendSource);
    glGetIntegerv(GL_BLEND_DST, &call.blendDestination);
    glGetFloatv(GL_MODELVIEW_MATRIX, call.modelView);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &call.modelViewDepth);
    drawCalls.push_back(call);
    if (onDraw)
        onDraw(routine);
}

void DrawWobblo() { Record("DrawWobblo"); }
void DrawMuffix() { Record("DrawMuffix"); }
void DrawTavik() { Record("DrawTavik"); }
void DrawBexlo() { Record("DrawBexlo"); }
void DrawNibbo() { Record("DrawNibbo"); }
void DrawKickScene() { Record("DrawKickScene"); }
void DrawLament() { Record("DrawLament"); }
void DrawSpike() { Record("DrawSpike"); }

void CueVoiceLine()
{
    cueCalls.push_back({scene.spinSpeedX, scene.spinSpeedY, scene.spinSpeedZ});
}

void StartMishap(int edge) { mishapEdges.push_back(edge); }
void PlayCue(const char*) {}
