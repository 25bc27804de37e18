// Dialog boxes from templates. None can be shown yet, so every request
// fails the way Win32 reports a failed dialog.
#include "platform/win32.h"

extern "C" {

INT_PTR WINAPI DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                               LPARAM dwInitParam)
{
    (void)hInstance;
    (void)lpTemplateName;
    (void)hWndParent;
    (void)lpDialogFunc;
    (void)dwInitParam;
    return -1;
}

}  // extern "C"
