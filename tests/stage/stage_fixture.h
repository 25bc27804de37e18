// A saver window of a chosen client size on the layer's offscreen backend,
// with the stage built by SaverWindowProc's WM_CREATE and torn down again
// after each case.
#pragma once
#include "platform/win32.h"
#include "testing/offscreen/offscreen_seams.h"
#include "testing/doubles/sys_seams.h"
#include "testing/doubles/window_seams.h"
#include "settings/settings.h"
#include "shell/shell.h"
#include "stage/scene_state.h"
#include "stage/stage.h"
#include "tests/settings/config_folder.h"

#include <gtest/gtest.h>

#include <math.h>
#include <stdlib.h>

// ExitProcess hands control back to the test by throwing this.
struct ProcessExit {
    UINT code;
};

// The scene clock as the test sets it, in seconds since clockStart {0, 0}.
inline double& FakeClockSeconds()
{
    static double seconds;
    return seconds;
}

// The performance counter's nanoseconds at the test's clock.
inline LONGLONG FakeCounter()
{
    return llround(FakeClockSeconds() * 1e9);
}

inline LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// The settings are the defaults unless a case writes an INI file.
class StageFixture : public ::testing::Test, protected ConfigFolder {
protected:
    void SetUp() override
    {
        ResetSceneState();
        // As the shell sets it: every resource load goes through it.
        appInstance = GetModuleHandleA(NULL);
        previewMode = false;
        FakeClockSeconds() = 0.0;
        w32test::SetPerformanceCounter(FakeCounter);
        w32test::SetExitProcessHook([](UINT code) { throw ProcessExit{code}; });
        w32test::SuppressMessageBoxes(true);
        w32test::ClearMessageBoxCalls();
        w32test::SetSoundOutcome(w32test::SoundOutcome::Succeed);

        static bool registered;
        if (!registered) {
            WNDCLASSA plain = {};
            plain.lpfnWndProc = PlainWindowProc;
            plain.lpszClassName = "BrackwoldTestSaver";
            registered = RegisterClassA(&plain) != 0;
        }
    }

    void TearDown() override
    {
        if (built)
            SaverWindowProc(saver, WM_DESTROY, 0, 0);
        built = false;
        w32test::ResetWindowing();
        w32test::SetExitProcessHook(nullptr);
        w32test::SuppressMessageBoxes(false);
        w32test::SetPerformanceCounter(nullptr);
    }

    // A top-level saver window covers the screen: one monitor of its size.
    HWND CreateSaver(int width, int height, HWND parent = NULL)
    {
        if (!parent)
            w32test::SetScreenSize(width, height);
        DWORD style = parent ? WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN : WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN;
        saver = CreateWindowExA(0, "BrackwoldTestSaver", "Screen Saver", style, 0, 0, width, height, parent, NULL,
                                NULL, NULL);
        return saver;
    }

    // Builds the stage in a saver window with the given client area and
    // starts the scene clock at 0.
    void BuildStage(int width, int height)
    {
        ASSERT_NE(CreateSaver(width, height), nullptr);
        ASSERT_EQ(SaverWindowProc(saver, WM_CREATE, 0, 0), 0);
        built = true;
        ASSERT_NE(stageWindow, nullptr);
        clockStart[0] = 0;
        clockStart[1] = 0;
    }

    HWND saver = NULL;
    bool built = false;
};
