// Pixel formats and WGL. The backend lists its formats and makes contexts;
// choosing among the formats and the bookkeeping of which context is
// current on which window are the same for every backend.
#include "platform/posix/backend.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

namespace w32 {
namespace {

constexpr DWORD doubleBufferDontCare = 0x40000000;  // PFD_DOUBLEBUFFER_DONTCARE

struct GlContext {
    void* native;
    int format;
};

struct GlState {
    std::unordered_set<GlContext*> contexts;
    GlContext* current = nullptr;
    HWND currentWindow = nullptr;
};

GlState& gl()
{
    static GlState s;
    return s;
}

GlContext* CheckContext(HGLRC h)
{
    auto* ctx = reinterpret_cast<GlContext*>(h);
    return h && gl().contexts.count(ctx) ? ctx : nullptr;
}

Window* WindowOfDc(HDC hdc)
{
    Dc* dc = CheckDc(hdc);
    return dc && !dc->memory ? FindWindowRecord(dc->window) : nullptr;
}

// How far a format is from the request: lower is better. A missing
// capability the caller asked for rules the format out.
long Distance(const PIXELFORMATDESCRIPTOR& want, const PIXELFORMATDESCRIPTOR& have)
{
    const DWORD required = want.dwFlags & (PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL);
    if ((have.dwFlags & required) != required) return LONG_MAX;
    if (want.iPixelType != have.iPixelType) return LONG_MAX;
    long d = 0;
    if (!(want.dwFlags & doubleBufferDontCare) &&
        (want.dwFlags & PFD_DOUBLEBUFFER) != (have.dwFlags & PFD_DOUBLEBUFFER))
        d += 100000;
    auto atLeast = [](int want, int have, long weight) -> long {
        if (!want) return 0;
        return have >= want ? (have - want) * weight : (1000 + want - have) * weight;
    };
    d += atLeast(want.cColorBits, have.cColorBits, 10);
    d += atLeast(want.cDepthBits, have.cDepthBits, 10);
    d += atLeast(want.cAlphaBits, have.cAlphaBits, 1);
    d += atLeast(want.cStencilBits, have.cStencilBits, 1);
    d += atLeast(want.cAccumBits, have.cAccumBits, 1);
    return d;
}

void ReleaseCurrent()
{
    GlState& s = gl();
    if (s.current) be::MakeCurrent(nullptr, nullptr);
    s.current = nullptr;
    s.currentWindow = nullptr;
}

}  // namespace

void ForgetWindowGl(Window* w)
{
    if (gl().currentWindow == w->handle) ReleaseCurrent();
}

void ResetGl()
{
    GlState& s = gl();
    ReleaseCurrent();
    for (GlContext* ctx : s.contexts) {
        be::DeleteContext(ctx->native);
        delete ctx;
    }
    s.contexts.clear();
}

}  // namespace w32

using namespace w32;

extern "C" {

int WINAPI ChoosePixelFormat(HDC hdc, const PIXELFORMATDESCRIPTOR* ppfd)
{
    if (!ppfd || !CheckDc(hdc)) return 0;
    int best = 0;
    long bestDistance = LONG_MAX;
    for (int i = 1; i <= be::PixelFormatCount(); i++) {
        PIXELFORMATDESCRIPTOR have{};
        if (!be::DescribePixelFormat(i, &have)) continue;
        long d = Distance(*ppfd, have);
        if (d < bestDistance) best = i, bestDistance = d;
    }
    return best;
}

// A window's format is set once, as on Windows; setting the same one again
// succeeds.
BOOL WINAPI SetPixelFormat(HDC hdc, int format, const PIXELFORMATDESCRIPTOR*)
{
    Window* w = WindowOfDc(hdc);
    if (!w || format < 1 || format > be::PixelFormatCount()) return FALSE;
    if (w->pixelFormat) return w->pixelFormat == format;
    if (!be::SetPixelFormat(w, format)) return FALSE;
    w->pixelFormat = format;
    return TRUE;
}

int WINAPI DescribePixelFormat(HDC hdc, int iPixelFormat, UINT nBytes, LPPIXELFORMATDESCRIPTOR ppfd)
{
    if (!CheckDc(hdc)) return 0;
    int count = be::PixelFormatCount();
    if (!ppfd) return count;
    if (iPixelFormat < 1 || iPixelFormat > count) return 0;
    PIXELFORMATDESCRIPTOR pfd{};
    if (!be::DescribePixelFormat(iPixelFormat, &pfd)) return 0;
    std::memcpy(ppfd, &pfd, nBytes < sizeof pfd ? nBytes : sizeof pfd);
    return count;
}

BOOL WINAPI SwapBuffers(HDC hdc)
{
    Window* w = WindowOfDc(hdc);
    if (!w || !w->pixelFormat) return FALSE;
    return be::SwapBuffers(w);
}

HGLRC WINAPI wglCreateContext(HDC hdc)
{
    Window* w = WindowOfDc(hdc);
    if (!w || !w->pixelFormat) return nullptr;
    void* native = be::CreateContext(w);
    if (!native) return nullptr;
    auto* ctx = new GlContext{native, w->pixelFormat};
    gl().contexts.insert(ctx);
    return reinterpret_cast<HGLRC>(ctx);
}

// A context can be made current only on a window of its own pixel format.
BOOL WINAPI wglMakeCurrent(HDC hdc, HGLRC hglrc)
{
    GlState& s = gl();
    if (!hglrc) {
        ReleaseCurrent();
        return TRUE;
    }
    GlContext* ctx = CheckContext(hglrc);
    Window* w = WindowOfDc(hdc);
    if (!ctx || !w || w->pixelFormat != ctx->format) return FALSE;
    if (!be::MakeCurrent(w, ctx->native)) return FALSE;
    s.current = ctx;
    s.currentWindow = w->handle;
    return TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC hglrc)
{
    GlState& s = gl();
    GlContext* ctx = CheckContext(hglrc);
    if (!ctx) return FALSE;
    if (s.current == ctx) ReleaseCurrent();
    be::DeleteContext(ctx->native);
    s.contexts.erase(ctx);
    delete ctx;
    return TRUE;
}

}  // extern "C"
