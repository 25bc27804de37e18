// The Linux process entry up to the shell, apart from main() so that tests
// and the fuzzer can run it on any arguments: it reads the command line and
// $XSCREENSAVER_WINDOW, decides what runs, hands the layer what the options
// say and writes what the user should read.
#pragma once
#include <stdio.h>

struct ProcessStart {
    bool runShell;  // true: WinMain runs next, on the command line as it now stands
    int exitCode;   // otherwise the process ends with this
};

// argv as main() has it; xscreensaverWindow is the variable's value, NULL
// when unset. The help goes to out, every complaint to err.
//
// XScreenSaver's options become this run's settings and, with --root or
// --window-id, the window that stands in for the screen; the shell then
// sees "/s". The shell's own switches pass as they are; where the shell
// will refuse one (exiting with -1 and showing nothing, as on Windows),
// err says why. Options and switches do not combine: a line with both is
// refused, in either order.
ProcessStart StartProcess(int argc, char** argv, const char* xscreensaverWindow, FILE* out, FILE* err);
