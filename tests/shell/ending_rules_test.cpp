// The rules that end the saver, through the real message chain: input is
// injected as the display delivers it and the queue is pumped as the
// message loop would.
#include "shell/shell.h"
#include "stage/stage.h"
#include "testing/offscreen/offscreen_seams.h"
#include "shell_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

const char saverClass[] = "WindowsScreenSaverClass";

class EndingRules : public ShellFixture {
protected:
    HWND saver = NULL;

    // Starts the full-screen saver with the pointer at (500, 400); the quit
    // posted ahead hands control back once the window is up.
    void StartSaver()
    {
        w32test::SetCursorPos(500, 400);
        PostQuitMessage(0);
        ShellMain(NULL, const_cast<LPSTR>("/s"));
        saver = FindWindowA(saverClass, "Screen Saver");
        ASSERT_NE(saver, (HWND)NULL);
        Pump();
    }

    void MovePointer(int x, int y, HWND over = NULL)
    {
        w32test::SetCursorPos(x, y);
        w32test::InjectInput(over ? over : saver, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        Pump();
    }

    void Inject(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, HWND to = NULL)
    {
        w32test::InjectInput(to ? to : saver, message, wParam, lParam);
        Pump();
    }

    bool Running() const { return IsWindow(saver) != FALSE; }
};

TEST_F(EndingRules, MouseMovementUpToFourPixelsIsTolerated)
{
    struct Step {
        int x, y;
        bool running;
    };
    const std::vector<std::vector<Step>> walks = {
        {{503, 400, true}, {503, 401, true}, {504, 401, false}},  // 4 px keep it, 5 px end it
        {{502, 400, true}, {504, 400, true}, {506, 400, false}},  // small moves add up
        {{498, 399, true}, {497, 398, false}},                    // distances are absolute
        {{500, 405, false}},
    };
    for (const auto& walk : walks) {
        ResetShell();
        w32test::ResetWindowing();
        StartSaver();
        for (const Step& step : walk) {
            MovePointer(step.x, step.y);
            EXPECT_EQ(Running(), step.running) << "at " << step.x << "," << step.y;
        }
    }
}

TEST_F(EndingRules, TheMessageCoordinatesAreIgnored)
{
    StartSaver();
    // The message claims a far jump, but the pointer has not moved.
    w32test::InjectInput(saver, WM_MOUSEMOVE, 0, MAKELPARAM(900, 700));
    Pump();
    EXPECT_TRUE(Running());
}

TEST_F(EndingRules, KeyReleaseWheelAndActivationGainDoNotEnd)
{
    StartSaver();
    const std::pair<UINT, WPARAM> harmless[] = {
        {WM_KEYUP, 'A'},      {WM_SYSKEYUP, VK_ESCAPE}, {WM_MOUSEWHEEL, (WPARAM)(120 << 16)},
        {WM_MOUSEHWHEEL, 0},  {WM_LBUTTONUP, 0},        {WM_ACTIVATEAPP, TRUE},
    };
    for (const auto& input : harmless) {
        Inject(input.first, input.second);
        EXPECT_TRUE(Running()) << "message " << std::hex << input.first;
    }
}

TEST_F(EndingRules, KeysButtonsAndActivationLossEnd)
{
    const std::pair<UINT, WPARAM> enders[] = {
        {WM_KEYDOWN, 'A'},      {WM_SYSKEYDOWN, 'F'},    {WM_LBUTTONDOWN, 0},
        {WM_MBUTTONDOWN, 0},    {WM_RBUTTONDOWN, 0},     {WM_ACTIVATEAPP, FALSE},
    };
    for (const auto& input : enders) {
        for (bool overStage : {false, true}) {
            ResetShell();
            w32test::ResetWindowing();
            StartSaver();
            ASSERT_TRUE(IsWindow(stageWindow));
            Inject(input.first, input.second, 0, overStage ? stageWindow : saver);
            EXPECT_FALSE(Running()) << "message " << std::hex << input.first << (overStage ? " over the stage" : "");
        }
    }
}

TEST_F(EndingRules, ThePointerStaysHidden)
{
    StartSaver();
    EXPECT_FALSE(w32test::IsCursorVisible());
    SetCursor(LoadCursorA(NULL, IDC_ARROW));
    EXPECT_EQ(SendMessageA(saver, WM_SETCURSOR, (WPARAM)saver, 0), 1);
    EXPECT_FALSE(w32test::IsCursorVisible());
}

TEST_F(EndingRules, TheTitleNeverChanges)
{
    StartSaver();
    EXPECT_EQ(SendMessageA(saver, WM_SETTEXT, 0, (LPARAM) "Renamed"), 0);
    EXPECT_EQ(FindWindowA(saverClass, "Screen Saver"), saver);
    EXPECT_EQ(FindWindowA(saverClass, "Renamed"), (HWND)NULL);
}

TEST_F(EndingRules, SystemCommandsThatWouldLeaveTheSaverAreSwallowed)
{
    StartSaver();
    for (WPARAM command : {(WPARAM)SC_SCREENSAVE, (WPARAM)SC_NEXTWINDOW, (WPARAM)SC_PREVWINDOW}) {
        EXPECT_EQ(SendMessageA(saver, WM_SYSCOMMAND, command, 0), 0);
        Pump();
        EXPECT_TRUE(Running());
    }
    // Anything else takes its normal course: a close command closes.
    SendMessageA(saver, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    EXPECT_FALSE(Running());
}

TEST_F(EndingRules, OnceClosingTicksAreDropped)
{
    StartSaver();
    closeAllowed = true;
    EXPECT_EQ(SendMessageA(saver, WM_TIMER, 1, 0), 0);
}

// The preview lives inside another window and answers none of the rules.
static std::vector<MSG> hostMessages;

LRESULT CALLBACK RecordingHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_HELP || message == WM_CONTEXTMENU)
        hostMessages.push_back(MSG{window, message, wParam, lParam, 0, {0, 0}});
    return DefWindowProcA(window, message, wParam, lParam);
}

class Preview : public ShellFixture {
protected:
    HWND StartPreview(HWND host)
    {
        PostQuitMessage(0);
        EXPECT_EQ(RunSaverWindow(host), 0);
        HWND preview = saverWindow;  // a child: FindWindowA finds top-level windows only
        EXPECT_NE(preview, (HWND)NULL);
        Pump();
        return preview;
    }
};

TEST_F(Preview, IgnoresInputAndEndsWithItsHost)
{
    HWND host = w32test::CreateForeignWindow(152, 112);
    HWND preview = StartPreview(host);
    EXPECT_EQ(GetParent(preview), host);
    w32test::SetCursorPos(10, 10);
    for (UINT message : {WM_MOUSEMOVE, WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
        w32test::SetCursorPos(100, 90);
        w32test::InjectInput(preview, message, 0, 0);
        Pump();
        EXPECT_TRUE(IsWindow(preview)) << std::hex << message;
    }
    w32test::DestroyForeignWindow(host);
    EXPECT_FALSE(IsWindow(preview));
    MSG quit;
    bool quitPosted = false;
    while (PeekMessageA(&quit, NULL, 0, 0, PM_REMOVE))
        quitPosted |= quit.message == WM_QUIT && quit.wParam == 0;
    EXPECT_TRUE(quitPosted);
}

TEST_F(Preview, ForwardsHelpAndContextMenuToItsParent)
{
    WNDCLASSA cls = {};
    cls.lpfnWndProc = RecordingHostProc;
    cls.lpszClassName = "RecordingHost";
    RegisterClassA(&cls);
    HWND host = CreateWindowExA(0, "RecordingHost", "panel", WS_POPUP | WS_VISIBLE, 0, 0, 152, 112, NULL, NULL,
                                NULL, NULL);
    HWND preview = StartPreview(host);
    hostMessages.clear();
    EXPECT_EQ(SendMessageA(preview, WM_HELP, 0, 1234), 1);
    EXPECT_EQ(SendMessageA(preview, WM_CONTEXTMENU, (WPARAM)preview, 0x00100020), 1);
    Pump();
    ASSERT_EQ(hostMessages.size(), 2u);
    EXPECT_EQ(hostMessages[0].message, (UINT)WM_HELP);
    EXPECT_EQ(hostMessages[0].wParam, (WPARAM)host);
    EXPECT_EQ(hostMessages[0].lParam, 1234);
    EXPECT_EQ(hostMessages[1].message, (UINT)WM_CONTEXTMENU);
    EXPECT_EQ(hostMessages[1].wParam, (WPARAM)host);
    EXPECT_EQ(hostMessages[1].lParam, 0x00100020);
    EXPECT_TRUE(IsWindow(preview));
}

// The Windows 95/98 family: a saver password checked through the platform's
// verifier before the saver may close.
static int verifyCalls;
static BOOL verifyAnswer;
static bool verifyReenters;
static POINT pointerAfterDialog;

BOOL WINAPI FakeVerifyScreenSavePwd(HWND window)
{
    ++verifyCalls;
    // A real dialog shows the pointer and the user moves it.
    SetCursor(LoadCursorA(NULL, IDC_ARROW));
    w32test::SetCursorPos(pointerAfterDialog.x, pointerAfterDialog.y);
    if (verifyReenters) {
        // A close request arriving while the dialog runs is refused without a second dialog.
        EXPECT_FALSE(VerifyBeforeClose(window));
        SendMessageA(window, WM_CLOSE, 0, 0);
    }
    return verifyAnswer;
}

static std::vector<std::pair<HWND, HIMC>> immCalls;

HIMC WINAPI FakeImmAssociateContext(HWND window, HIMC context)
{
    immCalls.push_back({window, context});
    return context == NULL ? (HIMC)0x77 : NULL;
}

class Win9xPassword : public EndingRules {
protected:
    void SetUp() override
    {
        EndingRules::SetUp();
        w32test::SetPlatformId(VER_PLATFORM_WIN32_WINDOWS);
        w32test::RegisterModule("PASSWORD.CPL",
                                {{"VerifyScreenSavePwd", w32test::AsFarProc(&FakeVerifyScreenSavePwd)}});
        verifyCalls = 0;
        verifyAnswer = FALSE;
        verifyReenters = false;
        pointerAfterDialog = POINT{640, 480};
    }

    void TearDown() override
    {
        UnloadPasswordVerifier();
        EndingRules::TearDown();
    }

    void EnablePassword(DWORD value = 1)
    {
        w32test::SetRegistryDword(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword", value);
    }

    // The verifier is held for the whole message loop; the tests take the
    // loop's place, so they load it once the window is up.
    void StartProtectedSaver()
    {
        StartSaver();
        LoadPasswordVerifier();
    }
};

TEST_F(Win9xPassword, NoValueOrZeroMeansNoPassword)
{
    for (int value : {-1, 0}) {
        ResetShell();
        w32test::ResetWindowing();
        w32test::ClearRegistry();
        if (value == 0)
            EnablePassword(0);
        StartProtectedSaver();
        EXPECT_EQ(passwordLibrary, (HMODULE)NULL);
        EXPECT_FALSE(w32test::ScreenSaverRunning());
        Inject(WM_KEYDOWN, 'A');
        EXPECT_FALSE(Running());
        EXPECT_EQ(verifyCalls, 0);
    }
}

TEST_F(Win9xPassword, ALibraryWithoutTheEntryPointIsUnloadedAgain)
{
    EnablePassword();
    w32test::RegisterModule("PASSWORD.CPL", {});
    StartProtectedSaver();
    EXPECT_EQ(passwordLibrary, (HMODULE)NULL);
    EXPECT_EQ(w32test::ModuleReferenceCount("PASSWORD.CPL"), 0);
    EXPECT_FALSE(w32test::ScreenSaverRunning());
}

TEST_F(Win9xPassword, ARefusedPasswordKeepsTheSaverRunning)
{
    EnablePassword();
    StartProtectedSaver();
    EXPECT_TRUE(w32test::ScreenSaverRunning());

    Inject(WM_KEYDOWN, 'A');
    EXPECT_EQ(verifyCalls, 1);
    EXPECT_TRUE(Running());
    EXPECT_FALSE(closeAllowed);
    EXPECT_FALSE(w32test::IsCursorVisible());  // hidden again after the dialog
    EXPECT_EQ(lastCursor.x, 640);               // movement is measured afresh
    EXPECT_EQ(lastCursor.y, 480);

    // Within 200 ms of the refusal a new request is refused without asking.
    lastVerifyTick = GetTickCount();
    Inject(WM_LBUTTONDOWN);
    EXPECT_EQ(verifyCalls, 1);
    EXPECT_TRUE(Running());

    // Later the dialog comes back, and an accepted password closes.
    lastVerifyTick = GetTickCount() - 200;
    verifyAnswer = TRUE;
    Inject(WM_KEYDOWN, 'B');
    EXPECT_EQ(verifyCalls, 2);
    EXPECT_FALSE(Running());

    UnloadPasswordVerifier();
    EXPECT_FALSE(w32test::ScreenSaverRunning());
    EXPECT_EQ(w32test::ModuleReferenceCount("PASSWORD.CPL"), 0);
}

TEST_F(Win9xPassword, ThePauseIsMeasuredAcrossTheTickCounterWrap)
{
    EnablePassword();
    StartProtectedSaver();
    w32test::SetTickCountOffset(0);
    // Put the counter just past its wrap: 0x100 ms after zero.
    w32test::SetTickCountOffset((DWORD)(0x100u - GetTickCount()));

    lastVerifyTick = (DWORD)(0x100u - 100u);  // 100 ms ago, before the wrap
    Inject(WM_KEYDOWN, 'A');
    EXPECT_EQ(verifyCalls, 0);

    lastVerifyTick = (DWORD)(0x100u - 300u);  // 300 ms ago, before the wrap
    Inject(WM_KEYDOWN, 'A');
    EXPECT_EQ(verifyCalls, 1);
    w32test::SetTickCountOffset(0);
}

TEST_F(Win9xPassword, ACloseRequestDuringVerificationIsRefused)
{
    EnablePassword();
    verifyReenters = true;
    StartProtectedSaver();
    Inject(WM_KEYDOWN, 'A');
    EXPECT_EQ(verifyCalls, 1);
    EXPECT_TRUE(Running());
    EXPECT_FALSE(verifying);
}

TEST_F(Win9xPassword, TheVerificationRequestAsksTheVerifier)
{
    EnablePassword();
    StartProtectedSaver();
    verifyAnswer = TRUE;
    EXPECT_EQ(SendMessageA(saver, WM_APP, 0, 0), TRUE);
    UnloadPasswordVerifier();
    EXPECT_EQ(SendMessageA(saver, WM_APP, 0, 0), 1);  // no verifier: may close
    EXPECT_EQ(verifyCalls, 1);
}

TEST_F(EndingRules, TheInputContextIsDetachedAndRestored)
{
    immCalls.clear();
    w32test::RegisterModule("IMM32.DLL", {{"ImmAssociateContext", w32test::AsFarProc(&FakeImmAssociateContext)}});
    // Never loaded by the saver itself: without the process having it, nothing happens.
    StartSaver();
    EXPECT_TRUE(immCalls.empty());
    DestroyWindow(saver);

    ResetShell();
    w32test::ResetWindowing();
    w32test::MarkModuleLoaded("IMM32.DLL");
    StartSaver();
    ASSERT_EQ(immCalls.size(), 1u);
    EXPECT_EQ(immCalls[0], std::make_pair(saver, (HIMC)NULL));
    DestroyWindow(saver);
    ASSERT_EQ(immCalls.size(), 2u);
    EXPECT_EQ(immCalls[1], std::make_pair(saver, (HIMC)0x77));
}

}  // namespace
