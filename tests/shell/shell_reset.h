// The shell's own state as a fresh process has it, for the tests and the
// fuzzer that run the process entry again and again. The saver class is
// registered once per run, so a new run needs it gone.
#pragma once
#include "testing/doubles/window_seams.h"
#include "shell/shell.h"
#include "stage/scene_state.h"
#include "stage/stage.h"

inline void ResetShellState()
{
    w32test::ResetWindowing();
    UnregisterClassA("WindowsScreenSaverClass", NULL);
    closeAllowed = false;
    verifying = false;
    lastVerifyTick = noVerifyTick;
    lastCursor = POINT{};
    passwordLibrary = NULL;
    verifyPassword = NULL;
    savedInputContext = NULL;
    previewMode = false;
    saverWindow = NULL;
    ResetSceneState();
}
