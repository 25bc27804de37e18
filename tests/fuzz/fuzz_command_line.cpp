// The Linux process entry on arbitrary arguments and $XSCREENSAVER_WINDOW,
// as main() runs it: StartProcess, then the shell when it says so, through
// the shell's seams. A host window for previews exists (its handle is in
// the seeds); a saver or preview that starts is closed after a few frames,
// as a user would, and a dialog is cancelled.
//
// Every run must end with 0, 1 (a dialog) or -1; the entry writes to its
// error stream exactly when the process ends with -1 (nothing is refused
// without a word), and to its output only for the help; no window of ours
// is left behind and the running flag is clear.
#include "testing/doubles/dialog_seams.h"
#include "shell/start_process.h"
#include "testing/offscreen/offscreen_seams.h"
#include "testing/doubles/sys_seams.h"
#include "testing/doubles/window_seams.h"
#include "settings/settings.h"
#include "shell/shell.h"
#include "stage/scene_state.h"
#include "stage/stage.h"
#include "tests/shell/shell_reset.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
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
    ClearSettingOverrides();
    framesLeft = 3;
}

// What the entry wrote to one of its streams.
struct Capture {
    char* text = nullptr;
    size_t size = 0;
    FILE* file = open_memstream(&text, &size);
    size_t Close()
    {
        fclose(file);
        free(text);
        return size;
    }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static char config[] = "/dev/shm/brkw-fuzz-shell-XXXXXX";
    if (!mkdtemp(config))
        abort();
    atexit([] { std::filesystem::remove_all(config); });
    setenv("XDG_CONFIG_HOME", config, 1);
    unsetenv("DISPLAY");
    w32test::SetInstantTimers(true);
    w32test::SuppressMessageBoxes(true);
    w32test::SetSoundOutcome(w32test::SoundOutcome::Fail);
    w32test::SetExitProcessHook([](UINT code) { throw ProcessExit{code}; });
    w32test::ScriptDialogs([](HWND dialog, HWND) { EndDialog(dialog, 1); });
    w32test::SetPerformanceCounter(CloseAfterAFewFrames);
    return 0;
}

// The input is split at NUL bytes: the arguments after the program name,
// except that a first field starting with "=" is $XSCREENSAVER_WINDOW (the
// rest of it) rather than an argument; without one the variable is unset.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> fields;
    std::string text(reinterpret_cast<const char*>(data), size);
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('\0', start);
        if (end == std::string::npos)
            end = text.size();
        fields.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::string window;
    bool windowSet = fields[0].compare(0, 1, "=") == 0;
    if (windowSet) {
        window = fields[0].substr(1);
        fields.erase(fields.begin());
    }
    std::vector<std::string> argv = {"brackwold"};
    argv.insert(argv.end(), fields.begin(), fields.end());
    std::vector<char*> pointers;
    for (std::string& a : argv)
        pointers.push_back(a.data());
    pointers.push_back(nullptr);

    StartAsAFreshProcess();
    HWND host = w32test::CreateForeignWindow(160, 120);
    Capture out, err;
    ProcessStart start = StartProcess((int)argv.size(), pointers.data(), windowSet ? window.c_str() : nullptr,
                                                out.file, err.file);
    UINT code = (UINT)start.exitCode;
    if (start.runShell) {
        code = 12345;
        try {
            ShellEntry();
        } catch (const ProcessExit& exit) {
            code = exit.code;
        }
    }
    size_t said = err.Close(), helped = out.Close();

    if (code != 0 && code != 1 && code != (UINT)-1)
        abort();
    if ((said != 0) != (code == (UINT)-1))
        abort();
    if (helped != 0 && (start.runShell || code != 0))
        abort();
    if (w32test::ScreenSaverRunning() || stageWindow != NULL ||
        FindWindowA("WindowsScreenSaverClass", NULL) != NULL)
        abort();
    w32test::DestroyForeignWindow(host);
    return 0;
}
