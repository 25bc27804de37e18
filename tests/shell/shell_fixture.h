// A clean headless world for each shell test: no windows, the NT family, no
// fake modules or registry values, no dialogs, no sound device, and settings
// in a private folder.
#pragma once
#include "shell/shell.h"
#include "stage/scene_state.h"
#include "stage/stage.h"
#include "testing/doubles/dialog_seams.h"
#include "testing/doubles/sys_seams.h"
#include "testing/doubles/window_seams.h"
#include "tests/settings/config_folder.h"
#include "tests/shell/shell_reset.h"

#include <gtest/gtest.h>

class ShellFixture : public ::testing::Test, protected ConfigFolder {
protected:
    void SetUp() override
    {
        w32test::ResetWindowing();
        w32test::ResetPlatformId();
        w32test::UnregisterAllModules();
        w32test::ClearRegistry();
        w32test::SuppressMessageBoxes(true);
        w32test::ClearMessageBoxCalls();
        w32test::SetSoundOutcome(w32test::SoundOutcome::Fail);
        w32test::SetScreenSaverRunning(false);
        w32test::ScriptDialogs([](HWND, HWND) {});  // a dialog never waits for a user here
        ResetShell();
    }

    void TearDown() override
    {
        w32test::ScriptDialogs(nullptr);
        w32test::ResetWindowing();
        w32test::ResetPlatformId();
        w32test::UnregisterAllModules();
    }

    static void ResetShell() { ResetShellState(); }

    // A plain top-level window of the test's own, to host a preview or own a dialog.
    static HWND CreateHostWindow(int width, int height)
    {
        static ATOM hostClass = [] {
            WNDCLASSA cls = {};
            cls.lpfnWndProc = DefWindowProcA;
            cls.lpszClassName = "ShellTestHost";
            return RegisterClassA(&cls);
        }();
        EXPECT_NE(hostClass, 0);
        HWND host = CreateWindowExA(0, "ShellTestHost", "host", WS_POPUP | WS_VISIBLE, 0, 0, width, height, NULL,
                                    NULL, NULL, NULL);
        EXPECT_NE(host, (HWND)NULL);
        return host;
    }

    // Runs everything queued, as the message loop would, without waiting.
    static void Pump()
    {
        MSG msg;
        for (int guard = 0; guard < 1000 && PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE); ++guard) {
            if (msg.message == WM_QUIT)
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
};
