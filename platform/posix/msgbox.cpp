// MessageBoxA: the text always goes to standard error, so it is seen even
// without a display; with one, a modal GTK dialog shows it as well, except
// in hack mode.
#include "platform/posix/devices.h"
#include "platform/posix/dialog_internal.h"
#include "platform/posix/layer_internal.h"
#include "platform/posix/sys_internal.h"

#include <gtk/gtk.h>
#include <stdio.h>

namespace {

std::vector<GtkWidget*> shownBoxes;  // innermost last

GtkMessageType MessageTypeFor(UINT type)
{
    switch (type & 0xF0) {
    case 0x10: return GTK_MESSAGE_ERROR;     // MB_ICONERROR
    case 0x20: return GTK_MESSAGE_QUESTION;  // MB_ICONQUESTION
    case 0x30: return GTK_MESSAGE_WARNING;   // MB_ICONWARNING
    case 0x40: return GTK_MESSAGE_INFO;      // MB_ICONINFORMATION
    default: return GTK_MESSAGE_OTHER;
    }
}

// Kept above everything: the full-screen saver window is topmost, and a
// dialog hidden behind it would block the process for good.
void ShowDialog(HWND owner, const char* text, const char* caption, UINT type)
{
    GtkWindow* parent = static_cast<GtkWindow*>(w32::ui::NativeWindow(owner));
    GtkWidget* dialog =
        gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, MessageTypeFor(type), GTK_BUTTONS_OK, "%s", text);
    gtk_window_set_title(GTK_WINDOW(dialog), caption);
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    gtk_window_set_position(GTK_WINDOW(dialog), parent ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
    shownBoxes.push_back(dialog);
    gtk_dialog_run(GTK_DIALOG(dialog));
    shownBoxes.pop_back();
    gtk_widget_destroy(dialog);
    while (gtk_events_pending())
        gtk_main_iteration();
}

}  // namespace

namespace w32 {

// In hack mode the daemon shows what we wrote on stderr; a box behind its
// lock would only keep the process from ending.
void ShowMessageDialog(HWND owner, const char* text, const char* caption, UINT type)
{
    if (!HackMode() && ui::Available())
        ShowDialog(owner, text, caption, type);
}

size_t EndMessageBoxes()
{
    for (GtkWidget* box : shownBoxes)
        gtk_dialog_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
    return shownBoxes.size();
}

}  // namespace w32

extern "C" {

// Only the OK button exists here, so every box returns IDOK. An owner that
// is one of our dialogs owns the box; any other owner is not used (the box
// is modal to the process instead).
int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    const char* text = lpText ? lpText : "";
    const char* caption = lpCaption ? lpCaption : "Error";  // Win32's caption when none is given
    fprintf(stderr, "%s: %s\n", caption, text);
    fflush(stderr);
    w32::devices::ShowMessageBox(hWnd, text, caption, uType);
    return IDOK;
}

}  // extern "C"
