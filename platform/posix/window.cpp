// Window classes, the window tree and its handles, geometry, foreground and
// cursor. Windows of other clients (a preview parent, a saver started by
// another process) are reached through the backend by their display id.
#include "platform/posix/backend.h"
#include "platform/posix/process.h"
#include "platform/posix/signals.h"
#include "platform/posix/sys_internal.h"

#include <algorithm>
#include <cstring>

namespace w32 {
namespace {

struct SystemImage {
    char unused;
};
SystemImage systemImages[16];


std::string LowerCase(const char* s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

std::shared_ptr<WindowClass> FindClass(LPCSTR name)
{
    auto& t = windowTable();
    if (IS_INTRESOURCE(name)) {
        for (auto& [key, cls] : t.classes)
            if (cls->atom == (ATOM)(uintptr_t)name) return cls;
        return nullptr;
    }
    auto it = t.classes.find(LowerCase(name));
    return it == t.classes.end() ? nullptr : it->second;
}

void SendSafely(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (FindWindowRecord(hwnd)) SendMessageA(hwnd, msg, wp, lp);
}

void SendDestroyTree(HWND hwnd)
{
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    Window* w = FindWindowRecord(hwnd);
    if (!w) return;
    std::vector<HWND> children = w->children;
    for (HWND child : children) {
        Window* c = FindWindowRecord(child);
        if (!c || c->destroying) continue;
        c->destroying = true;
        SendDestroyTree(child);
    }
}

HWND TopLevelOf(HWND hwnd)
{
    Window* w = FindWindowRecord(hwnd);
    while (w && !w->foreignParent && w->parent) {
        Window* p = FindWindowRecord(w->parent);
        if (!p) break;
        w = p;
    }
    return w ? w->handle : nullptr;
}

}  // namespace

// System icons and cursors are never drawn; each id gets one stable,
// non-null handle so that comparisons behave.
HANDLE SystemImageHandle(LPCSTR id)
{
    return &systemImages[(uintptr_t)id % 16];
}

WindowTable& windowTable()
{
    static WindowTable t;
    return t;
}

// Frees one window whose WM_DESTROY has been sent: children first, then the
// window itself, each getting WM_NCDESTROY last.
void FreeWindowTree(HWND hwnd, bool sendMessages)
{
    Window* w = FindWindowRecord(hwnd);
    if (!w) return;
    std::vector<HWND> children = w->children;
    for (HWND child : children) FreeWindowTree(child, sendMessages);
    w = FindWindowRecord(hwnd);
    if (!w) return;
    if (sendMessages) SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    w = FindWindowRecord(hwnd);
    if (!w) return;
    PurgeWindowMessages(hwnd);
    ForgetWindowGl(w);
    if (w->ownDc) FreeDc(w->ownDc);
    w->ownDc = nullptr;
    be::DestroyNativeWindow(w);
    if (Window* parent = w->foreignParent ? nullptr : FindWindowRecord(w->parent)) {
        auto& list = parent->children;
        list.erase(std::remove(list.begin(), list.end(), hwnd), list.end());
    }
    windowTable().windows.erase(hwnd);
}


Window* FindWindowRecord(HWND hwnd)
{
    if (!IsOwnHandleValue(hwnd)) return nullptr;
    auto& windows = windowTable().windows;
    auto it = windows.find(hwnd);
    return it == windows.end() ? nullptr : it->second.get();
}

bool IsDescendantOf(HWND child, HWND ancestor)
{
    Window* w = FindWindowRecord(child);
    while (w && !w->foreignParent && w->parent) {
        if (w->parent == ancestor) return true;
        w = FindWindowRecord(w->parent);
    }
    return false;
}

std::vector<Window*> AllWindows()
{
    std::vector<Window*> out;
    for (auto& [h, w] : windowTable().windows) out.push_back(w.get());
    return out;
}

std::vector<HWND> OutermostWindows()
{
    std::vector<HWND> out;
    for (auto& [h, w] : windowTable().windows)
        if ((!w->parent || w->foreignParent) && !w->destroying) out.push_back(h);
    return out;
}

}  // namespace w32

using namespace w32;

extern "C" {

ATOM WINAPI RegisterClassA(const WNDCLASSA* wc)
{
    if (!wc || !wc->lpfnWndProc || !wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName)) return 0;
    auto& t = windowTable();
    std::string key = LowerCase(wc->lpszClassName);
    if (key.empty() || t.classes.count(key)) return 0;  // already registered, as Win32 refuses it
    auto cls = std::make_shared<WindowClass>();
    cls->name = wc->lpszClassName;
    cls->wc = *wc;
    cls->wc.lpszClassName = cls->name.c_str();
    cls->wc.lpszMenuName = nullptr;  // menus are not supported; never keep a caller's pointer
    cls->atom = t.nextAtom++;
    t.classes[key] = cls;
    return cls->atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE)
{
    if (!lpClassName || IS_INTRESOURCE(lpClassName)) return FALSE;
    auto& t = windowTable();
    auto it = t.classes.find(LowerCase(lpClassName));
    if (it == t.classes.end()) return FALSE;
    for (Window* w : AllWindows())
        if (w->cls == it->second) return FALSE;  // still in use, as Win32 refuses it
    t.classes.erase(it);
    return TRUE;
}

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName)
{
    // Only the system's icons exist; the executable carries none.
    if (hInstance || !IS_INTRESOURCE(lpIconName)) return nullptr;
    return (HICON)SystemImageHandle(lpIconName);
}

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName)
{
    if (hInstance || !IS_INTRESOURCE(lpCursorName)) return nullptr;
    return (HCURSOR)SystemImageHandle(lpCursorName);
}

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                            int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam)
{
    auto cls = lpClassName ? FindClass(lpClassName) : nullptr;
    if (!cls) return nullptr;
    bool child = (dwStyle & WS_CHILD) != 0;
    if (child && !hWndParent) return nullptr;

    bool foreignParent = false;
    if (hWndParent) {
        Window* p = FindWindowRecord(hWndParent);
        if (p) {
            if (p->destroying) return nullptr;
        } else if (!IsOwnHandleValue(hWndParent) && be::ForeignIsWindow(hWndParent)) {
            foreignParent = true;
        } else {
            return nullptr;
        }
    }

    if (X == CW_USEDEFAULT) X = Y = 0;
    if (nWidth == CW_USEDEFAULT) {
        SIZE primary = be::PrimaryMonitorSize();
        nWidth = child ? 0 : primary.cx * 3 / 4;
        nHeight = child ? 0 : primary.cy * 3 / 4;
    }

    auto& t = windowTable();
    auto owned = std::make_unique<Window>();
    Window* w = owned.get();
    w->handle = (HWND)(uintptr_t)t.nextHandle++;
    w->cls = cls;
    w->proc = cls->wc.lpfnWndProc;
    w->style = dwStyle & ~WS_VISIBLE;  // visible only once shown, after WM_CREATE
    w->exStyle = dwExStyle;
    w->parent = hWndParent;
    w->foreignParent = foreignParent;
    w->title = lpWindowName ? lpWindowName : "";
    w->x = X;
    w->y = Y;
    w->width = std::max(nWidth, 0);
    w->height = std::max(nHeight, 0);
    HWND hwnd = w->handle;
    t.windows[hwnd] = std::move(owned);
    if (hWndParent && !foreignParent) FindWindowRecord(hWndParent)->children.push_back(hwnd);

    if (!be::CreateNativeWindow(w)) {
        FreeWindowTree(hwnd, false);
        return nullptr;
    }

    CREATESTRUCTA cs{lpParam, hInstance, hMenu, hWndParent, w->height, w->width, w->y, w->x,
                     (LONG)dwStyle, lpWindowName, cls->name.c_str(), dwExStyle};
    if (!SendMessageA(hwnd, WM_NCCREATE, 0, (LPARAM)&cs)) {
        FreeWindowTree(hwnd, false);
        return nullptr;
    }
    if (!FindWindowRecord(hwnd)) return nullptr;
    if (SendMessageA(hwnd, WM_CREATE, 0, (LPARAM)&cs) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!(w = FindWindowRecord(hwnd)) || w->destroying) return nullptr;

    SendSafely(hwnd, WM_SIZE, 0 /*SIZE_RESTORED*/, MAKELPARAM(w->width, w->height));
    if (!(w = FindWindowRecord(hwnd))) return nullptr;
    SendSafely(hwnd, WM_MOVE, 0, MAKELPARAM(w->x, w->y));
    if (!(w = FindWindowRecord(hwnd))) return nullptr;

    if (dwStyle & WS_VISIBLE) {
        SendSafely(hwnd, WM_SHOWWINDOW, TRUE, 0);
        if (!(w = FindWindowRecord(hwnd))) return nullptr;
        w->style |= WS_VISIBLE;
        w->visible = true;
        be::ShowNativeWindow(w, true);
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    return FindWindowRecord(hwnd) ? hwnd : nullptr;
}

BOOL WINAPI DestroyWindow(HWND hWnd)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w) return FALSE;
    if (w->destroying) return TRUE;  // asked again from inside its own WM_DESTROY
    w->destroying = true;
    if (w->visible) {
        w->visible = false;
        be::ShowNativeWindow(w, false);
    }
    SendDestroyTree(hWnd);
    FreeWindowTree(hWnd, true);
    return TRUE;
}

// One of ours that the display has destroyed with its host (or lost with
// the display) is no window any more, though its WM_DESTROY is still to come.
BOOL WINAPI IsWindow(HWND hWnd)
{
    if (!hWnd) return FALSE;
    if (IsOwnHandleValue(hWnd)) {
        Window* w = FindWindowRecord(hWnd);
        return w && be::NativeWindowAlive(w);
    }
    return be::ForeignIsWindow(hWnd);
}

HWND WINAPI GetDesktopWindow(void)
{
    return be::DesktopWindow();
}

HWND WINAPI GetParent(HWND hWnd)
{
    if (Window* w = FindWindowRecord(hWnd)) return w->parent;
    if (!hWnd || IsOwnHandleValue(hWnd)) return nullptr;
    return be::ForeignParent(hWnd);
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect)
{
    if (!lpRect) return FALSE;
    if (Window* w = FindWindowRecord(hWnd)) {
        *lpRect = RECT{0, 0, w->width, w->height};
        return TRUE;
    }
    if (!hWnd || IsOwnHandleValue(hWnd)) return FALSE;
    return be::ForeignClientRect(hWnd, lpRect);
}

// Moving without repaint leaves the parent's uncovered area alone, as on
// Windows; a size change still sends WM_SIZE.
BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w) return FALSE;
    nWidth = std::max(nWidth, 0);
    nHeight = std::max(nHeight, 0);
    bool moved = X != w->x || Y != w->y;
    bool resized = nWidth != w->width || nHeight != w->height;
    w->x = X;
    w->y = Y;
    w->width = nWidth;
    w->height = nHeight;
    if (moved || resized) be::MoveNativeWindow(w);
    if (resized) {
        if (w->updatePending) {
            RECT& r = w->updateRect;
            r.right = std::min(r.right, (LONG)nWidth);
            r.bottom = std::min(r.bottom, (LONG)nHeight);
        }
        SendSafely(hWnd, WM_SIZE, 0, MAKELPARAM(nWidth, nHeight));
    }
    if (moved) SendSafely(hWnd, WM_MOVE, 0, MAKELPARAM(X, Y));
    if (bRepaint && FindWindowRecord(hWnd)) InvalidateRect(hWnd, nullptr, TRUE);
    return TRUE;
}

// Searches our own top-level windows first, then those of other clients on
// the same display. Both names compare case-insensitively, as on Windows.
HWND WINAPI FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName)
{
    if (lpClassName && IS_INTRESOURCE(lpClassName)) return nullptr;  // atoms: not supported
    for (auto& [h, w] : windowTable().windows) {
        if (w->parent || w->destroying) continue;
        if (lpClassName && !w32::EqualNoCase(w->cls->name, lpClassName)) continue;
        if (lpWindowName && !w32::EqualNoCase(w->title, lpWindowName)) continue;
        return h;
    }
    return be::FindForeignWindow(lpClassName, lpWindowName);
}

BOOL WINAPI SetForegroundWindow(HWND hWnd)
{
    if (FindWindowRecord(hWnd)) return be::SetForeground(FindWindowRecord(TopLevelOf(hWnd)));
    if (!hWnd || IsOwnHandleValue(hWnd)) return FALSE;
    return be::ForeignSetForeground(hWnd);
}

HWND WINAPI GetForegroundWindow(void)
{
    return be::GetForeground();
}

// SM_CXSCREEN and SM_CYSCREEN are the primary monitor's size; the virtual
// screen covers every monitor.
int WINAPI GetSystemMetrics(int nIndex)
{
    switch (nIndex) {
    case SM_CXSCREEN: return be::PrimaryMonitorSize().cx;
    case SM_CYSCREEN: return be::PrimaryMonitorSize().cy;
    case SM_XVIRTUALSCREEN: return be::VirtualScreen().left;
    case SM_YVIRTUALSCREEN: return be::VirtualScreen().top;
    case SM_CXVIRTUALSCREEN: return be::VirtualScreen().right - be::VirtualScreen().left;
    case SM_CYVIRTUALSCREEN: return be::VirtualScreen().bottom - be::VirtualScreen().top;
    default: return 0;
    }
}

// Where a window's client area starts in screen coordinates. Our windows
// have no frames, so a client area starts where its window does; a
// top-level window's position is in screen coordinates already.
static bool ClientOriginOnScreen(HWND hwnd, POINT* origin)
{
    *origin = POINT{0, 0};
    for (Window* w = FindWindowRecord(hwnd); w; w = FindWindowRecord(hwnd)) {
        origin->x += w->x;
        origin->y += w->y;
        if (!w->parent) return true;
        hwnd = w->parent;
        if (w->foreignParent) break;
    }
    POINT outer{0, 0};
    if (IsOwnHandleValue(hwnd) || !be::ForeignClientOrigin(hwnd, &outer)) return false;
    origin->x += outer.x;
    origin->y += outer.y;
    return true;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint)
{
    POINT origin;
    if (!lpPoint || !ClientOriginOnScreen(hWnd, &origin)) return FALSE;
    lpPoint->x -= origin.x;
    lpPoint->y -= origin.y;
    return TRUE;
}

HCURSOR WINAPI SetCursor(HCURSOR hCursor)
{
    auto& t = windowTable();
    HCURSOR previous = t.cursor;
    t.cursor = hCursor;
    be::SetCursorVisible(hCursor != nullptr);
    return previous;
}

BOOL WINAPI GetCursorPos(LPPOINT lpPoint)
{
    if (!lpPoint) return FALSE;
    return be::GetCursorPos(lpPoint);
}

}  // extern "C"

namespace w32 {

namespace {
bool hackMode = false;
}

bool UseWindowAsScreen(HWND window)
{
    // Before the connection to the display: a host may ask for a reset at
    // any time after it started us.
    WatchResetRequests();
    hackMode = be::UseWindowAsScreen(window);
    return hackMode;
}

bool HackMode()
{
    return hackMode;
}

bool TakesInputOnly(HWND window)
{
    return window && !IsOwnHandleValue(window) && be::ForeignTakesInputOnly(window);
}

}  // namespace w32
