// The X11 backend's monitors: which part of the X screen is the primary
// monitor (RandR's primary output, else Xinerama's first head, else the
// whole screen), and the virtual screen and the primary in Windows' screen
// coordinates.
#include "platform/posix/x11/x11_internal.h"

#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

namespace w32 {
namespace x11 {
namespace {

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

// Windows puts the primary monitor at the origin of its screen coordinates
// and reaches the others through negative ones where they lie left of or
// above it; X measures everything from the root window's corner. The
// primary is looked up once per connection: a monitor plugged in while the
// saver runs is not seen until the next run.

RECT Rect(int x, int y, unsigned width, unsigned height)
{
    return RECT{x, y, x + (LONG)width, y + (LONG)height};
}

// RandR 1.3 names a primary output; none may be set.
bool RandrPrimary(Display* d, RECT* out)
{
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(d, &event, &error) || !XRRQueryVersion(d, &major, &minor)) return false;
    if (major < 1 || (major == 1 && minor < 3)) return false;
    bool found = false;
    Trapped([&] {
        RROutput primary = XRRGetOutputPrimary(d, xs().root);
        XRRScreenResources* resources = primary ? XRRGetScreenResourcesCurrent(d, xs().root) : nullptr;
        if (!resources) return;
        if (XRROutputInfo* output = XRRGetOutputInfo(d, resources, primary)) {
            XRRCrtcInfo* crtc = output->crtc ? XRRGetCrtcInfo(d, resources, output->crtc) : nullptr;
            if (crtc && crtc->width > 0 && crtc->height > 0) {
                *out = Rect(crtc->x, crtc->y, crtc->width, crtc->height);
                found = true;
            }
            if (crtc) XRRFreeCrtcInfo(crtc);
            XRRFreeOutputInfo(output);
        }
        XRRFreeScreenResources(resources);
    });
    return found;
}

bool XineramaFirstHead(Display* d, RECT* out)
{
    int event = 0, error = 0;
    if (!XineramaQueryExtension(d, &event, &error) || !XineramaIsActive(d)) return false;
    int count = 0;
    XineramaScreenInfo* heads = XineramaQueryScreens(d, &count);
    bool found = heads && count > 0 && heads[0].width > 0 && heads[0].height > 0;
    if (found) *out = Rect(heads[0].x_org, heads[0].y_org, (unsigned)heads[0].width, (unsigned)heads[0].height);
    if (heads) XFree(heads);
    return found;
}

// The screen in Windows' screen coordinates: the virtual screen and the
// primary monitor. In hack mode the daemon's window is both.
bool ScreenLayout(RECT* virtualScreen, RECT* primary)
{
    int width = 0, height = 0;
    if (!ScreenSize(&width, &height)) return false;
    if (xs().screenWindow) {
        *virtualScreen = *primary = Rect(0, 0, (unsigned)width, (unsigned)height);
        return true;
    }
    RECT onRoot = PrimaryOnRoot(D());
    *virtualScreen = Rect(-onRoot.left, -onRoot.top, (unsigned)width, (unsigned)height);
    *primary = Rect(0, 0, (unsigned)(onRoot.right - onRoot.left), (unsigned)(onRoot.bottom - onRoot.top));
    return true;
}

}  // namespace

// RandR's primary output, else Xinerama's first head, else the whole
// screen; always inside the screen.
RECT PrimaryOnRoot(Display* d)
{
    XState& s = xs();
    if (s.primaryKnown) return s.primary;
    RECT whole = Rect(0, 0, (unsigned)DisplayWidth(d, s.screen), (unsigned)DisplayHeight(d, s.screen));
    RECT found{};
    if (!RandrPrimary(d, &found) && !XineramaFirstHead(d, &found)) found = whole;
    found.left = std::max(found.left, whole.left);
    found.top = std::max(found.top, whole.top);
    found.right = std::min(found.right, whole.right);
    found.bottom = std::min(found.bottom, whole.bottom);
    if (found.right <= found.left || found.bottom <= found.top) found = whole;
    s.primaryKnown = true;
    s.primary = found;
    return found;
}

POINT RootToScreen(int x, int y)
{
    if (xs().screenWindow || !D()) return POINT{x, y};
    RECT onRoot = PrimaryOnRoot(D());
    return POINT{x - onRoot.left, y - onRoot.top};
}

}  // namespace x11

namespace be {

using namespace x11;

SIZE PrimaryMonitorSize()
{
    RECT virtualScreen{}, primary{};
    if (!ScreenLayout(&virtualScreen, &primary)) return SIZE{0, 0};
    return SIZE{primary.right - primary.left, primary.bottom - primary.top};
}

RECT VirtualScreen()
{
    RECT virtualScreen{}, primary{};
    return ScreenLayout(&virtualScreen, &primary) ? virtualScreen : RECT{0, 0, 0, 0};
}

}  // namespace be
}  // namespace w32
