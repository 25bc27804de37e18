// Process entry and run modes: read the switch the screen-saver machinery
// passes, run one mode and end the process with that mode's result.
#include "shell/shell.h"
#include "resources/resource_ids.h"

HINSTANCE appInstance;
bool win9xPlatform;
bool previewMode;

static const char saverClassName[] = "WindowsScreenSaverClass";
static const char fullScreenTitle[] = "Screen Saver";
static const char previewTitle[] = "Preview";

// Exit code when no quit message was ever taken (class or window failed).
static const int noQuitExitCode = -1;

typedef DWORD(WINAPI* PwdChangePasswordProc)(LPCSTR provider, HWND owner, DWORD reserved, LPVOID reserved2);

void ShellEntry()
{
    LPSTR p = GetCommandLineA();

    // Skip the program name, quoted or not.
    if (*p == '"') {
        p = CharNextA(p);
        while (*p != '\0' && *p != '"')
            p = CharNextA(p);
        if (*p == '"')
            p = CharNextA(p);
    } else {
        while ((unsigned char)*p > ' ')
            p = CharNextA(p);
    }
    while (*p != '\0' && (unsigned char)*p <= ' ')
        p = CharNextA(p);

    ExitProcess((UINT)ShellMain(GetModuleHandleA(NULL), p));
}

static LPSTR SkipSpaces(LPSTR p)
{
    while (*p == ' ')
        p = CharNextA(p);
    return p;
}

// RunMode has refused it where the password handling does not exist.
static int RunPasswordChange(LPSTR args)
{
    HWND owner = ParseWindowHandle(args);
    if (owner == NULL || !IsWindow(owner))
        owner = GetForegroundWindow();
    ChangePassword(owner);
    return 0;
}

// The first character that is not a space, "-" or "/" picks the mode.
RunModeSwitch ReadRunModeSwitch(LPSTR args, LPSTR* rest)
{
    for (LPSTR p = args;; p = CharNextA(p)) {
        *rest = p;
        switch (*p) {
        case ' ':
        case '-':
        case '/':
            continue;
        case '\0':
            return SWITCH_NONE;
        case 's':
        case 'S':
            *rest = CharNextA(p);
            return SWITCH_SAVER;
        case 'c':
        case 'C':
            *rest = CharNextA(p);
            return SWITCH_CONFIG;
        case 'p':
        case 'P':
        case 'l':
        case 'L':
            *rest = SkipSpaces(CharNextA(p));
            return SWITCH_PREVIEW;
        case 'a':
        case 'A':
            *rest = SkipSpaces(CharNextA(p));
            return SWITCH_PASSWORD;
        default:
            return SWITCH_UNKNOWN;
        }
    }
}

SwitchRefusal RefusalOfSwitch(RunModeSwitch mode, LPCSTR rest, bool win9x)
{
    switch (mode) {
    case SWITCH_PREVIEW: {
        HWND parent = ParseWindowHandle(rest);
        if (parent == NULL)
            return PREVIEW_WITHOUT_HANDLE;
        return IsWindow(parent) ? SWITCH_RUNS : PREVIEW_WINDOW_MISSING;
    }
    case SWITCH_PASSWORD: return win9x ? SWITCH_RUNS : PASSWORD_NOT_HERE;
    case SWITCH_UNKNOWN: return SWITCH_NOT_KNOWN;
    default: return SWITCH_RUNS;
    }
}

static int RunMode(LPSTR args)
{
    LPSTR rest;
    RunModeSwitch mode = ReadRunModeSwitch(args, &rest);
    if (RefusalOfSwitch(mode, rest, win9xPlatform) != SWITCH_RUNS)
        return -1;
    switch (mode) {
    case SWITCH_NONE: return (int)ShowConfigDialog(NULL);
    case SWITCH_SAVER: return RunSaverWindow(NULL);
    case SWITCH_CONFIG: return (int)ShowConfigDialog(GetForegroundWindow());
    case SWITCH_PREVIEW: return RunPreview(rest);
    case SWITCH_PASSWORD: return RunPasswordChange(rest);
    default: return -1;
    }
}

// An exception escaping a mode is offered to the platform's filter; when the
// filter takes it, the running flag must not stay set behind us.
static bool OfferToExceptionFilter()
{
    EXCEPTION_RECORD record = {};
    record.ExceptionCode = 0xE0000001;  // an application-defined code: a C++ exception
    record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
    EXCEPTION_POINTERS pointers = {};
    pointers.ExceptionRecord = &record;
    return UnhandledExceptionFilter(&pointers) == EXCEPTION_EXECUTE_HANDLER;
}

// An exception that leaves a window procedure reaches ShellMain's guard only
// when the message came through the program's own calls (a posted message
// or a timer through DispatchMessageA, SendMessageA, a dialog's messages).
// When Windows calls the procedure from its own side (WM_CREATE inside
// CreateWindowExA, WM_DESTROY inside DestroyWindow, a dispatched WM_PAINT)
// it swallows the exception and carries on as if the procedure had returned
// 0 (measured under Wine for the x86_64 build; the Windows semantics tests
// keep checking it). So the procedures catch what the C++ runtime can throw
// (std::bad_alloc and its kin; the system itself throws nothing) and end
// here, as ShellMain's guard would, whichever way the message came.
void EndAfterException()
{
    if (!OfferToExceptionFilter())
        throw;
    SetSaverRunning(false);
    ExitProcess((UINT)-1);
}

int ShellMain(HINSTANCE instance, LPSTR args)
{
    appInstance = instance;
    win9xPlatform = IsWin9xPlatform();

    try {
        return RunMode(args);
    } catch (...) {
        if (!OfferToExceptionFilter())
            throw;
        SetSaverRunning(false);
        return -1;
    }
}

bool IsWin9xPlatform()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

HWND ParseWindowHandle(LPCSTR text)
{
    // Unsigned 32-bit arithmetic: an over-long number wraps instead of overflowing.
    DWORD value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = value * 10u + (DWORD)(*text - '0');
    return (HWND)(UINT_PTR)value;
}

int RunPreview(LPCSTR text)
{
    if (RefusalOfSwitch(SWITCH_PREVIEW, text, win9xPlatform) != SWITCH_RUNS)
        return -1;
    return RunSaverWindow(ParseWindowHandle(text));
}

BOOL PrepareConfigDialog(HINSTANCE)
{
    return TRUE;
}

INT_PTR ShowConfigDialog(HWND owner)
{
    if (!PrepareConfigDialog(appInstance))
        return 0;
    return DialogBoxParamA(appInstance, MAKEINTRESOURCE(IDD_CONFIG), owner, ConfigDialogProc, 0);
}

void ChangePassword(HWND owner)
{
    HMODULE library = LoadLibraryA("MPR.DLL");
    if (library == NULL)
        return;
    FARPROC proc = GetProcAddress(library, "PwdChangePasswordA");
    if (proc != NULL)
        ((PwdChangePasswordProc)(void (*)(void))proc)("SCRSAVE", owner, 0, NULL);
    FreeLibrary(library);
}

static ATOM RegisterSaverClass()
{
    WNDCLASSA saverClass = {};
    saverClass.style = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    saverClass.lpfnWndProc = ShellWindowProc;
    saverClass.hInstance = appInstance;
    saverClass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    saverClass.lpszClassName = saverClassName;
    return RegisterClassA(&saverClass);
}

// Every monitor goes dark: the full-screen window covers the virtual
// screen, which may start left of or above the primary monitor. Windows 95
// knows no virtual screen (its metrics read 0) and has one monitor.
static RECT FullScreenRect()
{
    RECT screen;
    screen.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    screen.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    screen.right = screen.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screen.bottom = screen.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (screen.right == screen.left || screen.bottom == screen.top) {
        screen.left = 0;
        screen.top = 0;
        screen.right = GetSystemMetrics(SM_CXSCREEN);
        screen.bottom = GetSystemMetrics(SM_CYSCREEN);
    }
    return screen;
}

int RunSaverWindow(HWND parent)
{
    int x = 0, y = 0, width, height;
    DWORD style, exStyle;
    LPCSTR title;

    if (parent != NULL) {
        RECT client;
        GetClientRect(parent, &client);
        width = client.right;
        height = client.bottom;
        style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
        exStyle = 0;
        title = previewTitle;
        previewMode = true;
    } else {
        RECT screen = FullScreenRect();
        x = screen.left;
        y = screen.top;
        width = screen.right - screen.left;
        height = screen.bottom - screen.top;
        style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
        exStyle = WS_EX_TOPMOST;
        title = fullScreenTitle;

        // A second full-screen saver never starts: wake the first one instead.
        HWND running = FindWindowA(saverClassName, fullScreenTitle);
        if (running != NULL) {
            SetForegroundWindow(running);
            return 0;
        }
        LoadPasswordVerifier();
    }

    MSG message = {};
    message.wParam = (WPARAM)noQuitExitCode;
    if (RegisterSaverClass()) {
        HWND window = CreateWindowExA(exStyle, saverClassName, title, style, x, y, width, height, parent, NULL,
                                      appInstance, NULL);
        if (window != NULL) {
            if (parent == NULL)
                SetForegroundWindow(window);
            while (GetMessageA(&message, NULL, 0, 0) > 0) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
    }

    UnloadPasswordVerifier();
    return (int)message.wParam;
}
