// The X11 backend's windows: each of our windows is a real X window
// (children are X subwindows) made with a GL-capable visual, foreign
// windows are looked at through their X ids, and in hack mode a screen-saver
// daemon's window stands in for the screen.
#include "platform/posix/x11/x11_internal.h"
#include "platform/posix/x11/x11_mappings.h"
#include "platform/posix/signals.h"

#include <X11/Xatom.h>
#include <unistd.h>

#include <cstdlib>

namespace w32 {
namespace x11 {
namespace {

constexpr long eventMask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                           PointerMotionMask | StructureNotifyMask | FocusChangeMask;

bool FitsXid(HWND hwnd)
{
    return hwnd && (uintptr_t)hwnd <= 0xFFFFFFFFu;
}

// False when the window does not exist (or has just gone).
bool ForeignAttributes(HWND hwnd, XWindowAttributes* attrs)
{
    if (!FitsXid(hwnd) || !D()) return false;
    Status ok = 0;
    return Trapped([&] { ok = XGetWindowAttributes(D(), ToXid(hwnd), attrs); }) && ok;
}

// Hack mode ------------------------------------------------------------------
// A screen-saver daemon's window stands in for the screen: our top-level
// windows become its children and take its size, they take neither input
// nor the focus, and looking for windows stays inside it.

constexpr long inputMask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                           PointerMotionMask | FocusChangeMask;

long EventMaskFor(Window* w)
{
    long mask = eventMask | (w->exStyle & WS_EX_TOPMOST ? VisibilityChangeMask : 0);
    return xs().screenWindow ? mask & ~inputMask : mask;
}

// Top-level windows sit in screen coordinates, the others in their parent's.
POINT PositionInParent(Window* w)
{
    if (w->parent || xs().screenWindow || !D()) return POINT{w->x, w->y};
    RECT onRoot = PrimaryOnRoot(D());
    return POINT{w->x + onRoot.left, w->y + onRoot.top};
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

bool IsMappedViewable(XWin x)
{
    XWindowAttributes attrs{};
    bool ok = Trapped([&] { XGetWindowAttributes(xs().display, x, &attrs); });
    return ok && attrs.map_state == IsViewable;
}

// Null when Xlib cannot allocate the GC; callers then draw nothing.
GC GcOf(XNative* n)
{
    if (!n->gc) n->gc = XCreateGC(xs().display, n->xwin, 0, nullptr);
    return n->gc;
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

}  // namespace

XWin ScreenXid()
{
    return xs().screenWindow ? xs().screenWindow : xs().root;
}

Window* FromXid(XWin x)
{
    auto it = xs().byXid.find(x);
    return it == xs().byXid.end() ? nullptr : FindWindowRecord(it->second);
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
    POINT at = PositionInParent(w);
    bool made = Trapped([&] {
        n->xwin = XCreateWindow(d, ParentXid(w), at.x, at.y, (unsigned)std::max(w->width, 1),
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
    if (xs().lost) n->colormap = 0, destroy = false;  // nothing left to free on the server
    // The GC is also Xlib's memory in this process: on a dead link XFreeGC
    // queues nothing and only frees that.
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

bool Focus(XWin x)
{
    Display* d = D();
    bool takeFocus = !xs().screenWindow;
    return Trapped([&] {
        XRaiseWindow(d, x);
        if (takeFocus) XSetInputFocus(d, x, RevertToParent, CurrentTime);
    });
}

// A topmost window does not stay under other windows, but it does not
// fight either: another window that raises itself whenever it is covered
// would otherwise trade places with us as fast as the server allows. So
// each topmost window raises itself at most a few times a second. (A full-
// screen window is override-redirect, outside any window manager's
// stacking, so keeping it above is ours to do.)
constexpr std::chrono::milliseconds raiseTurn{300};

void SetCovered(Window* w, bool covered)
{
    N(w)->covered = covered;
    if (covered) RaiseCoveredWindows();
}

int RaiseCoveredWindows()
{
    auto now = std::chrono::steady_clock::now();
    int wait = -1;
    for (auto& [x, h] : xs().byXid) {
        XNative* n = N(FindWindowRecord(h));
        if (!n || n->gone || !n->covered) continue;
        auto due = n->lastRaise + raiseTurn;
        if (now >= due) {
            XRaiseWindow(xs().display, x);
            n->lastRaise = now;
            n->covered = false;  // until the server says so again
        } else {
            int ms = (int)std::chrono::ceil<std::chrono::milliseconds>(due - now).count();
            if (wait < 0 || ms < wait) wait = ms;
        }
    }
    return wait;
}

}  // namespace x11

namespace be {

using namespace x11;

// NULL names the root window itself. An InputOnly window has no pixels:
// nothing of ours could be made inside it.
bool UseWindowAsScreen(HWND window)
{
    if (!window && D()) window = (HWND)(uintptr_t)xs().root;
    XWindowAttributes attrs{};
    if (!ForeignAttributes(window, &attrs) || attrs.c_class == InputOnly) return false;
    xs().screenWindow = ToXid(window);
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
    POINT at = PositionInParent(w);
    XMoveResizeWindow(xs().display, n->xwin, at.x, at.y, (unsigned)std::max(w->width, 1),
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
    XWindowAttributes attrs{};
    return ForeignAttributes(hwnd, &attrs);
}

bool ForeignClientRect(HWND hwnd, RECT* rc)
{
    XWindowAttributes attrs{};
    if (!ForeignAttributes(hwnd, &attrs)) return false;
    *rc = RECT{0, 0, attrs.width, attrs.height};
    return true;
}

bool ForeignClientOrigin(HWND hwnd, POINT* origin)
{
    if (!FitsXid(hwnd) || !D()) return false;
    int x = 0, y = 0;
    XWin child = 0;
    Bool same = False;
    if (!Trapped([&] { same = XTranslateCoordinates(D(), ToXid(hwnd), ScreenXid(), 0, 0, &x, &y, &child); }) ||
        !same)
        return false;
    *origin = RootToScreen(x, y);
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

}  // namespace be
}  // namespace w32
