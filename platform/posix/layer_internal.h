// Shared state of the layer's windowing core: the class registry, the window
// table, GDI objects and the message queue. Only the layer's own sources
// include this; the system sees nothing but platform/win32.h.
//
// Threads: the layer is called from the program's one thread, as a Win32
// program's windows belong to the thread that made them, so its state takes
// no locks. The only second thread is SDL's audio callback, and the only
// state it shares (the buffer it plays from) is changed under the audio
// device's lock (sound.cpp).
#pragma once
#include "platform/win32.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace w32 {

// Our own window handles live above 2^32 so they can never be mistaken for
// an X window id, which the system may hand us as a foreign HWND.
constexpr uint64_t ownHandleBase = 0x100000000ull;
inline bool IsOwnHandleValue(HWND hwnd) { return (uint64_t)(uintptr_t)hwnd >= ownHandleBase; }

struct WindowClass {
    std::string name;
    ATOM atom = 0;
    WNDCLASSA wc;
};

struct Dc;

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<WindowClass> cls;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;      // ours or foreign (an X window id)
    bool foreignParent = false;
    std::vector<HWND> children; // ours only, in creation order
    std::string title;
    int x = 0, y = 0, width = 0, height = 0;  // relative to the parent's client area
    bool visible = false;
    bool destroying = false;
    // The update region, kept as its bounding rectangle.
    bool updatePending = false;
    bool eraseRequested = false;
    RECT updateRect{};
    Dc* ownDc = nullptr;        // CS_OWNDC: the one DC of this window
    int pixelFormat = 0;
    void* native = nullptr;     // the backend's per-window data
};

// GDI objects: every handle points at one of these, and is checked against
// the live set before use so a stale or foreign handle is refused, not used.
enum class GdiKind { Dc, Bitmap, Brush, Palette, Font };

struct GdiObject {
    GdiKind kind;
    bool stock = false;
    int selectCount = 0;        // DCs that have it selected
    bool deletePending = false; // deleted while selected: freed when deselected
    explicit GdiObject(GdiKind k) : kind(k) {}
    virtual ~GdiObject() = default;
};

struct Bitmap : GdiObject {
    int width = 1, height = 1;
    std::vector<uint32_t> pixels;  // top-down rows, 0x00RRGGBB
    Bitmap() : GdiObject(GdiKind::Bitmap) {}
};

struct Brush : GdiObject {
    COLORREF colour = 0;
    bool hollow = false;
    Brush() : GdiObject(GdiKind::Brush) {}
};

struct Palette : GdiObject {
    std::vector<PALETTEENTRY> entries;
    Palette() : GdiObject(GdiKind::Palette) {}
};

// What CreateFontA asked for; TextOutA turns it into a font of the system's.
struct Font : GdiObject {
    int height = 0;             // < 0: character height, > 0: cell height, 0: default, pixels
    int weight = 0;             // FW_*
    bool italic = false;
    DWORD pitchAndFamily = 0;
    std::string face;
    Font() : GdiObject(GdiKind::Font) {}
};

struct Dc : GdiObject {
    HWND window = nullptr;      // window DC; null for memory and screen DCs
    bool memory = false;
    bool owned = false;         // the CS_OWNDC DC of its window
    Bitmap* bitmap = nullptr;   // memory DC: the selected bitmap
    Palette* palette = nullptr;
    Brush* brush = nullptr;
    Font* font = nullptr;       // null: the stock system font
    COLORREF textColour = 0x000000;
    COLORREF backColour = 0xFFFFFF;
    int backMode = OPAQUE;
    bool clipped = false;       // inside BeginPaint: drawing limited to clip
    RECT clip{};
    Dc() : GdiObject(GdiKind::Dc) {}
};

// Window table (window.cpp)
HANDLE SystemImageHandle(LPCSTR id);
struct WindowTable {
    std::map<std::string, std::shared_ptr<WindowClass>> classes;  // key: lower-case name
    ATOM nextAtom = 0xC000;
    std::map<HWND, std::unique_ptr<Window>> windows;  // handle order is creation order
    uint64_t nextHandle = ownHandleBase + 0x10;
    HCURSOR cursor = (HCURSOR)SystemImageHandle(IDC_ARROW);
};
WindowTable& windowTable();
// Frees one window whose WM_DESTROY has been sent: children first, then the
// window itself, each getting WM_NCDESTROY last when sendMessages is set.
void FreeWindowTree(HWND hwnd, bool sendMessages);
Window* FindWindowRecord(HWND hwnd);
bool IsDescendantOf(HWND child, HWND ancestor);
std::vector<Window*> AllWindows();
// Our windows with no parent of ours (top-level windows and children of
// other clients' windows), leaving out any being destroyed.
std::vector<HWND> OutermostWindows();
// True once another client's window (a screen-saver daemon's) stands in for
// the screen: nobody can answer a dialog of ours behind its lock.
bool HackMode();

// GDI (gdi.cpp)
Dc* CheckDc(HDC hdc);
Dc* CreateWindowDc(Window* w, bool owned);
void FreeDc(Dc* dc);
void FillWindowRect(Window* w, const RECT& r, Brush* brush);
Brush* CheckBrush(HBRUSH h);
void ResetGdi();
// Every GDI object is made by NewGdiObject and joins the live handles that
// calls check, until DeleteObject or ResetGdi frees it.
void AddGdiObject(GdiObject* obj);
template <class T> T* NewGdiObject()
{
    T* obj = new T;
    AddGdiObject(obj);
    return obj;
}
// Copies rows of 0x00RRGGBB pixels into a window or a memory DC's bitmap at
// (x, y), clipped to that surface.
bool PutPixels(Dc* dst, int x, int y, int cx, int cy, const uint32_t* pixels, int stride);
// Fonts and text (text.cpp): the font GetStockObject(SYSTEM_FONT) gives.
Font* StockFont();
// .bmp files (bitmap_file.cpp): a bitmap from a whole file in memory; null
// when it cannot be read.
HBITMAP BitmapFromBmp(const unsigned char* data, size_t size);

// Message queue (message.cpp)
uint64_t NowMs();
void AdvanceClock(uint64_t ms);
void QueueInput(const MSG& msg, unsigned character = 0);
void PurgeWindowMessages(HWND hwnd);
bool QuitPending();  // the loop is about to end
void ResetQueue();

// Paint (paint.cpp)
bool ValidateWindow(Window* w);

// WGL (wgl.cpp)
void ForgetWindowGl(Window* w);
void ResetGl();

}  // namespace w32
