// The process entry on arbitrary arguments: the command-line walk, the
// switch table and whatever mode it picks, through the shell's seams. A
// host window for previews exists (its handle is in the seeds); a saver or
// preview that starts is closed after a few frames, as a user would.
// Every run must end through ExitProcess with 0 or -1, leave no window of
// ours behind and leave the running flag clear.
#include "platform/posix/offscreen/offscreen_seams.h"
#include "platform/posix/sys_seams.h"
#include "platform/posix/window_seams.h"
#include "shell/shell.h"
#include "stage/scene_state.h"
#include "stage/stage.h"
#include "tests/shell/shell_reset.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct ProcessExit {
    UINT code;
};

int framesLeft;

// Read once as the stage starts and once per frame.
LONGLONG CloseAfterAFewFrames()
{
    static LONGLONG ticks;
    ++ticks;
    if (--framesLeft == 0 && saverWindow)
        PostMessageA(saverWindow, WM_CLOSE, 0, 0);
    return ticks * 33000000;
}

void StartAsAFreshProcess()
{
    ResetShellState();
    framesLeft = 3;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static char config[] = "/dev/shm/brkw-fuzz-shell-XXXXXX";
    if (!mkdtemp(config))
        abort();
    setenv("XDG_CONFIG_HOME", config, 1);
    unsetenv("DISPLAY");
    w32test::SetInstantTimers(true);
    w32test::SuppressMessageBoxes(true);
    w32test::SetSoundOutcome(w32test::SoundOutcome::Fail);
    w32test::SetExitProcessHook([](UINT code) { throw ProcessExit{code}; });
    w32test::SetPerformanceCounter(CloseAfterAFewFrames);
    return 0;
}

// The input is the arguments after the program name, split at NUL bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> argv = {"brackwold.scr"};
    std::string text(reinterpret_cast<const char*>(data), size);
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('\0', start);
        if (end == std::string::npos)
            end = text.size();
        argv.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    StartAsAFreshProcess();
    HWND host = w32test::CreateForeignWindow(160, 120);
    w32test::SetProcessArguments(argv);
    w32test::ClearMessageBoxCalls();

    UINT code = 12345;
    try {
        ShellEntry();
    } catch (const ProcessExit& exit) {
        code = exit.code;
    }
    if (code != 0 && code != (UINT)-1)
        abort();
    if (w32test::ScreenSaverRunning() || stageWindow != NULL ||
        FindWindowA("WindowsScreenSaverClass", NULL) != NULL)
        abort();
    w32test::DestroyForeignWindow(host);
    return 0;
}
