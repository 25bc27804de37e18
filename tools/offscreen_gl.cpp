#include "tools/offscreen_gl.h"
#include "stage/stage.h"

namespace offscreen {

bool OpenStage(Stage* stage, int side)
{
    stage->context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    if (!stage->context)
        return false;
    stage->side = side;
    stage->pixels.assign((size_t)side * side * 4, 0);
    if (!OSMesaMakeCurrent(stage->context, stage->pixels.data(), GL_UNSIGNED_BYTE, side, side))
        return false;

    InitGlState();
    SetProjection(side, side);
    return true;
}

void CloseStage(Stage* stage)
{
    if (stage->context)
        OSMesaDestroyContext(stage->context);
    stage->context = nullptr;
}

void DrawFrame(void (*draw)())
{
    BeginFrame();
    draw();
    EndFrame();
    glFinish();
}

}  // namespace offscreen
