// Where a C++ exception goes when it leaves a window procedure on Windows,
// as Wine reproduces it for the x86_64 build. It reaches the code that made
// the call when user code delivers the message (a posted message or a timer
// through DispatchMessageA, SendMessageA, a dialog's messages in its modal
// loop); it is swallowed, and the call carries on as if the procedure had
// returned 0, when the system calls the procedure from its own side (WM_CREATE
// inside CreateWindowExA, WM_DESTROY inside DestroyWindow, a dispatched
// WM_PAINT). That is why each procedure of the saver carries its own guard
// (EndAfterException). Only the Windows build compiles this: our layer lets
// every such exception reach the caller, a silent swallow being a fault we
// do not copy.
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

const UINT afterMessage = WM_USER + 2;
UINT throwOn;  // the message the procedure throws on
int thrown;

LRESULT CALLBACK ThrowingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == throwOn) {
        throwOn = 0;
        ++thrown;
        throw std::runtime_error("left the window procedure");
    }
    if (message == afterMessage)
        return 7;
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND NewWindow()
{
    return CreateWindowExA(0, "ThrowingWindow", "probe", WS_POPUP, 0, 0, 40, 30, NULL, NULL, NULL, NULL);
}

void DispatchOne(HWND window, UINT message)
{
    MSG m;
    if (PeekMessageA(&m, window, message, message, PM_REMOVE))
        DispatchMessageA(&m);
    else
        ADD_FAILURE() << "message " << message << " never came";
}

void Posted(HWND window)
{
    throwOn = WM_USER + 1;
    PostMessageA(window, WM_USER + 1, 0, 0);
    DispatchOne(window, WM_USER + 1);
}

void Sent(HWND window)
{
    throwOn = WM_USER + 1;
    SendMessageA(window, WM_USER + 1, 0, 0);
}

void Timer(HWND window)
{
    SetTimer(window, 1, 1, NULL);
    Sleep(30);
    throwOn = WM_TIMER;
    DispatchOne(window, WM_TIMER);
    KillTimer(window, 1);
}

// Swallowed, and the window is still to be painted: the paint comes again.
void Paint(HWND window)
{
    ShowWindow(window, SW_SHOWNA);
    InvalidateRect(window, NULL, FALSE);
    throwOn = WM_PAINT;
    DispatchOne(window, WM_PAINT);
    EXPECT_TRUE(GetUpdateRect(window, NULL, FALSE));
}

// Swallowed, and the window is made as if WM_CREATE had returned 0.
void Create(HWND)
{
    throwOn = WM_CREATE;
    HWND created = NewWindow();
    EXPECT_NE(created, (HWND)NULL);
    if (created)
        DestroyWindow(created);
}

// Swallowed, and the window is gone all the same.
void Destroy(HWND)
{
    HWND doomed = NewWindow();
    throwOn = WM_DESTROY;
    DestroyWindow(doomed);
    EXPECT_FALSE(IsWindow(doomed));
}

// Dialogs: a template in memory with one push button (IDOK).
HWND shownDialog;

INT_PTR CALLBACK ThrowingDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    shownDialog = dialog;
    if (message == throwOn) {
        throwOn = 0;
        ++thrown;
        throw std::runtime_error("left the dialog procedure");
    }
    switch (message) {
    case WM_INITDIALOG:
        // A click on the button, then the way out, both through the modal loop.
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        PostMessageA(dialog, WM_USER + 3, 0, 0);
        return TRUE;
    case WM_USER + 3:
        EndDialog(dialog, 5);
        return TRUE;
    }
    return FALSE;
}

void AddDword(std::vector<WORD>& t, DWORD value)
{
    t.push_back(LOWORD(value));
    t.push_back(HIWORD(value));
}

void RunDialog(UINT throwingMessage)
{
    std::vector<WORD> t;
    AddDword(t, WS_POPUP);  // not shown before the posted click comes
    AddDword(t, 0);
    t.insert(t.end(), {1, 0, 0, 80, 40});  // one control; x, y, cx, cy
    t.insert(t.end(), {0, 0, 0});  // no menu, the dialog class, no title
    if (t.size() % 2)
        t.push_back(0);  // each control starts on a DWORD
    AddDword(t, WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON);
    AddDword(t, 0);
    t.insert(t.end(), {5, 5, 40, 14, IDOK, 0xFFFF, 0x0080, 0, 0});  // rectangle, id, button, no text or data
    shownDialog = NULL;
    throwOn = throwingMessage;
    struct Cleanup {
        ~Cleanup()
        {
            if (shownDialog && IsWindow(shownDialog))
                DestroyWindow(shownDialog);
        }
    } cleanup;
    DialogBoxIndirectParamA(NULL, (LPCDLGTEMPLATEA)t.data(), NULL, ThrowingDialogProc, 0);
}

void InitDialog(HWND)
{
    RunDialog(WM_INITDIALOG);
}

void ClickInDialog(HWND)
{
    RunDialog(WM_COMMAND);
}

enum class Outcome { ReachedCaller, Swallowed };

struct ProbeRow {
    const char* name;
    void (*deliver)(HWND window);
    Outcome seen;
};

class ProcedureExceptionProbe : public ::testing::Test {
protected:
    void SetUp() override
    {
        static ATOM registered = [] {
            WNDCLASSA throwing = {};
            throwing.lpfnWndProc = ThrowingProc;
            throwing.lpszClassName = "ThrowingWindow";
            return RegisterClassA(&throwing);
        }();
        ASSERT_NE(registered, 0);
        window = NewWindow();
        ASSERT_NE(window, (HWND)NULL);
    }

    void TearDown() override { DestroyWindow(window); }

    HWND window = NULL;
};

TEST_F(ProcedureExceptionProbe, WhereAnExceptionLeavingAProcedureGoes)
{
    const ProbeRow rows[] = {
        {"posted message, DispatchMessageA", Posted, Outcome::ReachedCaller},
        {"sent message, SendMessageA", Sent, Outcome::ReachedCaller},
        {"WM_TIMER, DispatchMessageA", Timer, Outcome::ReachedCaller},
        {"WM_PAINT, DispatchMessageA", Paint, Outcome::Swallowed},
        {"WM_CREATE, CreateWindowExA", Create, Outcome::Swallowed},
        {"WM_DESTROY, DestroyWindow", Destroy, Outcome::Swallowed},
        {"WM_INITDIALOG, DialogBoxIndirectParamA", InitDialog, Outcome::ReachedCaller},
        {"WM_COMMAND of a click, the modal loop", ClickInDialog, Outcome::ReachedCaller},
    };
    for (const ProbeRow& row : rows) {
        SCOPED_TRACE(row.name);
        thrown = 0;
        Outcome outcome = Outcome::Swallowed;
        try {
            row.deliver(window);
        } catch (const std::runtime_error&) {
            outcome = Outcome::ReachedCaller;
        }
        throwOn = 0;
        EXPECT_EQ(thrown, 1);
        EXPECT_EQ(outcome, row.seen);
        // Either way the window still takes messages.
        EXPECT_EQ(SendMessageA(window, afterMessage, 0, 0), 7);
    }
}

}  // namespace
