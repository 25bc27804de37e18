// Test seams of the offscreen backend: a screen without a display, whose
// windows exist only in the layer and whose GL renders through OSMesa.
#pragma once
#include "platform/win32.h"

#include <cstdint>
#include <vector>

namespace w32test {

// One monitor of this size (1024 x 768 until changed).
void SetScreenSize(int width, int height);
// Several monitors: the virtual screen that covers them all, in screen
// coordinates where the primary monitor (of SetScreenSize's size) starts
// at (0, 0).
void SetVirtualScreen(const RECT& rect);
// Where GetCursorPos finds the pointer (screen coordinates).
void SetCursorPos(int x, int y);
// False after SetCursor(NULL), true after any cursor is set.
bool IsCursorVisible();

// Queues an input message for a window as the display would deliver it:
// after posted messages, before paint and timers. character is what
// TranslateMessage makes of a key press (0 for none).
void InjectInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam, unsigned character = 0);

// A window of "another client" (a control panel's preview area, a saver of
// another process). The handle is a small number, like a display's window
// id. Destroying it destroys our windows inside it, as the display would.
HWND CreateForeignWindow(int width, int height, const char* className = nullptr, const char* title = nullptr);
void DestroyForeignWindow(HWND window);
// The window SetForegroundWindow last brought forward (ours or foreign).
HWND LastForegroundWindow();

// When set, a wait for the next timer returns at once and moves the layer's
// timer clock forward instead of sleeping.
void SetInstantTimers(bool instant);

// Reports a palette display: the first pixel format becomes an 8-bit RGBA
// format with 3-3-2 red, green, blue bits (shifts 0, 3, 6) that needs a
// palette, and the system palette has 256 entries.
void SetPaletteDisplay(bool palette);

// While set, ChoosePixelFormat returns 0 (the display has no GL format) /
// SetPixelFormat returns FALSE for a window without a format.
void FailChoosePixelFormat(bool fail);
void FailSetPixelFormat(bool fail);
// While set, wglCreateContext returns NULL / wglMakeCurrent returns FALSE
// for a context (as GLX without direct rendering does).
void FailCreateContext(bool fail);
void FailMakeCurrent(bool fail);

// A picture of a window: width x height pixels 0x00RRGGBB, row 0 at the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[(size_t)y * width + x]; }
};
// The last frame SwapBuffers presented in a GL window; false before any.
bool ReadPresentedFrame(HWND window, Picture* out);
// What GDI drew into a window (erased background and blits).
bool ReadWindowPixels(HWND window, Picture* out);
// Number of SwapBuffers calls on the window so far.
int PresentCount(HWND window);

}  // namespace w32test
