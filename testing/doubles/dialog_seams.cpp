// The dialog manager's test double: dialogs made from their templates
// without a display, driven by the same key, click and scroll reports the
// front end makes. Linked into the tests, tools and benchmarks, never into
// the program.
#include "testing/doubles/dialog_seams.h"

#include "platform/posix/devices.h"

namespace {

using w32::Dialog;
using w32::FindDialog;

std::function<void(HWND, HWND)> script;

INT_PTR ScriptedDialogBox(LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param)
{
    Dialog* d = w32::CreateDialog(templateName, owner, proc, param, false);
    if (!d)
        return -1;
    HWND handle = d->handle;
    if (!d->ended)
        script(handle, owner);
    d = FindDialog(handle);
    INT_PTR result = d && d->ended ? d->result : -1;
    if (d)
        w32::FreeDialog(d);
    return result;
}

int IndexOfControl(Dialog* d, int id)
{
    for (size_t i = 0; d && i < d->controls.size(); ++i)
        if (d->controls[i].id == id)
            return (int)i;
    return -1;
}

}  // namespace

namespace w32::devices {

INT_PTR RunModalDialog(LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param)
{
    if (script)
        return ScriptedDialogBox(templateName, owner, proc, param);
    return RunDialogOnScreen(templateName, owner, proc, param);
}

}  // namespace w32::devices

namespace w32test {

void ScriptDialogs(std::function<void(HWND dialog, HWND owner)> wanted)
{
    script = std::move(wanted);
}

HWND OpenDialog(LPCSTR templateName, DLGPROC proc, LPARAM param)
{
    Dialog* d = w32::CreateDialog(templateName, nullptr, proc, param, false);
    return d ? d->handle : nullptr;
}

void PressDialogKey(HWND dialog, w32::DialogKey key)
{
    if (Dialog* d = FindDialog(dialog))
        w32::DialogKeyPressed(d, key);
}

void ClickDialogControl(HWND dialog, int id)
{
    Dialog* d = FindDialog(dialog);
    int index = IndexOfControl(d, id);
    if (index >= 0)
        w32::DialogControlClicked(d, index);
}

void ScrollDialogControl(HWND dialog, int id, WORD code, int position)
{
    Dialog* d = FindDialog(dialog);
    int index = IndexOfControl(d, id);
    if (index >= 0)
        w32::DialogScrolled(d, index, code, position);
}

int DialogFocusId(HWND dialog)
{
    Dialog* d = FindDialog(dialog);
    return d && d->focus >= 0 ? d->controls[d->focus].id : 0;
}

int DialogScrollPos(HWND dialog, int id)
{
    Dialog* d = FindDialog(dialog);
    w32::DialogControl* c = d ? w32::ControlById(d, id) : nullptr;
    return c ? c->scrollPos : -1;
}

bool DialogEnded(HWND dialog, INT_PTR* result)
{
    Dialog* d = FindDialog(dialog);
    if (!d || !d->ended)
        return false;
    if (result)
        *result = d->result;
    return true;
}

void CloseDialog(HWND dialog)
{
    if (Dialog* d = FindDialog(dialog))
        w32::FreeDialog(d);
}

}  // namespace w32test
