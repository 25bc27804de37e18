// What the windowing core asks of a display backend. Exactly one backend is
// linked into a program: the X11/GLX one for the real saver, the offscreen
// one (no display, OSMesa GL) for the tests.
#pragma once
#include "platform/posix/layer_internal.h"

namespace w32::be {

// Screen and pointer, in Windows' screen coordinates: the primary monitor
// starts at (0, 0) and the virtual screen (every monitor) may reach left of
// or above it. In hack mode another client's window stands in for the
// screen and is its only monitor (false when that is no window, takes
// input only, or the backend has no others).
bool UseWindowAsScreen(HWND window);
SIZE PrimaryMonitorSize();
RECT VirtualScreen();
bool GetCursorPos(POINT* pt);
void SetCursorVisible(bool visible);

// Our windows. CreateNativeWindow runs before WM_NCCREATE, so the window can
// be drawn into from WM_CREATE on.
bool CreateNativeWindow(Window* w);
void DestroyNativeWindow(Window* w);
// False once the display has destroyed it (the window it lives in went, or
// the display itself), even before its WM_DESTROY has been sent.
bool NativeWindowAlive(Window* w);
void ShowNativeWindow(Window* w, bool show);
void MoveNativeWindow(Window* w);
void SetNativeTitle(Window* w);
bool SetForeground(Window* w);
HWND GetForeground();

// What stands for the desktop: the window that stands in for the screen;
// null once the display is gone.
HWND DesktopWindow();

// Windows of other clients, named by their display id.
bool ForeignIsWindow(HWND hwnd);
// It exists and takes input only: nothing can be drawn inside it.
bool ForeignTakesInputOnly(HWND hwnd);
bool ForeignClientRect(HWND hwnd, RECT* rc);
// Where its client area starts, in screen coordinates.
bool ForeignClientOrigin(HWND hwnd, POINT* origin);
HWND ForeignParent(HWND hwnd);
bool ForeignSetForeground(HWND hwnd);
HWND FindForeignWindow(const char* className, const char* title);

// Waits for display events up to timeoutMs (negative: no limit) and turns
// them into queued input, invalidations and destructions. Returns at once
// when events are already pending.
void WaitForEvents(int timeoutMs);

// GDI output into a window's client area. pixels are 0x00RRGGBB rows.
void PutImage(Window* w, int x, int y, int width, int height, const uint32_t* pixels, int stride);
void FillRect(Window* w, const RECT& r, COLORREF colour);
bool IsPaletteDevice();

// Pixel formats are numbered from 1.
int PixelFormatCount();
bool DescribePixelFormat(int format, PIXELFORMATDESCRIPTOR* pfd);
bool SetPixelFormat(Window* w, int format);

// GL contexts
void* CreateContext(Window* w);
bool MakeCurrent(Window* w, void* context);
void DeleteContext(void* context);
bool SwapBuffers(Window* w);

// GTK has started on xDisplay (its Xlib Display; null for none) and taken
// over the process-wide X error handlers: the backend takes them back.
void ToolkitStarted(void* xDisplay);

}  // namespace w32::be
