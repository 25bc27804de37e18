// The screen-saver shell: process entry, run modes, the saver window's class
// procedure and the rules that end the saver.
#pragma once
#include "platform/win32.h"

#include <exception>

extern HINSTANCE appInstance;
extern bool win9xPlatform;
extern bool previewMode;
// Set by the process entry before WinMain when a run asks for more than its
// switch (Linux's hack options); both stay 0 for the switches themselves.
extern unsigned seedSalt;   // mixed into the random seed, so instances started together differ
extern bool showFrameRate;  // the frame-rate display in the corner

// Run modes
void ShellEntry();
int ShellMain(HINSTANCE instance, LPSTR args);
// The mode the switch in the argument text asks for. rest gets what follows
// the switch: for the preview and the password change the window handle,
// past the letter and the spaces after it.
enum RunModeSwitch { SWITCH_NONE, SWITCH_SAVER, SWITCH_CONFIG, SWITCH_PREVIEW, SWITCH_PASSWORD, SWITCH_UNKNOWN };
RunModeSwitch ReadRunModeSwitch(LPSTR args, LPSTR* rest);
// Whether the shell runs the mode a switch asks for, or why it refuses it
// (exiting with -1 and showing nothing); rest as ReadRunModeSwitch gives it.
enum SwitchRefusal { SWITCH_RUNS, SWITCH_NOT_KNOWN, PREVIEW_WITHOUT_HANDLE, PREVIEW_WINDOW_MISSING, PASSWORD_NOT_HERE };
SwitchRefusal RefusalOfSwitch(RunModeSwitch mode, LPCSTR rest, bool win9x);
// True on the Windows 95/98 family, where the password handling exists.
bool IsWin9xPlatform();
HWND ParseWindowHandle(LPCSTR text);
int RunPreview(LPCSTR text);
int RunSaverWindow(HWND parent);
INT_PTR ShowConfigDialog(HWND owner);
void ChangePassword(HWND owner);
BOOL PrepareConfigDialog(HINSTANCE instance);

// Saver window and ending rules
extern bool closeAllowed;     // once set, input and paint are no longer interpreted
extern bool verifying;        // a password verification is running
const DWORD noVerifyTick = 0xFFFFFFFF;
extern DWORD lastVerifyTick;  // tick count when the last verification ended
extern POINT lastCursor;      // where mouse movement is measured from
extern HMODULE passwordLibrary;
extern FARPROC verifyPassword;
extern HIMC savedInputContext;
LRESULT CALLBACK ShellWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
bool VerifyBeforeClose(HWND window);
void LoadPasswordVerifier();
void UnloadPasswordVerifier();
void SetSaverRunning(bool on);
// Called from a window procedure's exception handler: offers the exception
// to the platform's filter and ends the process with -1, or rethrows when
// the filter declines.
void EndAfterException();

// Runs a window or dialog procedure's handler, ending the process through
// EndAfterException when an exception leaves it: Windows swallows such an
// exception on some of its paths, so every procedure ends it here.
template <typename Result>
Result GuardedProcedure(Result (*handler)(HWND, UINT, WPARAM, LPARAM), HWND window, UINT message, WPARAM wParam,
                        LPARAM lParam)
{
    try {
        return handler(window, message, wParam, lParam);
    } catch (const std::exception&) {
        EndAfterException();
        return 0;
    }
}

// The program's own saver window procedure (stage/).
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The configuration dialog procedure (settings/).
INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Applies one scroll-bar notification to a setting; TRUE when it was ignored.
BOOL StepScrollSetting(int* setting, int minimum, int maximum, WPARAM wParam, HWND bar);
