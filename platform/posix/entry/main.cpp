// The Linux process entry: hands over to WinMain as the Windows runtime's
// start-up code would. XScreenSaver's conventions are translated here,
// before the shell runs: a daemon's window becomes the screen the
// full-screen saver covers, and options become this run's settings.
#include "platform/posix/entry/hack_options.h"
#include "platform/posix/entry/process.h"
#include "shell/shell.h"

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

enum { FileStringId = 1001, SectionStringId = 1007 };

int RunShell()
{
    return WinMain(GetModuleHandleA(NULL), NULL, w32::CommandLineTail(), SW_SHOWNORMAL);
}

int RunHack(char* program, const std::vector<std::string>& args)
{
    w32::HackOptions options = w32::ParseHackOptions(args, getenv("XSCREENSAVER_WINDOW"));
    if (options.action == w32::HackOptions::ShowHelp) {
        fputs(w32::hackHelp, stdout);
        return 0;
    }
    if (options.action == w32::HackOptions::Fail) {
        fprintf(stderr, "brackwold: %s\n%s\n", options.error.c_str(), w32::hackUsageLine);
        return -1;
    }

    // The settings store reads this file and section (its string table).
    char file[13] = "", section[40] = "";
    LoadStringA(GetModuleHandleA(NULL), FileStringId, file, sizeof file);
    LoadStringA(GetModuleHandleA(NULL), SectionStringId, section, sizeof section);
    for (const auto& [key, value] : options.settings)
        w32::OverrideProfileValue(file, section, key.c_str(), value.c_str());

    if (options.onWindow && !w32::UseWindowAsScreen(options.window)) {
        if (options.window)
            fprintf(stderr, "brackwold: there is no window %#lx to draw on\n", (unsigned long)(uintptr_t)options.window);
        else
            fputs("brackwold: cannot reach the root window\n", stderr);
        return -1;
    }
    // A daemon starts one instance per screen, all in the same second: the
    // process id (spread over the word by a multiplicative hash) tells them
    // apart. The full-screen options keep the plain clock seed.
    if (options.onWindow)
        seedSalt = (unsigned)getpid() * 2654435761u;
    showFrameRate = options.showFps;
    char fullScreen[] = "/s";
    char* shellArgs[] = {program, fullScreen};
    w32::SetProcessArguments(2, shellArgs);
    return RunShell();
}

}  // namespace

int main(int argc, char** argv)
{
    w32::SetProcessArguments(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (w32::IsHackCommandLine(args))
        return RunHack(argv[0], args);
    // The shell ends with -1 on a switch it does not know; say what it knows.
    if (!w32::IsShellSwitch(w32::CommandLineTail()))
        fprintf(stderr, "%s\n", w32::hackUsageLine);
    return RunShell();
}
