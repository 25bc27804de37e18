// The X11 backend's connection: the display opened on first use, X errors
// (expected ones trapped, any other reported), a server that goes away
// under us, and the wait for events or an ending signal.
#include "platform/posix/x11/x11_internal.h"
#include "platform/posix/signals.h"

#include <poll.h>

#include <cstdio>

namespace w32 {
namespace x11 {
namespace {

// The handler that was in force before ours (GTK's, once it has started):
// errors of a connection that is not ours go to it, so its traps still work.
XErrorHandler othersErrors = nullptr;

void ReportError(Display* d, const XErrorEvent& e)
{
    char text[128] = "";
    XGetErrorText(d, e.error_code, text, sizeof text);
    std::fprintf(stderr, "X error: %s (error %d, request %d.%d, resource 0x%lx)\n", text, e.error_code,
                 e.request_code, e.minor_code, e.resourceid);
}

// Inside Trapped, X errors are expected (a foreign window can vanish
// between two calls) and only recorded. Any other is a fault of ours: it is
// reported on stderr, and neither case ends the process. But a window we
// draw on may go at any moment with the window it lives in (a daemon's, a
// preview's host), and what we sent it before its DestroyNotify arrives
// fails: an error about a window or drawable is held, and reported at the
// next wait only if that window is still there. A window that is gone is
// the ordinary end of a hack.
int RecordError(Display* d, XErrorEvent* e)
{
    if (d != xs().display && othersErrors)
        return othersErrors(d, e);
    if (xs().trapDepth > 0) {
        xs().lastError = e->error_code;
        return 0;
    }
    if (e->error_code == BadWindow || e->error_code == BadDrawable)
        xs().heldErrors.push_back(*e);
    else
        ReportError(d, *e);
    return 0;
}

void ReportHeldErrorsOfLiveWindows(Display* d)
{
    std::vector<XErrorEvent> held;
    held.swap(xs().heldErrors);
    for (const XErrorEvent& e : held) {
        XWin root = 0;
        int x = 0, y = 0;
        unsigned width = 0, height = 0, border = 0, depth = 0;
        if (Trapped([&] { XGetGeometry(d, e.resourceid, &root, &x, &y, &width, &height, &border, &depth); }))
            ReportError(d, e);
    }
}

// The server went away ------------------------------------------------------
// Xlib's default ends the process with exit(), which runs static destructors
// under a playing audio thread, and GTK's ends it at once. Instead the link
// is marked lost, Xlib is asked not to exit, the modal loops of GTK are
// ended, and the next wait destroys our windows as the server would have:
// WM_DESTROY, the quit message, the usual way out. Whichever connection
// notices first (ours or GTK's), it is the same server.

int OnServerLost(Display*)
{
    xs().lost = true;
    RequestEndOfModalLoops();
    return 0;
}

void StayAfterServerLost(Display*, void*) {}

// Both handlers are process-wide; the exit handler belongs to one connection.
void InstallErrorHandlers(Display* d)
{
    XErrorHandler previous = XSetErrorHandler(RecordError);
    if (previous != RecordError)
        othersErrors = previous;
    XSetIOErrorHandler(OnServerLost);
    XSetIOErrorExitHandler(d, StayAfterServerLost, nullptr);
}

// Waits until the display or an ending signal has something to say.
void PollDisplayAndSignals(int displayFd, int timeoutMs)
{
    pollfd p[2] = {{displayFd, POLLIN, 0}, {EndingSignalFd(), POLLIN, 0}};
    poll(p, 2, timeoutMs);  // a negative descriptor is skipped
}

}  // namespace

XState& xs()
{
    static XState s;
    return s;
}

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
    InstallErrorHandlers(s.display);
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

// True when there was a window left to destroy.
bool DestroyWindowsOfLostServer()
{
    std::vector<HWND> outermost = OutermostWindows();
    for (Window* w : AllWindows())
        if (XNative* n = N(w)) n->gone = true;
    xs().byXid.clear();
    for (HWND h : outermost) DestroyWindow(h);
    return !outermost.empty();
}

}  // namespace x11

namespace be {

using namespace x11;

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
    int raiseDue = RaiseCoveredWindows();
    if (raiseDue >= 0 && (timeoutMs < 0 || raiseDue < timeoutMs)) timeoutMs = raiseDue;
    XFlush(d);
    if (!XPending(d) && timeoutMs != 0) PollDisplayAndSignals(ConnectionNumber(d), timeoutMs);
    while (!xs().lost && XPending(d)) {
        XEvent e;
        XNextEvent(d, &e);
        HandleEvent(e);
    }
    if (xs().lost) DestroyWindowsOfLostServer();
    else if (!xs().heldErrors.empty()) ReportHeldErrorsOfLiveWindows(d);
}

void ToolkitStarted(void* xDisplay)
{
    if (xDisplay) InstallErrorHandlers(static_cast<Display*>(xDisplay));
}

}  // namespace be
}  // namespace w32
