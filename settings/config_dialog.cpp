// The configuration dialog's procedure (dialog template IDD_CONFIG). The three
// scroll bars and the check box change the settings globals at once; OK
// writes them to the INI file, Cancel leaves the file alone. Nothing is
// kept aside: the process ends when the dialog does.
#include <stdio.h>
#include <string.h>

#include "settings/settings.h"
#include "shell/shell.h"
#include "resources/resource_ids.h"

// Stored under KEY_WEBSITE; the saver itself never reads it.
static const char makerAddress[] = "http://brackwold.example.org/";

BOOL StepScrollSetting(int* setting, int minimum, int maximum, WPARAM wParam, HWND bar)
{
    int value = *setting;
    switch (LOWORD(wParam)) {
    case SB_LINELEFT: value -= 1; break;
    case SB_LINERIGHT: value += 1; break;
    case SB_PAGELEFT: value -= 10; break;
    case SB_PAGERIGHT: value += 10; break;
    case SB_THUMBPOSITION: value = HIWORD(wParam); break;
    case SB_LEFT: value = minimum; break;
    case SB_RIGHT: value = maximum; break;
    default: return TRUE;  // dragging, the end of scrolling: the value waits for the release
    }
    if (value <= minimum)
        value = minimum;
    else if (value >= maximum)
        value = maximum;
    *setting = value;
    SetScrollPos(bar, SB_CTL, value, TRUE);
    return FALSE;
}

static void InitBar(HWND bar, int minimum, int maximum, int value)
{
    SetScrollRange(bar, SB_CTL, minimum, maximum, FALSE);
    SetScrollPos(bar, SB_CTL, value, TRUE);
}

static void InitDialog(HWND dialog)
{
    // The stored values as they are: an out-of-range one shows the thumb at
    // the end and is written back unchanged unless its bar is moved.
    ReadSettings();
    for (const SettingInfo& info : settingTable) {
        if (info.number)
            InitBar(GetDlgItem(dialog, info.control), info.minimum, info.maximum, *info.number);
        else
            CheckDlgButton(dialog, info.control, *info.flag ? BST_CHECKED : BST_UNCHECKED);
    }
}

static BOOL WriteSetting(LPCSTR key, long value)
{
    char text[16];
    snprintf(text, sizeof text, "%ld", value);
    return WritePrivateProfileStringA(settingsSection, key, text, settingsFile);
}

// Every entry in order, stopping at the first that fails.
static BOOL WriteSettings()
{
    for (const SettingInfo& info : settingTable)
        if (!WriteSetting(info.key, info.number ? *info.number : (*info.flag ? 1 : 0)))
            return FALSE;
    return WritePrivateProfileStringA(settingsSection, KEY_WEBSITE, makerAddress, settingsFile);
}

// Room for the longest path Windows knows (32767 characters), which is more
// than any path this system's file calls accept, so the box names the whole
// folder however deep it lies.
static char settingsPath[32768 + sizeof settingsFile];
static char failureText[sizeof settingsPath + 320];

// The bare file name lives in the folder the profile functions pick; the
// user needs the whole path to mend the fault. The folder's own separator
// joins the two: a backslash where the folder has one, a slash elsewhere.
static LPCSTR SettingsPath()
{
    UINT room = sizeof settingsPath - sizeof settingsFile - 1;
    UINT length = GetWindowsDirectoryA(settingsPath, room);
    if (length == 0 || length >= room)
        return settingsFile;
    char separator = strchr(settingsPath, '\\') ? '\\' : '/';
    if (settingsPath[length - 1] != separator)
        settingsPath[length++] = separator;
    strcpy(settingsPath + length, settingsFile);
    return settingsPath;
}

// A failed write is told, not swallowed: the user keeps the dialog and the
// edited values and may try again or cancel.
static void ReportWriteFailure(HWND dialog)
{
    DWORD error = GetLastError();
    char reason[256] = "";
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0, reason,
                        sizeof reason, NULL))
        snprintf(reason, sizeof reason, "error %lu", (unsigned long)error);
    size_t length = strlen(reason);
    while (length > 0 && (reason[length - 1] == '\r' || reason[length - 1] == '\n' || reason[length - 1] == ' '))
        reason[--length] = '\0';
    snprintf(failureText, sizeof failureText, "The settings could not be saved to %s.\n\n%s", SettingsPath(),
             reason);
    MessageBoxA(dialog, failureText, "Error", MB_OK | MB_ICONERROR);
}

static BOOL ScrollSetting(WPARAM wParam, HWND bar)
{
    int id = GetDlgCtrlID(bar);
    for (const SettingInfo& info : settingTable)
        if (info.number && info.control == id)
            return StepScrollSetting(info.number, info.minimum, info.maximum, wParam, bar);
    return FALSE;
}

static void Command(HWND dialog, WORD id)
{
    switch (id) {
    case IDC_PLAY_SOUNDS:
        soundsOn = !soundsOn;
        break;
    case IDOK:
        if (WriteSettings())
            EndDialog(dialog, 1);
        else
            ReportWriteFailure(dialog);
        break;
    case IDCANCEL:
        EndDialog(dialog, 1);
        break;
    }
}

static INT_PTR HandleDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitDialog(dialog);
        return TRUE;
    case WM_HSCROLL:
        return ScrollSetting(wParam, (HWND)lParam);
    case WM_COMMAND:
        Command(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

// An exception here (an OK whose write ran out of memory, say) ends the
// process through the exception filter, which reports it. What the write
// had not reached stays as it was in the file.
INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return GuardedProcedure(HandleDialogMessage, dialog, message, wParam, lParam);
}
