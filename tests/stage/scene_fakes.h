// Recording stand-ins for the figure routines, the scripted scenes and the
// voice cue, so the stage's dispatch and GL state can be checked call by call.
#pragma once
#include "platform/win32.h"

#include <functional>
#include <string>
#include <vector>

struct DrawCall {
    std::string routine;  // "DrawWobblo", ..., "DrawKickScene", "DrawLament", "DrawSpike"
    int figure;
    float fadeAlpha;
    bool blending;
    GLint blendSource, blendDestination;
    GLfloat modelView[16];
    GLint modelViewDepth;
};

struct CueCall {
    int spinSpeedX, spinSpeedY, spinSpeedZ;
};

extern std::vector<DrawCall> drawCalls;
extern std::vector<CueCall> cueCalls;
extern std::vector<int> mishapEdges;  // one per StartMishap call
// Run inside every recorded draw call, after recording (e.g. to act as a scene).
extern std::function<void(const std::string& routine)> onDraw;

void ClearFakeRecords();
