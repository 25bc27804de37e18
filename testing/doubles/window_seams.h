// Test seams of the windowing core (testing/doubles/, which the program
// does not link). Tests use them to reach failure paths the display would not
// produce on demand.
#pragma once
#include "platform/win32.h"

namespace w32test {

// While set, ChoosePixelFormat returns 0 / SetPixelFormat returns FALSE.
void FailChoosePixelFormat(bool fail);
void FailSetPixelFormat(bool fail);

// Destroys every remaining window without sending it messages, kills all
// timers, empties the queue, drops the quit request, frees GDI objects and
// GL contexts and shows the pointer again. Registered classes stay, as they
// would for the rest of a process.
void ResetWindowing();

// Forgets every registered class as well.
void UnregisterAllClasses();

// The backend's own test state, forgotten by ResetWindowing: the offscreen
// backend sets it; the X11 backend keeps none.
extern void (*resetBackendHook)();

// Makes a bitmap from a whole .bmp file in memory, as LoadBitmapA does from
// a resource; null when the data is not a bitmap it can read.
HBITMAP LoadBitmapFromMemory(const unsigned char* data, size_t size);

}  // namespace w32test
