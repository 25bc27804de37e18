// Update regions and the paint cycle. A window's update region is kept as
// its bounding rectangle, which is all the system ever asks of it.
#include "platform/posix/backend.h"

#include <algorithm>

namespace w32 {
namespace {

void AddToUpdate(Window* w, const RECT* rect, BOOL erase)
{
    RECT r{0, 0, w->width, w->height};
    if (rect) {
        r.left = std::max(r.left, rect->left);
        r.top = std::max(r.top, rect->top);
        r.right = std::min(r.right, rect->right);
        r.bottom = std::min(r.bottom, rect->bottom);
    }
    if (r.left >= r.right || r.top >= r.bottom) return;
    if (w->updatePending) {
        RECT& u = w->updateRect;
        u.left = std::min(u.left, r.left);
        u.top = std::min(u.top, r.top);
        u.right = std::max(u.right, r.right);
        u.bottom = std::max(u.bottom, r.bottom);
    } else {
        w->updateRect = r;
        w->updatePending = true;
    }
    if (erase) w->eraseRequested = true;
}

}  // namespace

bool ValidateWindow(Window* w)
{
    w->updatePending = false;
    w->updateRect = RECT{0, 0, 0, 0};
    return true;
}

}  // namespace w32

using namespace w32;

extern "C" {

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase)
{
    if (!hWnd) {
        // Without a window Windows repaints everything; ours is all we have.
        for (Window* w : AllWindows()) AddToUpdate(w, nullptr, TRUE);
        return TRUE;
    }
    Window* w = FindWindowRecord(hWnd);
    if (!w) return FALSE;
    AddToUpdate(w, lpRect, bErase);
    return TRUE;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w || !lpPaint) return nullptr;
    Dc* dc = CheckDc(GetDC(hWnd));
    if (!dc) return nullptr;
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = (HDC)dc;
    lpPaint->rcPaint = w->updatePending ? w->updateRect : RECT{0, 0, 0, 0};
    bool erase = w->eraseRequested;
    w->eraseRequested = false;
    ValidateWindow(w);
    dc->clipped = true;
    dc->clip = lpPaint->rcPaint;
    if (erase) lpPaint->fErase = !SendMessageA(hWnd, WM_ERASEBKGND, (WPARAM)dc, 0);
    return lpPaint->hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint)
{
    if (!lpPaint) return FALSE;
    Dc* dc = CheckDc(lpPaint->hdc);
    if (!dc) return TRUE;
    dc->clipped = false;
    if (!dc->owned) FreeDc(dc);
    (void)hWnd;
    return TRUE;
}

}  // extern "C"
