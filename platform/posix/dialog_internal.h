// Dialog boxes: the records the dialog manager (dialog.cpp) keeps for a
// dialog made from a template, and what it asks of the front end that shows
// it (dialog_gtk.cpp). Only the layer includes this.
#pragma once
#include "platform/win32.h"

#include <string>
#include <vector>

namespace w32 {

// Predefined control classes, as the template stores them.
enum : WORD { ButtonAtom = 0x80, StaticAtom = 0x82, ScrollBarAtom = 0x84 };

struct DialogControl {
    HWND handle = nullptr;
    int id = 0;  // -1 (0xFFFF in the template) for controls nobody asks for
    WORD atom = 0;
    DWORD style = 0;
    std::string text;          // caption, or the bitmap's resource name
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    int scrollMin = 0, scrollMax = 100, scrollPos = 0;
    UINT check = BST_UNCHECKED;
    void* widget = nullptr;    // the front end's
};

struct Dialog {
    HWND handle = nullptr;
    HWND owner = nullptr;
    DLGPROC proc = nullptr;
    DWORD style = 0;
    std::string caption;
    int pointSize = 0;         // 0: no font given
    std::string face;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    std::vector<DialogControl> controls;  // template order, which is the tab order
    int focus = -1;            // index of the control with the keyboard focus
    bool ended = false;
    INT_PTR result = 0;
    void* native = nullptr;    // the front end's; null for a dialog without a display
};

bool IsPushButton(const DialogControl& c);
bool IsDefaultPushButton(const DialogControl& c);
bool IsCheckBox(const DialogControl& c);
bool IsAutoCheckBox(const DialogControl& c);
bool IsTabStop(const DialogControl& c);
bool IsBitmap(const DialogControl& c);

// Keys with a meaning to the dialog manager.
enum class DialogKey { Tab, ShiftTab, Space, Enter, Escape };

// What the front end reports; each ends up as a message to the procedure.
void DialogKeyPressed(Dialog* d, DialogKey key);
void DialogControlClicked(Dialog* d, int index);   // a push button or a check box
void DialogScrolled(Dialog* d, int index, WORD code, int position);
void DialogFocused(Dialog* d, int index);           // the focus moved by the pointer
void DialogCloseRequested(Dialog* d);               // the close box

// An outside request to end (a signal, the display gone): every dialog that
// runs is asked to close as by its close box, every message box ends as by
// its OK button. Each returns how many it ended.
size_t CloseDialogs();
size_t EndMessageBoxes();

// The front end. Every call is a no-op for a dialog without a display.
namespace ui {
bool Available();                   // a display can be opened
bool Build(Dialog* d);              // widgets for the dialog and its controls, hidden
void Show(Dialog* d);               // centred and modal; focus as d->focus
void RunUntilEnded(Dialog* d);
void Destroy(Dialog* d);
void ControlChanged(Dialog* d, DialogControl* c);  // range, position or check changed
void FocusChanged(Dialog* d);
void EndLoop(Dialog* d);
void* NativeWindow(HWND dialog);  // a GtkWindow, to own a message box; null if none
}  // namespace ui

// The scroll-bar code for one of GTK's scroll types (GtkScrollType); false
// for a type that has none.
bool ScrollCodeForGtk(int gtkScrollType, WORD* code);

// The dialog whose handle this is, or whose control's handle it is.
Dialog* FindDialog(HWND hwnd);
DialogControl* ControlById(Dialog* d, int id);

// Builds a dialog's records from its template (and its widgets, withDisplay)
// and lets the procedure initialise them; null when the template is missing
// or unreadable. FreeDialog forgets it and its widgets.
Dialog* CreateDialog(LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param, bool withDisplay);
void FreeDialog(Dialog* d);

// DialogBoxParamA's work as the program does it, for the screen's device
// and its double: the dialog shown and run until it ends (-1 without a
// display or a template).
INT_PTR RunDialogOnScreen(LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param);

}  // namespace w32
