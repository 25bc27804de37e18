// The boxes and dialogs on the screen: GTK's, when there is a display to
// show them on.
#include "platform/posix/devices.h"
#include "platform/posix/dialog_internal.h"
#include "platform/posix/sys_internal.h"

namespace w32::devices {

void ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    ShowMessageDialog(owner, text, caption, type);
}

INT_PTR RunModalDialog(LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param)
{
    return RunDialogOnScreen(templateName, owner, proc, param);
}

}  // namespace w32::devices
