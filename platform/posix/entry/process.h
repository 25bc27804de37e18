// What the Linux process entry hands to the layer before WinMain runs.
#pragma once
#include "platform/win32.h"

namespace w32 {

// Keeps the process arguments; GetCommandLineA is built from them.
void SetProcessArguments(int argc, char** argv);

// The command line after the program name and the blanks that follow it:
// WinMain's lpCmdLine.
LPSTR CommandLineTail();

}  // namespace w32
