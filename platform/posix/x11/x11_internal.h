// What the X11/GLX backend's files share: the connection's state, the
// native record of each window, and the helpers that more than one concern
// calls. The connection and its errors live in x11_connection.cpp, the
// windows in x11_windows.cpp, the monitors in x11_monitors.cpp, input in
// x11_input.cpp and GLX in x11_glx.cpp.
#pragma once
#include "platform/posix/backend.h"
#include "platform/posix/sys_internal.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <functional>
#include <map>
#include <vector>

namespace w32 {
namespace x11 {

typedef ::Window XWin;

struct XNative {
    XWin xwin = 0;
    XVisualInfo visual{};
    Colormap colormap = 0;
    GC gc = nullptr;
    bool gone = false;       // the server destroyed it under us
    bool wantFocus = false;  // focus once it becomes viewable
    bool covered = false;    // a topmost window under another, to be raised in its turn
    std::chrono::steady_clock::time_point lastRaise{};
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
    int trapDepth = 0;      // inside Trapped: errors are expected and recorded
    std::vector<XErrorEvent> heldErrors;  // on windows that may have gone: see x11_connection.cpp
    bool lost = false;      // the connection to the server is gone
    XWin screenWindow = 0;  // hack mode: the window that stands in for the screen
    bool primaryKnown = false;
    RECT primary{};  // the primary monitor on the root window, found once per connection
    std::vector<XVisualInfo> formats;
    Atom wmProtocols = 0, wmDelete = 0, netState = 0, netAbove = 0, netFullscreen = 0, netPid = 0;
};

// Connection and errors (x11_connection.cpp) ---------------------------------

XState& xs();
// The display, opened on first use; null without a server or once it is lost.
Display* D();
// Runs f with errors recorded; true when it raised none.
bool Trapped(const std::function<void()>& f);
// Destroys our windows as a server that went away would have; true when
// there was a window left to destroy.
bool DestroyWindowsOfLostServer();

// Windows (x11_windows.cpp) ---------------------------------------------------

inline XNative* N(Window* w)
{
    return w ? static_cast<XNative*>(w->native) : nullptr;
}

// HWNDs of foreign windows are their X ids.
inline XWin ToXid(HWND hwnd)
{
    return (XWin)(uintptr_t)hwnd;
}

Window* FromXid(XWin x);
bool MakeXWindow(Window* w, XNative* n);
void FreeXWindow(XNative* n, bool destroy);
// Raises the window and, outside hack mode, gives it the focus.
bool Focus(XWin x);
// The window that stands in for the screen: the daemon's in hack mode, else
// the root window.
XWin ScreenXid();
// A topmost window covered (or no longer covered) by another: raised again
// at once, or when its turn comes (RaiseCoveredWindows).
void SetCovered(Window* w, bool covered);
// Raises the covered topmost windows whose turn has come; the milliseconds
// until the next turn, -1 when none waits.
int RaiseCoveredWindows();

// Monitors (x11_monitors.cpp) ---------------------------------------------------

// The primary monitor on the root window, looked up once per connection.
RECT PrimaryOnRoot(Display* d);
// Windows' screen coordinates start at the primary monitor's corner, X's
// root coordinates at the screen's.
POINT RootToScreen(int x, int y);

// Input (x11_input.cpp) ---------------------------------------------------------

void HandleEvent(XEvent& e);

// GLX (x11_glx.cpp) ---------------------------------------------------------------

// Fills xs().formats once the display is open.
void LoadFormats();
XVisualInfo StartingVisual();

}  // namespace x11
}  // namespace w32
