// The X11 backend's input: X events become the queued messages Windows
// would post (keys, buttons, the wheel, pointer motion, activation), Expose
// becomes an update region, and a window the server destroys under us (its
// foreign parent went away) gets WM_DESTROY as on Windows.
#include "platform/posix/x11/x11_internal.h"
#include "platform/posix/x11/x11_mappings.h"

namespace w32 {
namespace x11 {
namespace {

void Queue(HWND hwnd, UINT message, WPARAM wp, LPARAM lp, int rootX, int rootY, unsigned character = 0)
{
    MSG msg{hwnd, message, wp, lp, (DWORD)NowMs(), RootToScreen(rootX, rootY)};
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
        POINT at = RootToScreen(e.x_root, e.y_root);  // the wheel's lParam is in screen coordinates
        Queue(w->handle, message, wp, MAKELPARAM(at.x, at.y), e.x_root, e.y_root);
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

}  // namespace

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
        if (w) SetCovered(w, e.xvisibility.state != VisibilityUnobscured);
        break;
    case ClientMessage:
        if (w && e.xclient.message_type == s.wmProtocols && (Atom)e.xclient.data.l[0] == s.wmDelete)
            Queue(w->handle, WM_SYSCOMMAND, SC_CLOSE, 0, 0, 0);
        break;
    default:
        break;
    }
}

}  // namespace x11

namespace be {

using namespace x11;

bool GetCursorPos(POINT* pt)
{
    if (!D()) return false;
    XWin rootReturn, child;
    int rx = 0, ry = 0, wx, wy;
    unsigned mask;
    XQueryPointer(D(), xs().root, &rootReturn, &child, &rx, &ry, &wx, &wy, &mask);
    *pt = RootToScreen(rx, ry);
    return true;
}

}  // namespace be
}  // namespace w32
