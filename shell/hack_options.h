// XScreenSaver's command-line conventions, read at the Linux process entry
// and translated into what the shell understands: a window that stands in
// for the screen, settings that override the file for one run, and the
// full-screen switch.
#pragma once
#include "platform/win32.h"

#include <stdio.h>

#include <string>
#include <utility>
#include <vector>

struct HackOptions {
    enum Action { RunSaver, ShowHelp, Fail } action = RunSaver;
    bool onWindow = false;  // --root or --window-id: draw on another client's window
    bool showFps = false;   // --fps: the frame-rate display
    HWND window = NULL;     // that window; NULL with --root means the root window
    std::vector<std::pair<int, int>> settings;  // settingTable row, value
    std::string error;      // for Fail
};

// True when the argument is one of ours rather than a shell switch: it
// starts with "--" or is one of our option names behind a single "-".
bool IsHackOption(const std::string& arg);

// Options and switches do not combine: the shell would run its switch and
// never look at an option, and the options have no place for a switch. The
// refusal of a line with both names its switch and its first option, so
// both orders read the same.
std::string SwitchWithOptionsProblem(const std::string& shellSwitch, const std::string& firstOption);

// Reads XScreenSaver-style arguments. An argument where an option should
// stand that is no option is the shell's, and is refused with the options. xscreensaverWindow is the value of
// $XSCREENSAVER_WINDOW, or NULL when it is not set.
HackOptions ParseHackOptions(const std::vector<std::string>& args, const char* xscreensaverWindow);

void PrintHackUsage(FILE* out);
void PrintHackHelp(FILE* out);
