// XScreenSaver's command-line conventions, read at the Linux process entry
// and translated into what the shell understands: a window that stands in
// for the screen, settings that override the file for one run, and the
// full-screen switch.
#pragma once
#include "platform/win32.h"

#include <string>
#include <utility>
#include <vector>

namespace w32 {

struct HackOptions {
    enum Action { RunSaver, ShowHelp, Fail } action = RunSaver;
    bool onWindow = false;  // --root or --window-id: draw on another client's window
    bool showFps = false;   // --fps: the frame-rate display
    HWND window = NULL;     // that window; NULL with --root means the root window
    std::vector<std::pair<std::string, std::string>> settings;  // INI key, value
    std::string error;      // for Fail
};

// True when the arguments (without the program name) are in XScreenSaver's
// style rather than the shell's switches: the first one starts with "--" or
// is one of our option names behind a single "-".
bool IsHackCommandLine(const std::vector<std::string>& args);

// Reads XScreenSaver-style arguments. xscreensaverWindow is the value of
// $XSCREENSAVER_WINDOW, or NULL when it is not set.
HackOptions ParseHackOptions(const std::vector<std::string>& args, const char* xscreensaverWindow);

extern const char hackUsageLine[];
extern const char hackHelp[];

}  // namespace w32
