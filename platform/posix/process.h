// What the Linux process entry hands to the layer before WinMain runs.
#pragma once
#include "platform/win32.h"

namespace w32 {

// Keeps the process arguments; GetCommandLineA is built from them.
void SetProcessArguments(int argc, char** argv);

// The command line after the program name and the blanks that follow it:
// WinMain's lpCmdLine.
LPSTR CommandLineTail();

// Hack mode: another client's window (a screen-saver daemon's) stands in for
// the screen. Top-level windows become its children with its size, take no
// input and no focus, and end when it goes away. False when it is no window
// or one that takes input only (InputOnly: nothing can be drawn there).
bool UseWindowAsScreen(HWND window);

// Another client's window that takes input only (InputOnly): nothing of
// ours can be drawn inside it.
bool TakesInputOnly(HWND window);

}  // namespace w32
