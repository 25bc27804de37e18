// The X11 backend's GL: pixel formats are the TrueColor visuals GLX can
// render RGBA into, described as Windows describes its formats. X fixes a
// window's visual at creation, so SetPixelFormat recreates the X window
// (same HWND) only when a different visual is chosen. Contexts, making
// current and swapping go straight to GLX.
#include "platform/posix/x11/x11_internal.h"
#include "platform/posix/x11/x11_mappings.h"

#include <errno.h>
#include <setjmp.h>
#include <signal.h>
#include <sys/socket.h>

namespace w32 {
namespace x11 {
namespace {

// GLX's set-up ------------------------------------------------------------
// Mesa sets GLX up on a connection's first GLX call: it loads the driver and
// asks the server about DRI3 and Present, which takes a good part of our
// start. A server that dies meanwhile gives no reply to a request, and Mesa
// reads the reply it did not get (SIGSEGV). That one fault, taken while the
// server has closed the connection, ends the run as a loss noticed outside
// the wait for events does (x11_connection.cpp); any other fault stays a
// crash.
sigjmp_buf glxSetUpFault;
int glxSetUpFd = -1;
struct sigaction faultHandlerBefore;

// Only what a signal handler may call: has the server closed its end?
bool ServerClosed(int fd)
{
    int saved = errno;
    char byte;
    ssize_t n = recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    bool closed = n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
    errno = saved;
    return closed;
}

void OnFaultInGlxSetUp(int)
{
    if (ServerClosed(glxSetUpFd)) siglongjmp(glxSetUpFault, 1);
    sigaction(SIGSEGV, &faultHandlerBefore, nullptr);  // not the lost server: fault again as before
}

// Runs GLX calls that may be the connection's first (the vendor library
// behind GLVND sets up on the first call it is given). What the set-up
// allocates lives as long as the connection, or is abandoned with it.
void WithGlxSetUpGuarded(Display* d, const std::function<void()>& calls)
{
    struct sigaction guard = {};
    guard.sa_handler = OnFaultInGlxSetUp;
    sigemptyset(&guard.sa_mask);
    glxSetUpFd = ConnectionNumber(d);
    sigaction(SIGSEGV, &guard, &faultHandlerBefore);
    PauseLeakTracking();
    if (sigsetjmp(glxSetUpFault, 1) == 0) {
        calls();
        ResumeLeakTracking();
        sigaction(SIGSEGV, &faultHandlerBefore, nullptr);
        return;
    }
    ResumeLeakTracking();
    sigaction(SIGSEGV, &faultHandlerBefore, nullptr);
    xs().lost = true;
    ExitProcess(0);
}

// Reads only what GLX fetched with the formats: safe on a lost connection.
PIXELFORMATDESCRIPTOR Describe(XVisualInfo& v)
{
    Display* d = xs().display;
    auto get = [&](int attr) {
        int value = 0;
        glXGetConfig(d, &v, attr, &value);
        return value;
    };
    PIXELFORMATDESCRIPTOR p{};
    p.nSize = sizeof p;
    p.nVersion = 1;
    p.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | (get(GLX_DOUBLEBUFFER) ? PFD_DOUBLEBUFFER : 0);
    p.iPixelType = PFD_TYPE_RGBA;
    p.cColorBits = (BYTE)get(GLX_BUFFER_SIZE);
    p.cRedBits = (BYTE)MaskBits(v.red_mask), p.cRedShift = (BYTE)MaskShift(v.red_mask);
    p.cGreenBits = (BYTE)MaskBits(v.green_mask), p.cGreenShift = (BYTE)MaskShift(v.green_mask);
    p.cBlueBits = (BYTE)MaskBits(v.blue_mask), p.cBlueShift = (BYTE)MaskShift(v.blue_mask);
    p.cAlphaBits = (BYTE)get(GLX_ALPHA_SIZE);
    if (p.cAlphaBits) p.cAlphaShift = 24;
    p.cAccumRedBits = (BYTE)get(GLX_ACCUM_RED_SIZE);
    p.cAccumGreenBits = (BYTE)get(GLX_ACCUM_GREEN_SIZE);
    p.cAccumBlueBits = (BYTE)get(GLX_ACCUM_BLUE_SIZE);
    p.cAccumAlphaBits = (BYTE)get(GLX_ACCUM_ALPHA_SIZE);
    p.cAccumBits = (BYTE)(p.cAccumRedBits + p.cAccumGreenBits + p.cAccumBlueBits + p.cAccumAlphaBits);
    p.cDepthBits = (BYTE)get(GLX_DEPTH_SIZE);
    p.cStencilBits = (BYTE)get(GLX_STENCIL_SIZE);
    p.cAuxBuffers = (BYTE)get(GLX_AUX_BUFFERS);
    p.iLayerType = PFD_MAIN_PLANE;
    return p;
}

}  // namespace

// Pixel formats: the TrueColor visuals that GLX can render RGBA into.
void LoadFormats()
{
    XState& s = xs();
    int glxEvents = 0;
    if (!glXQueryExtension(s.display, &s.glxErrors, &glxEvents)) {
        s.glxErrors = -1;
        return;
    }
    XVisualInfo templ{};
    templ.screen = s.screen;
    int count = 0;
    XVisualInfo* list = XGetVisualInfo(s.display, VisualScreenMask, &templ, &count);
    WithGlxSetUpGuarded(s.display, [&] {
        for (int i = 0; i < count && !s.lost; i++) {
            XVisualInfo& v = list[i];
            int useGl = 0, rgba = 0, level = 0;
            if (glXGetConfig(s.display, &v, GLX_USE_GL, &useGl) || !useGl) continue;
            glXGetConfig(s.display, &v, GLX_RGBA, &rgba);
            glXGetConfig(s.display, &v, GLX_LEVEL, &level);
            if (!rgba || level != 0 || (v.c_class != TrueColor && v.c_class != DirectColor)) continue;
            s.formats.push_back(v);
        }
    });
    if (list) XFree(list);
}

// The visual a new window starts with: the one the saver's descriptor asks
// for (double-buffered RGBA with the deepest depth buffer), so that setting
// the pixel format normally keeps the window as it is.
XVisualInfo StartingVisual()
{
    XState& s = xs();
    int best = -1, bestScore = -1;
    for (size_t i = 0; i < s.formats.size(); i++) {
        PIXELFORMATDESCRIPTOR p = Describe(s.formats[i]);
        int score = ((p.dwFlags & PFD_DOUBLEBUFFER) ? 10000 : 0) + p.cDepthBits * 10 + p.cColorBits;
        if (score > bestScore) best = (int)i, bestScore = score;
    }
    if (best >= 0) return s.formats[best];
    XVisualInfo v{};
    v.visual = DefaultVisual(s.display, s.screen);
    v.visualid = XVisualIDFromVisual(v.visual);
    v.depth = DefaultDepth(s.display, s.screen);
    v.red_mask = v.visual->red_mask;
    v.green_mask = v.visual->green_mask;
    v.blue_mask = v.visual->blue_mask;
    return v;
}

}  // namespace x11

namespace be {

using namespace x11;

int PixelFormatCount() { return D() ? (int)xs().formats.size() : 0; }

bool DescribePixelFormat(int format, PIXELFORMATDESCRIPTOR* pfd)
{
    if (format < 1 || format > PixelFormatCount()) return false;
    *pfd = Describe(xs().formats[format - 1]);
    return true;
}

// X fixes a window's visual at creation: a different one means a new X
// window under the same HWND, made before anything is drawn into it.
bool SetPixelFormat(Window* w, int format)
{
    XNative* n = N(w);
    if (!n || n->gone || format < 1 || format > PixelFormatCount()) return false;
    XVisualInfo& wanted = xs().formats[format - 1];
    if (wanted.visualid == n->visual.visualid) return true;
    XNative fresh;
    fresh.visual = wanted;
    if (!MakeXWindow(w, &fresh)) return false;
    Display* d = xs().display;
    for (HWND c : w->children)
        if (XNative* cn = N(FindWindowRecord(c)); cn && !cn->gone) {
            Window* cw = FindWindowRecord(c);
            XReparentWindow(d, cn->xwin, fresh.xwin, cw->x, cw->y);
        }
    FreeXWindow(n, true);
    *n = fresh;
    if (w->visible) XMapRaised(d, n->xwin);
    if (!xs().lost) XSync(d, False);
    return true;
}

// Without direct rendering GLX still hands out a context and the server
// refuses it afterwards (BadValue): only one that raised no error counts.
void* CreateContext(Window* w)
{
    XNative* n = N(w);
    Display* d = D();
    if (!n || n->gone || !d) return nullptr;
    for (Bool direct : {True, False}) {
        GLXContext ctx = nullptr;
        if (Trapped([&] { ctx = glXCreateContext(d, &n->visual, nullptr, direct); }) && ctx) return ctx;
        if (!ctx) continue;
        if (xs().lost) {  // nothing to refuse it any more: free it and stop
            glXDestroyContext(d, ctx);
            return nullptr;
        }
        Trapped([&] { glXDestroyContext(d, ctx); });
    }
    return nullptr;
}

bool MakeCurrent(Window* w, void* context)
{
    Display* d = D();
    if (!d) return false;
    if (!w || !context) return glXMakeCurrent(d, None, nullptr);
    XNative* n = N(w);
    if (!n || n->gone) return false;
    bool ok = false;
    Trapped([&] { ok = glXMakeCurrent(d, n->xwin, static_cast<GLXContext>(context)); });
    return ok;
}

void DeleteContext(void* context)
{
    if (D() && context) glXDestroyContext(D(), static_cast<GLXContext>(context));
}

bool SwapBuffers(Window* w)
{
    XNative* n = N(w);
    if (!n || n->gone || xs().lost) return false;
    glXSwapBuffers(xs().display, n->xwin);
    return true;
}

}  // namespace be
}  // namespace w32
