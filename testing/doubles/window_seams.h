// Test seams of the windowing core (testing/doubles/, which the program
// does not link): a clean slate between tests, and bitmaps from memory.
#pragma once
#include "platform/win32.h"

namespace w32test {

// Destroys every remaining window without sending it messages, kills all
// timers, empties the queue, drops the quit request, frees GDI objects and
// GL contexts and shows the pointer again. Registered classes stay, as they
// would for the rest of a process.
void ResetWindowing();

// Forgets every registered class as well.
void UnregisterAllClasses();

// Forgets the backend's own test state; ResetWindowing calls it. The
// offscreen backend defines it; for the X11 backend, which keeps none,
// x11_backend_state.cpp does.
void ResetBackendState();

// Makes a bitmap from a whole .bmp file in memory, as LoadBitmapA does from
// a resource; null when the data is not a bitmap it can read.
HBITMAP LoadBitmapFromMemory(const unsigned char* data, size_t size);

}  // namespace w32test
