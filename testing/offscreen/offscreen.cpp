// The offscreen backend: a screen without a display for the tests. Windows
// exist only in the layer's core, GDI output lands in a pixel buffer per
// window and GL renders through OSMesa into a buffer the size of the window;
// SwapBuffers keeps a copy of what was presented.
#include "platform/posix/backend.h"
#include "platform/posix/sys_internal.h"
#include "testing/offscreen/offscreen_seams.h"
#include "testing/doubles/window_seams.h"

#include <GL/osmesa.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#if BRACKWOLD_LEAK_CHECKED
#include <sanitizer/lsan_interface.h>
#endif

namespace w32 {
namespace {

#if BRACKWOLD_LEAK_CHECKED
// OSMesa builds its per-process state with the first context and drops the
// last pointer to it in its own exit handler, so LeakSanitizer would blame
// every process that ever made a context. Leak-checked builds let a first,
// throwaway context build that state, before main, while leak tracking is
// off; every later context is tracked like any allocation, so one that is
// never destroyed is reported.
[[maybe_unused]] const bool mesaStateBuilt = [] {
    __lsan_disable();
    static unsigned char pixels[4 * 4 * 4];
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 8, 0, nullptr);
    if (context) {
        OSMesaMakeCurrent(context, pixels, GL_UNSIGNED_BYTE, 4, 4);
        OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
        OSMesaDestroyContext(context);
    }
    __lsan_enable();
    return context != nullptr;
}();
#endif

struct Foreign {
    int width, height;
    std::string className, title;
};

struct Surface {
    std::vector<uint32_t> gdi;          // 0x00RRGGBB, top-down
    std::vector<unsigned char> back;    // OSMesa RGBA, bottom-up
    int backWidth = 0, backHeight = 0;
    w32test::Picture presented;
    int presents = 0;
};

struct Offscreen {
    int screenWidth = 1024, screenHeight = 768;  // the primary monitor
    RECT virtualScreen{0, 0, 1024, 768};
    POINT cursor{0, 0};
    bool cursorVisible = true;
    std::map<HWND, Foreign> foreign;
    uintptr_t nextForeign = 0x200001;
    HWND foreground = nullptr;
    bool instantTimers = false;
    bool paletteDisplay = false;
    bool noPixelFormat = false;    // a display without a GL format
    bool pixelFormatRefused = false;
    bool contextRefused = false;      // no rendering context can be made
    bool makeCurrentRefused = false;
    OSMesaContext current = nullptr;
    Window* currentWindow = nullptr;
};

Offscreen& screen()
{
    static Offscreen s;
    return s;
}

Surface* SurfaceOf(Window* w)
{
    return w ? static_cast<Surface*>(w->native) : nullptr;
}

void ResizeSurface(Window* w)
{
    Surface* s = SurfaceOf(w);
    s->gdi.assign((size_t)w->width * w->height, 0);
}

bool Bind(Window* w, OSMesaContext ctx)
{
    Surface* s = SurfaceOf(w);
    int width = std::max(w->width, 1), height = std::max(w->height, 1);
    if (s->backWidth != width || s->backHeight != height) {
        s->back.assign((size_t)width * height * 4, 0);
        s->backWidth = width;
        s->backHeight = height;
    }
    return OSMesaMakeCurrent(ctx, s->back.data(), GL_UNSIGNED_BYTE, width, height);
}

PIXELFORMATDESCRIPTOR Format(int index)
{
    PIXELFORMATDESCRIPTOR p{};
    p.nSize = sizeof p;
    p.nVersion = 1;
    p.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | (index == 1 ? PFD_DOUBLEBUFFER : 0);
    p.iPixelType = PFD_TYPE_RGBA;
    if (index == 1 && screen().paletteDisplay) {
        p.dwFlags |= PFD_NEED_PALETTE;
        p.cColorBits = 8;
        p.cRedBits = 3, p.cRedShift = 0;
        p.cGreenBits = 3, p.cGreenShift = 3;
        p.cBlueBits = 2, p.cBlueShift = 6;
    } else {
        p.cColorBits = 32;
        p.cRedBits = 8, p.cRedShift = 16;
        p.cGreenBits = 8, p.cGreenShift = 8;
        p.cBlueBits = 8, p.cBlueShift = 0;
        p.cAlphaBits = 8, p.cAlphaShift = 24;
    }
    p.cDepthBits = 24;
    p.cStencilBits = 8;
    p.iLayerType = PFD_MAIN_PLANE;
    return p;
}

}  // namespace

namespace be {

bool UseWindowAsScreen(HWND) { return false; }  // no other clients here
void ToolkitStarted(void*) {}  // no X error handlers here
SIZE PrimaryMonitorSize() { return SIZE{screen().screenWidth, screen().screenHeight}; }
RECT VirtualScreen() { return screen().virtualScreen; }

bool GetCursorPos(POINT* pt)
{
    *pt = screen().cursor;
    return true;
}

void SetCursorVisible(bool visible) { screen().cursorVisible = visible; }

bool CreateNativeWindow(Window* w)
{
    if (w->foreignParent && !screen().foreign.count(w->parent)) return false;
    w->native = new Surface;
    ResizeSurface(w);
    return true;
}

void DestroyNativeWindow(Window* w)
{
    Offscreen& s = screen();
    if (s.currentWindow == w) {
        OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
        s.current = nullptr;
        s.currentWindow = nullptr;
    }
    if (s.foreground == w->handle) s.foreground = nullptr;
    delete SurfaceOf(w);
    w->native = nullptr;
}

void ShowNativeWindow(Window* w, bool show)
{
    // Showing a top-level window activates it, as on Windows.
    if (show && !w->parent) screen().foreground = w->handle;
}

void MoveNativeWindow(Window* w)
{
    Surface* s = SurfaceOf(w);
    if (s->gdi.size() != (size_t)w->width * w->height) ResizeSurface(w);
    // A GL drawable follows its window's size.
    if (screen().currentWindow == w) Bind(w, screen().current);
}

void SetNativeTitle(Window*) {}

bool SetForeground(Window* w)
{
    screen().foreground = w->handle;
    return true;
}

HWND GetForeground() { return screen().foreground; }

// The desktop is a window of another client that never goes.
const HWND desktop = (HWND)(uintptr_t)0x200000;
HWND DesktopWindow() { return desktop; }
bool ForeignIsWindow(HWND hwnd) { return hwnd == desktop || screen().foreign.count(hwnd) != 0; }
bool ForeignTakesInputOnly(HWND) { return false; }
bool NativeWindowAlive(Window*) { return true; }  // only the layer holds these windows

bool ForeignClientRect(HWND hwnd, RECT* rc)
{
    auto it = screen().foreign.find(hwnd);
    if (it == screen().foreign.end()) return false;
    *rc = RECT{0, 0, it->second.width, it->second.height};
    return true;
}

// Other clients' windows sit at the screen's origin here.
bool ForeignClientOrigin(HWND hwnd, POINT* origin)
{
    if (!ForeignIsWindow(hwnd)) return false;
    *origin = POINT{0, 0};
    return true;
}

HWND ForeignParent(HWND) { return nullptr; }

bool ForeignSetForeground(HWND hwnd)
{
    if (!ForeignIsWindow(hwnd)) return false;
    screen().foreground = hwnd;
    return true;
}

HWND FindForeignWindow(const char* className, const char* title)
{
    for (auto& [h, f] : screen().foreign) {
        if (className && !w32::EqualNoCase(f.className, className)) continue;
        if (title && !w32::EqualNoCase(f.title, title)) continue;
        return h;
    }
    return nullptr;
}

// Nothing ever arrives from outside, so a wait without a timer would last
// for ever: that is a test's mistake, reported rather than hung on.
void WaitForEvents(int timeoutMs)
{
    if (timeoutMs == 0) return;
    if (timeoutMs < 0) {
        std::fprintf(stderr, "offscreen layer: GetMessageA would wait for ever (no timer, no input)\n");
        std::abort();
    }
    if (screen().instantTimers)
        AdvanceClock((uint64_t)timeoutMs);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
}

void PutImage(Window* w, int x, int y, int width, int height, const uint32_t* pixels, int stride)
{
    Surface* s = SurfaceOf(w);
    for (int row = 0; row < height; row++)
        for (int col = 0; col < width; col++)
            s->gdi[(size_t)(y + row) * w->width + x + col] = pixels[(size_t)row * stride + col];
}

void FillRect(Window* w, const RECT& r, COLORREF colour)
{
    Surface* s = SurfaceOf(w);
    // COLORREF is 0x00BBGGRR; the surface holds 0x00RRGGBB.
    uint32_t pixel = (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
    for (LONG y = r.top; y < r.bottom; y++)
        for (LONG x = r.left; x < r.right; x++) s->gdi[(size_t)y * w->width + x] = pixel;
}

bool IsPaletteDevice() { return screen().paletteDisplay; }

int PixelFormatCount() { return screen().noPixelFormat ? 0 : 2; }

bool DescribePixelFormat(int format, PIXELFORMATDESCRIPTOR* pfd)
{
    if (format < 1 || format > PixelFormatCount()) return false;
    *pfd = Format(format);
    return true;
}

bool SetPixelFormat(Window*, int) { return !screen().pixelFormatRefused; }

void* CreateContext(Window*)
{
    if (screen().contextRefused) return nullptr;
    return OSMesaCreateContextExt(OSMESA_RGBA, 24, 8, 0, nullptr);
}

bool MakeCurrent(Window* w, void* context)
{
    Offscreen& s = screen();
    if (!w || !context) {
        OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
        s.current = nullptr;
        s.currentWindow = nullptr;
        return true;
    }
    if (s.makeCurrentRefused || !Bind(w, static_cast<OSMesaContext>(context))) return false;
    s.current = static_cast<OSMesaContext>(context);
    s.currentWindow = w;
    return true;
}

void DeleteContext(void* context)
{
    Offscreen& s = screen();
    if (s.current == context) MakeCurrent(nullptr, nullptr);
    OSMesaDestroyContext(static_cast<OSMesaContext>(context));
}

bool SwapBuffers(Window* w)
{
    Offscreen& s = screen();
    Surface* surface = SurfaceOf(w);
    if (s.currentWindow == w) glFinish();
    w32test::Picture& p = surface->presented;
    p.width = surface->backWidth;
    p.height = surface->backHeight;
    p.pixels.assign((size_t)p.width * p.height, 0);
    for (int y = 0; y < p.height; y++) {
        const unsigned char* src = &surface->back[(size_t)(p.height - 1 - y) * p.width * 4];
        for (int x = 0; x < p.width; x++, src += 4)
            p.pixels[(size_t)y * p.width + x] = (uint32_t)src[0] << 16 | (uint32_t)src[1] << 8 | src[2];
    }
    surface->presents++;
    return true;
}

}  // namespace be
}  // namespace w32

namespace w32test {

using w32::screen;

// Forgets the test-made screen state with the windows, keeping its size.
void ResetBackendState()
{
    w32::Offscreen& s = w32::screen();
    int width = s.screenWidth, height = s.screenHeight;
    RECT virtualScreen = s.virtualScreen;
    s = w32::Offscreen{};
    s.screenWidth = width;
    s.screenHeight = height;
    s.virtualScreen = virtualScreen;
}

void SetScreenSize(int width, int height)
{
    screen().screenWidth = width;
    screen().screenHeight = height;
    screen().virtualScreen = RECT{0, 0, width, height};
}

void SetVirtualScreen(const RECT& rect) { screen().virtualScreen = rect; }

void SetCursorPos(int x, int y) { screen().cursor = POINT{x, y}; }

bool IsCursorVisible() { return screen().cursorVisible; }

void InjectInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam, unsigned character)
{
    MSG msg{window, message, wParam, lParam, (DWORD)w32::NowMs(), screen().cursor};
    w32::QueueInput(msg, character);
}

HWND CreateForeignWindow(int width, int height, const char* className, const char* title)
{
    HWND h = (HWND)screen().nextForeign++;
    screen().foreign[h] = w32::Foreign{width, height, className ? className : "", title ? title : ""};
    return h;
}

void DestroyForeignWindow(HWND window)
{
    if (!screen().foreign.erase(window)) return;
    if (screen().foreground == window) screen().foreground = nullptr;
    std::vector<HWND> inside;
    for (w32::Window* w : w32::AllWindows())
        if (w->foreignParent && w->parent == window) inside.push_back(w->handle);
    for (HWND h : inside) DestroyWindow(h);
}

HWND LastForegroundWindow() { return screen().foreground; }

void SetInstantTimers(bool instant) { screen().instantTimers = instant; }

void SetPaletteDisplay(bool palette) { screen().paletteDisplay = palette; }

void FailChoosePixelFormat(bool fail) { screen().noPixelFormat = fail; }

void FailSetPixelFormat(bool fail) { screen().pixelFormatRefused = fail; }

void FailCreateContext(bool fail) { screen().contextRefused = fail; }

void FailMakeCurrent(bool fail) { screen().makeCurrentRefused = fail; }

bool ReadPresentedFrame(HWND window, Picture* out)
{
    w32::Surface* s = w32::SurfaceOf(w32::FindWindowRecord(window));
    if (!s || !s->presents) return false;
    *out = s->presented;
    return true;
}

bool ReadWindowPixels(HWND window, Picture* out)
{
    w32::Window* w = w32::FindWindowRecord(window);
    w32::Surface* s = w32::SurfaceOf(w);
    if (!s) return false;
    out->width = w->width;
    out->height = w->height;
    out->pixels = s->gdi;
    return true;
}

int PresentCount(HWND window)
{
    w32::Surface* s = w32::SurfaceOf(w32::FindWindowRecord(window));
    return s ? s->presents : 0;
}

}  // namespace w32test
