// XScreenSaver's conventions are translated here, before the shell runs: a
// daemon's window becomes the screen the full-screen saver covers, and
// options become this run's settings. A shell switch is passed on as it
// is; the shell refuses some without a word (so does Windows' saver), and
// on Linux, where it is typed by hand, the user is told why.
#include "platform/posix/entry/start_process.h"
#include "platform/posix/entry/hack_options.h"
#include "platform/posix/entry/process.h"
#include "resources/resource_ids.h"
#include "shell/shell.h"

#include <unistd.h>

#include <string>
#include <vector>

namespace w32 {
namespace {

void Refuse(FILE* err, const std::string& why)
{
    fprintf(err, "brackwold: %s\n%s\n", why.c_str(), hackUsageLine);
}

ProcessStart StartHack(const char* program, const std::vector<std::string>& args, const char* xscreensaverWindow,
                       FILE* out, FILE* err)
{
    HackOptions options = ParseHackOptions(args, xscreensaverWindow);
    if (options.action == HackOptions::ShowHelp) {
        fputs(hackHelp, out);
        return {false, 0};
    }
    if (options.action == HackOptions::Fail) {
        Refuse(err, options.error);
        return {false, -1};
    }

    // The settings store reads this file and section (its string table).
    char file[13] = "", section[40] = "";
    LoadStringA(GetModuleHandleA(NULL), IDS_SETTINGS_FILE, file, sizeof file);
    LoadStringA(GetModuleHandleA(NULL), IDS_SETTINGS_SECTION, section, sizeof section);
    for (const auto& [key, value] : options.settings)
        OverrideProfileValue(file, section, key.c_str(), value.c_str());

    if (options.onWindow && !UseWindowAsScreen(options.window)) {
        if (options.window)
            fprintf(err, "brackwold: there is no window %#lx to draw on\n", (unsigned long)(uintptr_t)options.window);
        else
            fputs("brackwold: cannot reach the root window\n", err);
        return {false, -1};
    }
    // A daemon starts one instance per screen, all in the same second: the
    // process id (spread over the word by a multiplicative hash) tells them
    // apart. The full-screen options keep the plain clock seed.
    if (options.onWindow)
        seedSalt = (unsigned)getpid() * 2654435761u;
    showFrameRate = options.showFps;
    char fullScreen[] = "/s";
    char* shellArgs[] = {const_cast<char*>(program), fullScreen};
    SetProcessArguments(2, shellArgs);
    return {true, 0};
}

// The preview's window as the shell reads it: after blanks, through the
// shell's own parser.
HWND PreviewWindow(const char* text)
{
    while (*text == ' ')
        ++text;
    return ParseWindowHandle(text);
}

bool PasswordChangeExists()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

// What the shell's switch table will refuse in the command-line tail, in
// words; "" when it runs a mode. The switch is the first character that is
// not a blank, "-" or "/".
std::string ShellSwitchProblem(const char* tail)
{
    const char* p = tail;
    while (*p == ' ' || *p == '-' || *p == '/')
        ++p;
    switch (*p) {
    case '\0':
    case 's':
    case 'S':
    case 'c':
    case 'C':
        return "";
    case 'p':
    case 'P':
    case 'l':
    case 'L': {
        HWND window = PreviewWindow(p + 1);
        if (!window)
            return std::string("the preview needs the decimal id of a window to draw in: '") + tail + "'";
        if (!IsWindow(window))
            return "there is no window " + std::to_string((uintptr_t)window) + " for the preview";
        return "";
    }
    case 'a':
    case 'A':
        if (!PasswordChangeExists())
            return "the password change exists on Windows 95 and 98 only";
        return "";
    default:
        return std::string("unknown switch '") + tail + "'";
    }
}

}  // namespace

ProcessStart StartProcess(int argc, char** argv, const char* xscreensaverWindow, FILE* out, FILE* err)
{
    SetProcessArguments(argc, argv);
    std::vector<std::string> args;
    for (int i = 1; i < argc && argv[i]; ++i)
        args.emplace_back(argv[i]);
    if (IsHackCommandLine(args))
        return StartHack(argc > 0 && argv[0] ? argv[0] : "brackwold", args, xscreensaverWindow, out, err);

    std::string problem = ShellSwitchProblem(CommandLineTail());
    if (!problem.empty())
        Refuse(err, problem);
    return {true, 0};
}

}  // namespace w32
