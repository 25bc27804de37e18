// The X11/GLX backend: each of our windows is a real X window (children are
// X subwindows), X events become queued input, Expose becomes an update
// region, and a window the server destroys under us (its foreign parent
// went away) gets WM_DESTROY as on Windows. Every X window is created with
// a GL-capable visual; SetPixelFormat recreates the X window (same HWND)
// only when a different visual is chosen.
#include "platform/posix/backend.h"
#include "platform/posix/sys_internal.h"
#include "platform/posix/x11/x11_mappings.h"
#include "platform/posix/signals.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

typedef ::Window XWin;

namespace w32 {
namespace {

using namespace x11;

constexpr long eventMask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                           PointerMotionMask | StructureNotifyMask | FocusChangeMask;

struct XNative {
    XWin xwin = 0;
    XVisualInfo visual{};
    Colormap colormap = 0;
    GC gc = nullptr;
    bool gone = false;       // the server destroyed it under us
    bool wantFocus = false;  // focus once it becomes viewable
};

struct XState {
    Display* display = nullptr;
    bool tried = false;
    int screen = 0;
    XWin root = 0;
    std::map<XWin, HWND> byXid;
    Cursor blank = 0;
    bool cursorHidden = false;
    bool activationLost = false;
    int lastError = 0;
    int trapDepth = 0;  // inside Trapped: errors are expected and recorded
    bool lost = false;    // the connection to the server is gone
    XWin screenWindow = 0;  // hack mode: the window that stands in for the screen
    std::vector<XVisualInfo> formats;
    Atom wmProtocols = 0, wmDelete = 0, netState = 0, netAbove = 0, netFullscreen = 0, netPid = 0;
};

XState& xs()
{
    static XState s;
    return s;
}

// Inside Trapped, X errors are expected (a foreign window can vanish
// between two calls) and only recorded. Any other is a fault of ours: it is
// reported on stderr, and neither case ends the process.
int RecordError(Display* d, XErrorEvent* e)
{
    if (xs().trapDepth > 0) {
        xs().lastError = e->error_code;
        return 0;
    }
    char text[128] = "";
    XGetErrorText(d, e->error_code, text, sizeof text);
    std::fprintf(stderr, "X error: %s (error %d, request %d.%d, resource 0x%lx)\n", text, e->error_code,
                 e->request_code, e->minor_code, e->resourceid);
    return 0;
}

void LoadFormats();
void KeepRunningWhenTheServerGoes(Display* d);
long EventMaskFor(Window* w);
XWin ScreenXid();

Display* D()
{
    XState& s = xs();
    if (s.lost) return nullptr;
    if (s.tried) return s.display;
    s.tried = true;
    s.display = XOpenDisplay(nullptr);
    if (!s.display) {
        std::fprintf(stderr, "cannot open the X display\n");
        return nullptr;
    }
    XSetErrorHandler(RecordError);
    KeepRunningWhenTheServerGoes(s.display);
    s.screen = DefaultScreen(s.display);
    s.root = RootWindow(s.display, s.screen);
    s.wmProtocols = XInternAtom(s.display, "WM_PROTOCOLS", False);
    s.wmDelete = XInternAtom(s.display, "WM_DELETE_WINDOW", False);
    s.netState = XInternAtom(s.display, "_NET_WM_STATE", False);
    s.netAbove = XInternAtom(s.display, "_NET_WM_STATE_ABOVE", False);
    s.netFullscreen = XInternAtom(s.display, "_NET_WM_STATE_FULLSCREEN", False);
    s.netPid = XInternAtom(s.display, "_NET_WM_PID", False);
    char zero = 0;
    Pixmap empty = XCreateBitmapFromData(s.display, s.root, &zero, 1, 1);
    XColor black{};
    s.blank = XCreatePixmapCursor(s.display, empty, empty, &black, &black, 0, 0);
    XFreePixmap(s.display, empty);
    LoadFormats();
    return s.display;
}

// Runs f with errors recorded; true when it raised none.
bool Trapped(const std::function<void()>& f)
{
    Display* d = D();
    if (!d) return false;
    XSync(d, False);
    xs().lastError = 0;
    xs().trapDepth++;
    f();
    XSync(d, False);
    xs().trapDepth--;
    return xs().lastError == 0;
}

XNative* N(Window* w)
{
    return w ? static_cast<XNative*>(w->native) : nullptr;
}

Window* FromXid(XWin x)
{
    auto it = xs().byXid.find(x);
    return it == xs().byXid.end() ? nullptr : FindWindowRecord(it->second);
}

XWin ToXid(HWND hwnd)
{
    return (XWin)(uintptr_t)hwnd;
}

bool FitsXid(HWND hwnd)
{
    return hwnd && (uintptr_t)hwnd <= 0xFFFFFFFFu;
}

// Pixel formats: the TrueColor visuals that GLX can render RGBA into.
void LoadFormats()
{
    XState& s = xs();
    XVisualInfo templ{};
    templ.screen = s.screen;
    int count = 0;
    XVisualInfo* list = XGetVisualInfo(s.display, VisualScreenMask, &templ, &count);
    for (int i = 0; i < count; i++) {
        XVisualInfo& v = list[i];
        int useGl = 0, rgba = 0, level = 0;
        if (glXGetConfig(s.display, &v, GLX_USE_GL, &useGl) || !useGl) continue;
        glXGetConfig(s.display, &v, GLX_RGBA, &rgba);
        glXGetConfig(s.display, &v, GLX_LEVEL, &level);
        if (!rgba || level != 0 || (v.c_class != TrueColor && v.c_class != DirectColor)) continue;
        s.formats.push_back(v);
    }
    if (list) XFree(list);
}

PIXELFORMATDESCRIPTOR Describe(XVisualInfo& v)
{
    Display* d = D();
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

XWin ParentXid(Window* w)
{
    if (!w->parent) return ScreenXid();
    if (w->foreignParent) return ToXid(w->parent);
    XNative* p = N(FindWindowRecord(w->parent));
    return p ? p->xwin : xs().root;
}

bool IsTopLevel(Window* w)
{
    return !w->parent;
}

bool MakeXWindow(Window* w, XNative* n)
{
    XState& s = xs();
    Display* d = s.display;
    XSetWindowAttributes a{};
    if (!Trapped([&] { n->colormap = XCreateColormap(d, s.root, n->visual.visual, AllocNone); })) {
        n->colormap = 0;
        return false;
    }
    a.colormap = n->colormap;
    a.border_pixel = 0;
    a.event_mask = EventMaskFor(w);
    unsigned long mask = CWColormap | CWBorderPixel | CWEventMask;
    Brush* brush = CheckBrush(w->cls->wc.hbrBackground);
    if (brush && !brush->hollow && brush->colour == 0) {
        a.background_pixel = 0;  // the server clears to black at once; no white flash
        mask |= CWBackPixel;
    } else {
        a.background_pixmap = None;  // GL windows draw every pixel themselves
        mask |= CWBackPixmap;
    }
    if (IsTopLevel(w) && (w->style & WS_POPUP)) {
        // No window manager may move, frame or cover a full-screen popup.
        a.override_redirect = True;
        mask |= CWOverrideRedirect;
    }
    // The parent may be a foreign window that is already gone.
    bool made = Trapped([&] {
        n->xwin = XCreateWindow(d, ParentXid(w), w->x, w->y, (unsigned)std::max(w->width, 1),
                                (unsigned)std::max(w->height, 1), 0, n->visual.depth, InputOutput, n->visual.visual,
                                mask, &a);
    });
    if (!n->xwin || !made) {
        if (n->xwin) Trapped([&] { XDestroyWindow(d, n->xwin); });
        XFreeColormap(d, n->colormap);
        n->xwin = 0;
        n->colormap = 0;
        return false;
    }

    XClassHint hint{const_cast<char*>("brackwold"), const_cast<char*>(w->cls->name.c_str())};
    XSetClassHint(d, n->xwin, &hint);
    XStoreName(d, n->xwin, w->title.c_str());
    XSetWMProtocols(d, n->xwin, &s.wmDelete, 1);
    long pid = getpid();
    XChangeProperty(d, n->xwin, s.netPid, XA_CARDINAL, 32, PropModeReplace, (unsigned char*)&pid, 1);
    if (IsTopLevel(w) && (w->exStyle & WS_EX_TOPMOST)) {
        Atom states[2] = {s.netAbove, s.netFullscreen};
        XChangeProperty(d, n->xwin, s.netState, XA_ATOM, 32, PropModeReplace, (unsigned char*)states,
                        w->style & WS_POPUP ? 2 : 1);
    }
    if (s.cursorHidden) XDefineCursor(d, n->xwin, s.blank);
    s.byXid[n->xwin] = w->handle;
    return true;
}

void FreeXWindow(XNative* n, bool destroy)
{
    Display* d = xs().display;
    if (xs().lost) n->gc = nullptr, n->colormap = 0, destroy = false;  // nothing left to free on a dead link
    if (n->gc) XFreeGC(d, n->gc);
    n->gc = nullptr;
    if (n->xwin) {
        xs().byXid.erase(n->xwin);
        if (destroy && !n->gone) XDestroyWindow(d, n->xwin);
    }
    if (n->colormap) XFreeColormap(d, n->colormap);
    n->xwin = 0;
    n->colormap = 0;
}

bool IsMappedViewable(XWin x)
{
    XWindowAttributes attrs{};
    bool ok = Trapped([&] { XGetWindowAttributes(xs().display, x, &attrs); });
    return ok && attrs.map_state == IsViewable;
}

bool Focus(XWin x)
{
    Display* d = D();
    bool takeFocus = !xs().screenWindow;
    return Trapped([&] {
        XRaiseWindow(d, x);
        if (takeFocus) XSetInputFocus(d, x, RevertToParent, CurrentTime);
    });
}

// Null when Xlib cannot allocate the GC; callers then draw nothing.
GC GcOf(XNative* n)
{
    if (!n->gc) n->gc = XCreateGC(xs().display, n->xwin, 0, nullptr);
    return n->gc;
}

// Input ---------------------------------------------------------------------

void Queue(HWND hwnd, UINT message, WPARAM wp, LPARAM lp, int rootX, int rootY, unsigned character = 0)
{
    MSG msg{hwnd, message, wp, lp, (DWORD)NowMs(), {rootX, rootY}};
    QueueInput(msg, character);
}

void OnKey(Window* w, XKeyEvent& e)
{
    char text[8] = {};
    KeySym sym = 0;
    int n = XLookupString(&e, text, sizeof text, &sym, nullptr);
    bool alt = (e.state & Mod1Mask) != 0;
    LPARAM lp = 1 | (LPARAM)((e.keycode - 8) & 0xFF) << 16 | (alt ? 1 << 29 : 0);
    if (e.type == KeyPress) {
        unsigned character = n == 1 ? (unsigned char)text[0] : 0;
        Queue(w->handle, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, VirtualKey(sym), lp, e.x_root, e.y_root, character);
    } else {
        lp |= (LPARAM)3 << 30;  // previous state down, transition up
        Queue(w->handle, alt ? WM_SYSKEYUP : WM_KEYUP, VirtualKey(sym), lp, e.x_root, e.y_root);
    }
}

// Buttons 1-3 click; 4-7 are the wheel, which never counts as a click.
void OnButton(Window* w, XButtonEvent& e)
{
    bool press = e.type == ButtonPress;
    LPARAM client = MAKELPARAM(e.x, e.y);
    WPARAM keys = MouseKeys(e.state);
    static const UINT downs[3] = {WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN};
    static const UINT ups[3] = {WM_LBUTTONUP, WM_MBUTTONUP, WM_RBUTTONUP};
    if (e.button >= 1 && e.button <= 3) {
        Queue(w->handle, press ? downs[e.button - 1] : ups[e.button - 1], keys, client, e.x_root, e.y_root);
    } else if (press && e.button >= 4 && e.button <= 7) {
        constexpr int wheelDelta = 120;
        int delta = (e.button == 4 || e.button == 7) ? wheelDelta : -wheelDelta;
        UINT message = e.button <= 5 ? WM_MOUSEWHEEL : WM_MOUSEHWHEEL;
        WPARAM wp = (keys & 0xFFFF) | (WPARAM)(WORD)(SHORT)delta << 16;
        Queue(w->handle, message, wp, MAKELPARAM(e.x_root, e.y_root), e.x_root, e.y_root);
    }
}

void SendActivateApp(BOOL active)
{
    for (Window* w : AllWindows())
        if (!w->parent && !w->destroying) Queue(w->handle, WM_ACTIVATEAPP, active, 0, 0, 0);
}

bool FocusIsOurs()
{
    XWin focus = 0;
    int revert = 0;
    XGetInputFocus(xs().display, &focus, &revert);
    return FromXid(focus) != nullptr;
}

// Activation is lost when the focus leaves our window tree for good (the
// rule is in x11_mappings.cpp) and comes back with a plain FocusIn.
void OnFocus(XFocusChangeEvent& e)
{
    XState& s = xs();
    if (e.type == FocusIn) {
        if (FocusMayComeBack(e.mode, e.detail) && s.activationLost) {
            s.activationLost = false;
            SendActivateApp(TRUE);
        }
        return;
    }
    if (!FocusMayLeaveOurTree(e.mode, e.detail)) return;
    if (s.activationLost || FocusIsOurs()) return;
    s.activationLost = true;
    SendActivateApp(FALSE);
}

// The server destroyed one of our windows (its foreign parent went away).
// Windows sends WM_DESTROY to the outermost window first, so destroy from
// the highest of our ancestors that is gone too.
void OnDestroyed(Window* w)
{
    Window* top = w;
    for (Window* p = w; p && !p->foreignParent && p->parent;) {
        p = FindWindowRecord(p->parent);
        if (!p) break;
        XNative* pn = N(p);
        XWindowAttributes attrs{};
        if (pn && !pn->gone && Trapped([&] { XGetWindowAttributes(xs().display, pn->xwin, &attrs); })) break;
        top = p;
    }
    std::function<void(Window*)> markGone = [&](Window* x) {
        if (XNative* n = N(x)) {
            n->gone = true;
            xs().byXid.erase(n->xwin);
        }
        for (HWND c : x->children)
            if (Window* cw = FindWindowRecord(c)) markGone(cw);
    };
    markGone(top);
    DestroyWindow(top->handle);
}

void HandleEvent(XEvent& e)
{
    XState& s = xs();
    Window* w = FromXid(e.xany.window);
    switch (e.type) {
    case Expose:
        if (w) {
            RECT r{e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width, e.xexpose.y + e.xexpose.height};
            InvalidateRect(w->handle, &r, TRUE);
        }
        break;
    case KeyPress:
    case KeyRelease:
        if (w) OnKey(w, e.xkey);
        break;
    case ButtonPress:
    case ButtonRelease:
        if (w) OnButton(w, e.xbutton);
        break;
    case MotionNotify:
        if (w)
            Queue(w->handle, WM_MOUSEMOVE, MouseKeys(e.xmotion.state), MAKELPARAM(e.xmotion.x, e.xmotion.y),
                  e.xmotion.x_root, e.xmotion.y_root);
        break;
    case FocusIn:
    case FocusOut:
        if (w) OnFocus(e.xfocus);
        break;
    case DestroyNotify:
        // Only our own windows are listened to; one we destroyed is no longer listed.
        if ((w = FromXid(e.xdestroywindow.window)) && !w->destroying) OnDestroyed(w);
        break;
    case ConfigureNotify:
        if ((w = FromXid(e.xconfigure.window)) && !w->parent &&
            (e.xconfigure.width != w->width || e.xconfigure.height != w->height)) {
            w->width = e.xconfigure.width;
            w->height = e.xconfigure.height;
            SendMessageA(w->handle, WM_SIZE, 0, MAKELPARAM(w->width, w->height));
        }
        break;
    case MapNotify:
        if ((w = FromXid(e.xmap.window)) && N(w)->wantFocus) {
            N(w)->wantFocus = false;
            Focus(N(w)->xwin);
        }
        break;
    case VisibilityNotify:
        // A topmost window does not stay covered.
        if (w && e.xvisibility.state != VisibilityUnobscured) XRaiseWindow(s.display, N(w)->xwin);
        break;
    case ClientMessage:
        if (w && e.xclient.message_type == s.wmProtocols && (Atom)e.xclient.data.l[0] == s.wmDelete)
            Queue(w->handle, WM_SYSCOMMAND, SC_CLOSE, 0, 0, 0);
        break;
    default:
        break;
    }
}

HWND FindIn(XWin parent, const char* className, const char* title, int depth)
{
    Display* d = xs().display;
    XWin rootReturn, parentReturn, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, parent, &rootReturn, &parentReturn, &children, &count)) return nullptr;
    HWND found = nullptr;
    for (unsigned i = count; i-- > 0 && !found;) {  // topmost first
        XWin x = children[i];
        if (FromXid(x)) continue;
        bool match = true;
        if (className) {
            XClassHint hint{};
            match = XGetClassHint(d, x, &hint) && hint.res_class && EqualNoCase(hint.res_class, className);
            if (hint.res_name) XFree(hint.res_name);
            if (hint.res_class) XFree(hint.res_class);
        }
        if (match && title) {
            char* name = nullptr;
            match = XFetchName(d, x, &name) && name && EqualNoCase(name, title);
            if (name) XFree(name);
        }
        if (match && (className || title)) found = (HWND)(uintptr_t)x;
        else if (depth > 1) found = FindIn(x, className, title, depth - 1);
    }
    if (children) XFree(children);
    return found;
}

// The server went away ------------------------------------------------------
// Xlib's default ends the process with exit(), which runs static destructors
// under a playing audio thread. Instead the link is marked lost, Xlib is
// asked not to exit, and the next wait destroys our windows as the server
// would have: WM_DESTROY, the quit message, the usual way out.

int OnServerLost(Display*)
{
    xs().lost = true;
    return 0;
}

void StayAfterServerLost(Display*, void*) {}

void KeepRunningWhenTheServerGoes(Display* d)
{
    XSetIOErrorHandler(OnServerLost);
    XSetIOErrorExitHandler(d, StayAfterServerLost, nullptr);
}

// True when there was a window left to destroy.
bool DestroyWindowsOfLostServer()
{
    std::vector<HWND> outermost;
    for (Window* w : AllWindows()) {
        if (XNative* n = N(w)) n->gone = true;
        if ((!w->parent || w->foreignParent) && !w->destroying) outermost.push_back(w->handle);
    }
    xs().byXid.clear();
    for (HWND h : outermost) DestroyWindow(h);
    return !outermost.empty();
}

// Waits until the display or an ending signal has something to say.
void PollDisplayAndSignals(int displayFd, int timeoutMs)
{
    pollfd p[2] = {{displayFd, POLLIN, 0}, {EndingSignalFd(), POLLIN, 0}};
    poll(p, 2, timeoutMs);  // a negative descriptor is skipped
}

// Hack mode ------------------------------------------------------------------
// A screen-saver daemon's window stands in for the screen: our top-level
// windows become its children and take its size, they take neither input
// nor the focus, and looking for windows stays inside it.

constexpr long inputMask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                           PointerMotionMask | FocusChangeMask;

XWin ScreenXid()
{
    return xs().screenWindow ? xs().screenWindow : xs().root;
}

long EventMaskFor(Window* w)
{
    long mask = eventMask | (w->exStyle & WS_EX_TOPMOST ? VisibilityChangeMask : 0);
    return xs().screenWindow ? mask & ~inputMask : mask;
}

bool ScreenSize(int* width, int* height)
{
    Display* d = D();
    if (!d) return false;
    if (!xs().screenWindow) {
        *width = DisplayWidth(d, xs().screen);
        *height = DisplayHeight(d, xs().screen);
        return true;
    }
    XWindowAttributes attrs{};
    Status ok = 0;
    if (!Trapped([&] { ok = XGetWindowAttributes(d, ScreenXid(), &attrs); }) || !ok) return false;
    *width = attrs.width;
    *height = attrs.height;
    return true;
}

}  // namespace

namespace be {

// NULL names the root window itself.
bool UseWindowAsScreen(HWND window)
{
    if (!window && D()) window = (HWND)(uintptr_t)xs().root;
    if (!ForeignIsWindow(window)) return false;
    xs().screenWindow = ToXid(window);
    return true;
}

int ScreenWidth()
{
    int width = 0, height = 0;
    return ScreenSize(&width, &height) ? width : 0;
}

int ScreenHeight()
{
    int width = 0, height = 0;
    return ScreenSize(&width, &height) ? height : 0;
}

bool GetCursorPos(POINT* pt)
{
    if (!D()) return false;
    XWin rootReturn, child;
    int rx = 0, ry = 0, wx, wy;
    unsigned mask;
    XQueryPointer(D(), xs().root, &rootReturn, &child, &rx, &ry, &wx, &wy, &mask);
    *pt = POINT{rx, ry};
    return true;
}

// SetCursor(NULL) hides the pointer over all our windows.
void SetCursorVisible(bool visible)
{
    XState& s = xs();
    if (!D() || s.cursorHidden == !visible) return;
    s.cursorHidden = !visible;
    for (auto& [x, h] : s.byXid) {
        if (visible) XUndefineCursor(s.display, x);
        else XDefineCursor(s.display, x, s.blank);
    }
    XFlush(s.display);
}

bool CreateNativeWindow(Window* w)
{
    if (!D()) return false;
    auto* n = new XNative;
    n->visual = StartingVisual();
    if (!MakeXWindow(w, n)) {
        delete n;
        return false;
    }
    w->native = n;
    if (!w->parent || w->foreignParent) WatchEndingSignals();
    return true;
}

void DestroyNativeWindow(Window* w)
{
    XNative* n = N(w);
    if (!n) return;
    FreeXWindow(n, true);
    delete n;
    w->native = nullptr;
    if (!xs().lost) XFlush(xs().display);
}

// Showing a top-level window activates it, as on Windows.
void ShowNativeWindow(Window* w, bool show)
{
    XNative* n = N(w);
    if (!n || n->gone) return;
    Display* d = xs().display;
    if (!show) {
        XUnmapWindow(d, n->xwin);
        XFlush(d);
        return;
    }
    XMapRaised(d, n->xwin);
    XSync(d, False);
    if (IsTopLevel(w)) SetForeground(w);
}

void MoveNativeWindow(Window* w)
{
    XNative* n = N(w);
    if (!n || n->gone) return;
    XMoveResizeWindow(xs().display, n->xwin, w->x, w->y, (unsigned)std::max(w->width, 1),
                      (unsigned)std::max(w->height, 1));
    XFlush(xs().display);
}

void SetNativeTitle(Window* w)
{
    XNative* n = N(w);
    if (!n || n->gone) return;
    XStoreName(xs().display, n->xwin, w->title.c_str());
    XFlush(xs().display);
}

bool SetForeground(Window* w)
{
    XNative* n = N(w);
    if (!n || n->gone) return false;
    if (!IsMappedViewable(n->xwin)) {
        n->wantFocus = true;
        XRaiseWindow(xs().display, n->xwin);
        return true;
    }
    return Focus(n->xwin);
}

HWND GetForeground()
{
    if (!D()) return nullptr;
    XWin focus = 0;
    int revert = 0;
    XGetInputFocus(D(), &focus, &revert);
    if (focus == None || focus == PointerRoot) return nullptr;
    if (Window* w = FromXid(focus)) {
        while (w->parent && !w->foreignParent) w = FindWindowRecord(w->parent);
        return w->handle;
    }
    return (HWND)(uintptr_t)focus;
}

bool ForeignIsWindow(HWND hwnd)
{
    if (!FitsXid(hwnd) || !D()) return false;
    XWindowAttributes attrs{};
    Status ok = 0;
    return Trapped([&] { ok = XGetWindowAttributes(D(), ToXid(hwnd), &attrs); }) && ok;
}

bool ForeignClientRect(HWND hwnd, RECT* rc)
{
    if (!FitsXid(hwnd) || !D()) return false;
    XWindowAttributes attrs{};
    Status ok = 0;
    if (!Trapped([&] { ok = XGetWindowAttributes(D(), ToXid(hwnd), &attrs); }) || !ok) return false;
    *rc = RECT{0, 0, attrs.width, attrs.height};
    return true;
}

HWND ForeignParent(HWND hwnd)
{
    if (!FitsXid(hwnd) || !D()) return nullptr;
    XWin rootReturn = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    Status ok = 0;
    bool clean = Trapped([&] { ok = XQueryTree(D(), ToXid(hwnd), &rootReturn, &parent, &children, &count); });
    if (children) XFree(children);
    if (!clean || !ok || parent == xs().root) return nullptr;
    if (Window* w = FromXid(parent)) return w->handle;
    return (HWND)(uintptr_t)parent;
}

bool ForeignSetForeground(HWND hwnd)
{
    if (!FitsXid(hwnd) || !D()) return false;
    return Focus(ToXid(hwnd));
}

// A window of another process carries its class in WM_CLASS and its title
// in WM_NAME. Window managers put clients inside frames, hence the depth.
HWND FindForeignWindow(const char* className, const char* title)
{
    if (!D()) return nullptr;
    HWND found = nullptr;
    Trapped([&] { found = FindIn(ScreenXid(), className, title, 3); });
    return found;
}

// Reads what the server has sent; when nothing is pending, sleeps in poll()
// on the connection until an event or the timeout, so waiting costs no CPU.
void WaitForEvents(int timeoutMs)
{
    Display* d = D();
    if (!d) {
        bool destroyed = xs().lost && DestroyWindowsOfLostServer();
        if (!destroyed && timeoutMs != 0) PollDisplayAndSignals(-1, timeoutMs);
        return;
    }
    XFlush(d);
    if (!XPending(d) && timeoutMs != 0) PollDisplayAndSignals(ConnectionNumber(d), timeoutMs);
    while (!xs().lost && XPending(d)) {
        XEvent e;
        XNextEvent(d, &e);
        HandleEvent(e);
    }
    if (xs().lost) DestroyWindowsOfLostServer();
}

void PutImage(Window* w, int x, int y, int width, int height, const uint32_t* pixels, int stride)
{
    XNative* n = N(w);
    if (!n || n->gone) return;
    Display* d = xs().display;
    XImage* image = XCreateImage(d, n->visual.visual, (unsigned)n->visual.depth, ZPixmap, 0, nullptr,
                                 (unsigned)width, (unsigned)height, 32, 0);
    if (!image) return;
    image->data = static_cast<char*>(std::malloc((size_t)image->bytes_per_line * height));
    if (!image->data) {
        XDestroyImage(image);
        return;
    }
    for (int row = 0; row < height; row++)
        for (int col = 0; col < width; col++)
            XPutPixel(image, col, row, PixelValue(n->visual, pixels[(size_t)row * stride + col]));
    if (GC gc = GcOf(n)) XPutImage(d, n->xwin, gc, image, 0, 0, x, y, (unsigned)width, (unsigned)height);
    XDestroyImage(image);  // frees data too
    XFlush(d);
}

void FillRect(Window* w, const RECT& r, COLORREF colour)
{
    XNative* n = N(w);
    if (!n || n->gone) return;
    uint32_t rgb = (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
    GC gc = GcOf(n);
    if (!gc) return;  // Xlib could not allocate one: nothing is drawn
    XSetForeground(xs().display, gc, PixelValue(n->visual, rgb));
    XFillRectangle(xs().display, n->xwin, gc, r.left, r.top, (unsigned)(r.right - r.left),
                   (unsigned)(r.bottom - r.top));
    XFlush(xs().display);
}

bool IsPaletteDevice() { return false; }

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
    XSync(d, False);
    return true;
}

void* CreateContext(Window* w)
{
    XNative* n = N(w);
    if (!n || n->gone) return nullptr;
    GLXContext ctx = glXCreateContext(xs().display, &n->visual, nullptr, True);
    if (!ctx) ctx = glXCreateContext(xs().display, &n->visual, nullptr, False);
    return ctx;
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
    if (!n || n->gone) return false;
    glXSwapBuffers(xs().display, n->xwin);
    return true;
}

void Reset() {}

}  // namespace be
}  // namespace w32
