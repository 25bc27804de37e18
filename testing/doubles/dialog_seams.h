// Test seams of the dialog manager: a dialog made from a template without a
// display, driven by the same key, click and scroll reports the front end
// makes, in testing/doubles/: the program does not link them.
#pragma once
#include "platform/posix/dialog_internal.h"

#include <functional>

namespace w32test {

// While set, DialogBoxParamA shows nothing: it makes the dialog without a
// display, sends WM_INITDIALOG, runs the script with the dialog and its
// owner, and returns the result given to EndDialog, or -1 when the script
// did not end it. An empty function shows dialogs again.
void ScriptDialogs(std::function<void(HWND dialog, HWND owner)> script);

// Creates the dialog and sends WM_INITDIALOG; null when the template is
// missing or unreadable. Close it with CloseDialog.
HWND OpenDialog(LPCSTR templateName, DLGPROC proc, LPARAM param);
void PressDialogKey(HWND dialog, w32::DialogKey key);
void ClickDialogControl(HWND dialog, int id);
void ScrollDialogControl(HWND dialog, int id, WORD code, int position);
int DialogFocusId(HWND dialog);          // 0 when nothing has the focus
int DialogScrollPos(HWND dialog, int id);
bool DialogEnded(HWND dialog, INT_PTR* result);
void CloseDialog(HWND dialog);

}  // namespace w32test
