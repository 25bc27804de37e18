// The configuration dialog's procedure. The dialog itself (template 2003)
// arrives with a later release; until then the platform cannot show it and
// this procedure only accepts its creation.
#include "shell/shell.h"

INT_PTR CALLBACK ConfigDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}
