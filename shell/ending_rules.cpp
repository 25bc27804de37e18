// The saver window's class procedure and the rules that end the saver: a key,
// a click, a mouse movement of more than 4 pixels or the loss of activation
// asks to close; on the Windows 95/98 family a saver password is checked first.
#include "shell/shell.h"

bool closeAllowed;
bool verifying;
DWORD lastVerifyTick = noVerifyTick;
POINT lastCursor;
HMODULE passwordLibrary;
FARPROC verifyPassword;
HIMC savedInputContext;

static const LONG mouseThreshold = 4;            // pixels of movement tolerated
static const DWORD verificationPause = 200;      // ms after a verification

typedef BOOL(WINAPI* VerifyScreenSavePwdProc)(HWND window);
typedef HIMC(WINAPI* ImmAssociateContextProc)(HWND window, HIMC context);

static void HidePointer()
{
    SetCursor(NULL);
}

// The input-method entry point, only if the process already has the library.
static ImmAssociateContextProc FindImmAssociateContext()
{
    HMODULE imm = GetModuleHandleA("IMM32.DLL");
    if (imm == NULL)
        return NULL;
    FARPROC proc = GetProcAddress(imm, "ImmAssociateContext");
    return proc != NULL ? (ImmAssociateContextProc)(void (*)(void))proc : NULL;
}

static LRESULT HandleShellMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        ImmAssociateContextProc associate = FindImmAssociateContext();
        if (associate != NULL)
            savedInputContext = associate(window, NULL);
        GetCursorPos(&lastCursor);
        if (!previewMode)
            HidePointer();
        break;
    }
    case WM_DESTROY: {
        ImmAssociateContextProc associate = FindImmAssociateContext();
        if (associate != NULL && savedInputContext != NULL)
            associate(window, savedInputContext);
        PostQuitMessage(0);
        break;
    }
    case WM_SETTEXT:
        return 0;  // the title never changes
    case WM_PAINT:
        if (closeAllowed)
            return DefWindowProcA(window, message, wParam, lParam);
        if (!previewMode)
            HidePointer();
        break;
    case WM_HELP:
    case WM_CONTEXTMENU:
        if (previewMode) {
            // The control panel answers help for its preview area.
            HWND parent = GetParent(window);
            if (parent != NULL && IsWindow(parent))
                PostMessageA(parent, message, (WPARAM)parent, lParam);
            return 1;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (closeAllowed)
            return DefWindowProcA(window, message, wParam, lParam);
        break;
    case WM_SYSCOMMAND:
        if (!previewMode && (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE))
            return 0;
        break;
    case WM_TIMER:
        if (closeAllowed)
            return 0;
        Sleep(0);
        break;
    }
    return SaverWindowProc(window, message, wParam, lParam);
}

LRESULT CALLBACK ShellWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return GuardedProcedure(HandleShellMessage, window, message, wParam, lParam);
}

static void RequestClose(HWND window)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
}

static void CheckMouseMove(HWND window)
{
    POINT now;
    GetCursorPos(&now);
    LONG dx = now.x - lastCursor.x;
    LONG dy = now.y - lastCursor.y;
    if ((dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy) > mouseThreshold) {
        RequestClose(window);
        lastCursor = now;
    }
}

LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (previewMode || closeAllowed)
        return DefWindowProcA(window, message, wParam, lParam);

    if (message == WM_CLOSE) {
        if (win9xPlatform && !VerifyBeforeClose(window)) {
            GetCursorPos(&lastCursor);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (message == WM_APP) {
        if (win9xPlatform)
            return verifyPassword != NULL ? ((VerifyScreenSavePwdProc)(void (*)(void))verifyPassword)(window) : 1;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (verifying)
        return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam)
            HidePointer();
        break;
    case WM_ACTIVATEAPP:
        if (!wParam)
            RequestClose(window);
        break;
    case WM_SETCURSOR:
        HidePointer();
        return 1;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        RequestClose(window);
        break;
    case WM_MOUSEMOVE:
        CheckMouseMove(window);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool VerifyBeforeClose(HWND window)
{
    if (verifying || closeAllowed)
        return false;
    if (verifyPassword == NULL) {
        closeAllowed = true;
        return true;
    }

    DWORD now = GetTickCount();
    if (lastVerifyTick != noVerifyTick && now - lastVerifyTick < verificationPause)
        return closeAllowed;

    verifying = true;
    // Ticks that piled up behind the password dialog would only be stale frames.
    MSG stale;
    PeekMessageA(&stale, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageA(&stale, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    closeAllowed = SendMessageA(window, WM_APP, 0, 0) != 0;
    verifying = false;
    if (!closeAllowed)
        HidePointer();
    lastVerifyTick = GetTickCount();
    return closeAllowed;
}

void LoadPasswordVerifier()
{
    if (!win9xPlatform)
        return;
    if (passwordLibrary != NULL)
        UnloadPasswordVerifier();

    HKEY desktop;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &desktop) != ERROR_SUCCESS)
        return;

    DWORD usePassword = 0;
    DWORD size = sizeof usePassword;
    if (RegQueryValueExA(desktop, "ScreenSaveUsePassword", NULL, NULL, (LPBYTE)&usePassword, &size) ==
            ERROR_SUCCESS &&
        usePassword != 0) {
        passwordLibrary = LoadLibraryA("PASSWORD.CPL");
        if (passwordLibrary != NULL) {
            verifyPassword = GetProcAddress(passwordLibrary, "VerifyScreenSavePwd");
            if (verifyPassword != NULL) {
                SetSaverRunning(true);
            } else {
                FreeLibrary(passwordLibrary);
                passwordLibrary = NULL;
            }
        }
    }
    RegCloseKey(desktop);
}

void UnloadPasswordVerifier()
{
    if (!win9xPlatform || passwordLibrary == NULL)
        return;
    FreeLibrary(passwordLibrary);
    passwordLibrary = NULL;
    if (verifyPassword != NULL) {
        verifyPassword = NULL;
        SetSaverRunning(false);
    }
}

void SetSaverRunning(bool on)
{
    if (!win9xPlatform)
        return;
    UINT previous;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, on ? 1 : 0, &previous, 0);
}
