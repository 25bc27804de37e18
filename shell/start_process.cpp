// XScreenSaver's conventions are translated here, before the shell runs: a
// daemon's window becomes the screen the full-screen saver covers, and
// options become this run's settings. A shell switch is passed on as it
// is; the shell refuses some without a word (so does Windows' saver), and
// on Linux, where it is typed by hand, the user is told why.
#include "shell/start_process.h"
#include "platform/posix/process.h"
#include "settings/settings.h"
#include "shell/hack_options.h"
#include "shell/shell.h"

#include <unistd.h>

#include <string>
#include <vector>

namespace {

void Refuse(FILE* err, const std::string& why)
{
    fprintf(err, "brackwold: %s\n", why.c_str());
    PrintHackUsage(err);
}

ProcessStart StartHack(const char* program, const std::vector<std::string>& args, const char* xscreensaverWindow,
                       FILE* out, FILE* err)
{
    HackOptions options = ParseHackOptions(args, xscreensaverWindow);
    if (options.action == HackOptions::ShowHelp) {
        PrintHackHelp(out);
        return {false, 0};
    }
    if (options.action == HackOptions::Fail) {
        Refuse(err, options.error);
        return {false, -1};
    }

    for (const auto& [setting, value] : options.settings)
        OverrideSetting(setting, value);

    if (options.onWindow && !w32::UseWindowAsScreen(options.window)) {
        // A window that exists and is still refused takes input only.
        if (options.window && IsWindow(options.window))
            fprintf(err, "brackwold: the window %#lx takes input only; there is nothing to draw on\n",
                    (unsigned long)(uintptr_t)options.window);
        else if (options.window)
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
    w32::SetProcessArguments(2, shellArgs);
    return {true, 0};
}

// What the shell will refuse in the command-line tail, in words; "" when it
// runs a mode.
std::string ShellSwitchProblem(LPSTR tail)
{
    LPSTR rest;
    RunModeSwitch mode = ReadRunModeSwitch(tail, &rest);
    switch (RefusalOfSwitch(mode, rest, IsWin9xPlatform())) {
    case PREVIEW_WITHOUT_HANDLE:
        return std::string("the preview needs the decimal id of a window to draw in: '") + tail + "'";
    case PREVIEW_WINDOW_MISSING:
        return "there is no window " + std::to_string((uintptr_t)ParseWindowHandle(rest)) + " for the preview";
    case PASSWORD_NOT_HERE: return "the password change exists on Windows 95 and 98 only";
    case SWITCH_NOT_KNOWN: return std::string("unknown switch '") + tail + "'";
    default: return "";
    }
}

}  // namespace

ProcessStart StartProcess(int argc, char** argv, const char* xscreensaverWindow, FILE* out, FILE* err)
{
    w32::SetProcessArguments(argc, argv);
    std::vector<std::string> args;
    for (int i = 1; i < argc && argv[i]; ++i)
        args.emplace_back(argv[i]);
    if (!args.empty() && IsHackOption(args[0]))
        return StartHack(argc > 0 && argv[0] ? argv[0] : "brackwold", args, xscreensaverWindow, out, err);

    for (size_t i = 1; i < args.size(); ++i) {
        if (IsHackOption(args[i])) {
            Refuse(err, SwitchWithOptionsProblem(args[0], args[i]));
            return {false, -1};
        }
    }
    std::string problem = ShellSwitchProblem(w32::CommandLineTail());
    if (!problem.empty())
        Refuse(err, problem);
    return {true, 0};
}
