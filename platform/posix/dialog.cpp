// The dialog manager: modal dialog boxes built from the executable's dialog
// templates (the binary layout windres writes), the calls a dialog
// procedure makes on its controls, and the keyboard rules of Win32 dialogs.
// The front end only draws and reports input; every rule lives here, so it
// runs the same with or without a display.
//
// Dialogs and their controls get handles of their own, apart from the
// window table: they have no window procedure of ours and take no part in
// the message queue, since a dialog's procedure is called directly.
#include "platform/posix/devices.h"
#include "platform/posix/dialog_internal.h"
#include "platform/posix/layer_internal.h"
#include "platform/posix/resources.h"
#include "platform/posix/signals.h"
#include "platform/posix/sys_internal.h"

#include <stdio.h>
#include <string.h>

#include <memory>

namespace w32 {
namespace {

// Above the window table's handles, so the two can never meet.
constexpr uint64_t dialogHandleBase = ownHandleBase + 0x40000000ull;

struct DialogTable {
    std::vector<std::unique_ptr<Dialog>> dialogs;
    uint64_t nextHandle = dialogHandleBase;
};

DialogTable& dialogs()
{
    static DialogTable t;
    return t;
}

HWND NewHandle()
{
    return (HWND)(uintptr_t)dialogs().nextHandle++;
}

// --- Templates ---

class TemplateReader {
public:
    TemplateReader(const unsigned char* data, size_t size) : data_(data), size_(size) {}
    bool ok() const { return ok_; }
    size_t offset() const { return at_; }

    WORD Word()
    {
        if (at_ + 2 > size_) {
            ok_ = false;
            return 0;
        }
        WORD w = (WORD)(data_[at_] | data_[at_ + 1] << 8);
        at_ += 2;
        return w;
    }
    DWORD Dword()
    {
        DWORD low = Word();
        return low | (DWORD)Word() << 16;
    }
    short Short() { return (short)Word(); }
    void AlignDword() { at_ = (at_ + 3) & ~(size_t)3; }

    // A zero-terminated UTF-16 string, as UTF-8.
    std::string String()
    {
        std::string out;
        for (WORD c = Word(); ok_ && c != 0; c = Word()) {
            if (c < 0x80) {
                out += (char)c;
            } else if (c < 0x800) {
                out += (char)(0xC0 | c >> 6);
                out += (char)(0x80 | (c & 0x3F));
            } else {
                out += (char)(0xE0 | c >> 12);
                out += (char)(0x80 | (c >> 6 & 0x3F));
                out += (char)(0x80 | (c & 0x3F));
            }
        }
        return out;
    }
    // A string or, after 0xFFFF, an ordinal ("#n").
    std::string StringOrOrdinal(WORD* ordinal = nullptr)
    {
        size_t mark = at_;
        WORD first = Word();
        if (first == 0xFFFF) {
            WORD n = Word();
            if (ordinal)
                *ordinal = n;
            return "#" + std::to_string(n);
        }
        at_ = mark;
        return String();
    }

private:
    const unsigned char* data_;
    size_t size_;
    size_t at_ = 0;
    bool ok_ = true;
};

constexpr DWORD DS_SETFONT = 0x40;

// A predefined class may be named instead of given as its atom.
WORD ClassAtom(const std::string& name, WORD atom)
{
    if (!name.empty() && name[0] == '#')
        return atom;
    if (w32::EqualNoCase(name, "Button"))
        return ButtonAtom;
    if (w32::EqualNoCase(name, "Static"))
        return StaticAtom;
    if (w32::EqualNoCase(name, "ScrollBar"))
        return ScrollBarAtom;
    return 0;
}

// Only the classic DLGTEMPLATE is read; the extended one is refused.
bool ParseTemplate(const unsigned char* data, size_t size, Dialog* d)
{
    TemplateReader r(data, size);
    d->style = r.Dword();
    if ((d->style & 0xFFFF0000u) == 0xFFFF0000u)
        return false;  // DLGTEMPLATEEX
    r.Dword();  // extended style
    int count = r.Word();
    d->x = r.Short();
    d->y = r.Short();
    d->cx = r.Short();
    d->cy = r.Short();
    r.StringOrOrdinal();  // menu: dialogs here have none
    r.StringOrOrdinal();  // class: the dialog class
    d->caption = r.String();
    if (d->style & DS_SETFONT) {
        d->pointSize = r.Word();
        d->face = r.String();
    }
    for (int i = 0; i < count && r.ok(); ++i) {
        r.AlignDword();
        DialogControl c;
        c.style = r.Dword();
        r.Dword();
        c.x = r.Short();
        c.y = r.Short();
        c.cx = r.Short();
        c.cy = r.Short();
        c.id = r.Short();
        WORD atom = 0;
        std::string className = r.StringOrOrdinal(&atom);
        c.atom = ClassAtom(className, atom);
        c.text = r.StringOrOrdinal();
        WORD extra = r.Word();
        for (WORD skip = 0; skip < (extra + 1) / 2; ++skip)
            r.Word();
        c.handle = NewHandle();
        d->controls.push_back(c);
    }
    return r.ok();
}

// --- Messages to the procedure ---

void Send(Dialog* d, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (d->proc)
        d->proc(d->handle, message, wParam, lParam);
}

void Command(Dialog* d, int id, HWND control)
{
    Send(d, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)control);
}

}  // namespace

DialogControl* ControlById(Dialog* d, int id)
{
    for (DialogControl& c : d->controls)
        if (c.id == id)
            return &c;
    return nullptr;
}

namespace {

DialogControl* ControlByHandle(HWND hwnd, Dialog** owner = nullptr)
{
    for (auto& d : dialogs().dialogs)
        for (DialogControl& c : d->controls)
            if (c.handle == hwnd) {
                if (owner)
                    *owner = d.get();
                return &c;
            }
    return nullptr;
}

int FirstTabStop(const Dialog* d)
{
    for (size_t i = 0; i < d->controls.size(); ++i)
        if (IsTabStop(d->controls[i]))
            return (int)i;
    return -1;
}

void MoveFocus(Dialog* d, int step)
{
    int n = (int)d->controls.size();
    if (n == 0)
        return;
    int at = d->focus < 0 ? (step > 0 ? n - 1 : 0) : d->focus;
    for (int tries = 0; tries < n; ++tries) {
        at = (at + step + n) % n;
        if (IsTabStop(d->controls[at])) {
            d->focus = at;
            ui::FocusChanged(d);
            return;
        }
    }
}

// Enter presses the focused push button, else the default one, else IDOK.
void PressDefault(Dialog* d)
{
    if (d->focus >= 0 && IsPushButton(d->controls[d->focus])) {
        DialogControlClicked(d, d->focus);
        return;
    }
    for (size_t i = 0; i < d->controls.size(); ++i)
        if (IsDefaultPushButton(d->controls[i])) {
            DialogControlClicked(d, (int)i);
            return;
        }
    DialogControl* ok = ControlById(d, IDOK);
    Command(d, IDOK, ok ? ok->handle : nullptr);
}

void Cancel(Dialog* d)
{
    DialogControl* cancel = ControlById(d, IDCANCEL);
    Command(d, IDCANCEL, cancel ? cancel->handle : nullptr);
}

}  // namespace

// The focus goes to the first tab stop when the procedure returns TRUE.
Dialog* CreateDialog(LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param, bool withDisplay)
{
    const EmbeddedResource* res = FindEmbeddedResource("DIALOG", templateName);
    if (!res) {
        SetLastError(1814);  // ERROR_RESOURCE_NAME_NOT_FOUND
        return nullptr;
    }
    auto owned = std::make_unique<Dialog>();
    Dialog* d = owned.get();
    d->handle = NewHandle();
    d->owner = owner;
    if (!ParseTemplate(res->data, res->size, d)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    dialogs().dialogs.push_back(std::move(owned));
    if (withDisplay && !ui::Build(d)) {
        dialogs().dialogs.pop_back();
        return nullptr;
    }
    d->proc = proc;
    int first = FirstTabStop(d);
    HWND firstHandle = first >= 0 ? d->controls[first].handle : nullptr;
    if (proc(d->handle, WM_INITDIALOG, (WPARAM)firstHandle, param) && d->focus < 0)
        d->focus = first;
    return d;
}

void FreeDialog(Dialog* d)
{
    ui::Destroy(d);
    auto& list = dialogs().dialogs;
    for (auto it = list.begin(); it != list.end(); ++it)
        if (it->get() == d) {
            list.erase(it);
            return;
        }
}

bool IsPushButton(const DialogControl& c)
{
    return c.atom == ButtonAtom && (c.style & 0xF) <= 1;  // BS_PUSHBUTTON, BS_DEFPUSHBUTTON
}

bool IsDefaultPushButton(const DialogControl& c)
{
    return c.atom == ButtonAtom && (c.style & 0xF) == 1;
}

bool IsCheckBox(const DialogControl& c)
{
    return c.atom == ButtonAtom && ((c.style & 0xF) == 2 || (c.style & 0xF) == 3);
}

bool IsAutoCheckBox(const DialogControl& c)
{
    return c.atom == ButtonAtom && (c.style & 0xF) == 3;  // BS_AUTOCHECKBOX
}

bool IsTabStop(const DialogControl& c)
{
    return (c.style & 0x00010000) != 0;  // WS_TABSTOP
}

bool IsBitmap(const DialogControl& c)
{
    return c.atom == StaticAtom && (c.style & 0x1F) == 0xE;  // SS_BITMAP
}

Dialog* FindDialog(HWND hwnd)
{
    for (auto& d : dialogs().dialogs)
        if (d->handle == hwnd)
            return d.get();
    Dialog* owner = nullptr;
    ControlByHandle(hwnd, &owner);
    return owner;
}

void DialogKeyPressed(Dialog* d, DialogKey key)
{
    switch (key) {
    case DialogKey::Tab: MoveFocus(d, 1); break;
    case DialogKey::ShiftTab: MoveFocus(d, -1); break;
    case DialogKey::Enter: PressDefault(d); break;
    case DialogKey::Escape: Cancel(d); break;
    case DialogKey::Space:
        if (d->focus >= 0 && (IsPushButton(d->controls[d->focus]) || IsCheckBox(d->controls[d->focus])))
            DialogControlClicked(d, d->focus);
        break;
    }
}

// An automatic check box marks or clears itself before its owner hears of it.
void DialogControlClicked(Dialog* d, int index)
{
    DialogControl& c = d->controls[index];
    if (IsAutoCheckBox(c)) {
        c.check = c.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
        ui::ControlChanged(d, &c);
    }
    Command(d, c.id, c.handle);
}

void DialogScrolled(Dialog* d, int index, WORD code, int position)
{
    DialogControl& c = d->controls[index];
    Send(d, WM_HSCROLL, MAKEWPARAM(code, position), (LPARAM)c.handle);
}

void DialogFocused(Dialog* d, int index)
{
    if (index >= 0 && index < (int)d->controls.size())
        d->focus = index;
}

void DialogCloseRequested(Dialog* d)
{
    Cancel(d);
}

size_t CloseDialogs()
{
    std::vector<HWND> running;
    for (auto& d : dialogs().dialogs)
        if (!d->ended)
            running.push_back(d->handle);
    for (HWND h : running)  // the procedure may end or free other dialogs meanwhile
        if (Dialog* d = FindDialog(h); d && !d->ended)
            DialogCloseRequested(d);
    return running.size();
}

// The owner is not disabled, as Win32 would: it belongs to another process
// here, or to nobody. Without a display nothing can be shown: -1, as for
// any dialog that cannot be created.
INT_PTR RunDialogOnScreen(LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param)
{
    if (!ui::Available()) {
        fprintf(stderr, "cannot show the dialog: no display\n");
        return -1;
    }
    Dialog* d = CreateDialog(templateName, owner, proc, param, true);
    if (!d)
        return -1;
    if (!d->ended) {
        WatchEndingSignals();
        ui::Show(d);
        ui::RunUntilEnded(d);
    }
    INT_PTR result = d->result;
    FreeDialog(d);
    return result;
}

}  // namespace w32

using namespace w32;

extern "C" {

INT_PTR WINAPI DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                               LPARAM dwInitParam)
{
    (void)hInstance;
    if (!lpTemplateName || !lpDialogFunc)
        return -1;
    return devices::RunModalDialog(lpTemplateName, hWndParent, lpDialogFunc, dwInitParam);
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult)
{
    for (auto& d : dialogs().dialogs)
        if (d->handle == hDlg) {
            d->ended = true;
            d->result = nResult;
            ui::EndLoop(d.get());
            return TRUE;
        }
    SetLastError(1400);  // ERROR_INVALID_WINDOW_HANDLE
    return FALSE;
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem)
{
    for (auto& d : dialogs().dialogs)
        if (d->handle == hDlg) {
            DialogControl* c = ControlById(d.get(), nIDDlgItem);
            return c ? c->handle : nullptr;
        }
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd)
{
    DialogControl* c = ControlByHandle(hWnd);
    return c ? c->id : 0;
}

BOOL WINAPI SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL)
{
    Dialog* d = nullptr;
    DialogControl* c = ControlByHandle(hWnd, &d);
    if (!c || c->atom != ScrollBarAtom || nBar != SB_CTL)
        return FALSE;
    c->scrollMin = nMinPos;
    c->scrollMax = nMaxPos;
    if (c->scrollPos < nMinPos)
        c->scrollPos = nMinPos;
    if (c->scrollPos > nMaxPos)
        c->scrollPos = nMaxPos;
    ui::ControlChanged(d, c);
    return TRUE;
}

// The thumb never leaves the range: a position outside it is shown at the
// nearer end. Returns the previous position.
int WINAPI SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL)
{
    Dialog* d = nullptr;
    DialogControl* c = ControlByHandle(hWnd, &d);
    if (!c || c->atom != ScrollBarAtom || nBar != SB_CTL)
        return 0;
    int previous = c->scrollPos;
    c->scrollPos = nPos < c->scrollMin ? c->scrollMin : nPos > c->scrollMax ? c->scrollMax : nPos;
    ui::ControlChanged(d, c);
    return previous;
}

BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck)
{
    Dialog* d = FindDialog(hDlg);
    DialogControl* c = d && d->handle == hDlg ? ControlById(d, nIDButton) : nullptr;
    if (!c || c->atom != ButtonAtom)
        return FALSE;
    c->check = uCheck;
    ui::ControlChanged(d, c);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton)
{
    Dialog* d = FindDialog(hDlg);
    DialogControl* c = d && d->handle == hDlg ? ControlById(d, nIDButton) : nullptr;
    return c && IsCheckBox(*c) ? c->check : BST_UNCHECKED;
}

}  // extern "C"
