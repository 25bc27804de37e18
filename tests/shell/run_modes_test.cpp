// The switch table, window-handle parsing, the command-line walk of the
// process entry and the exception guard, run against the headless layer.
#include "shell/shell.h"
#include "stage/stage.h"
#include "testing/doubles/sys_seams.h"
#include "testing/doubles/window_seams.h"
#include "testing/offscreen/offscreen_seams.h"
#include "resources/resource_ids.h"
// Where the layer keeps the stage window's position.
#include "platform/posix/layer_internal.h"
#include "shell_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <string>

namespace {

struct ExitCalled {
    UINT code;
};

TEST(ParseWindowHandle, ReadsLeadingDecimalDigitsWithWrapping)
{
    const struct {
        const char* text;
        UINT_PTR value;
    } cases[] = {
        {"1234", 1234},
        {"0", 0},
        {"", 0},
        {":1234", 0},           // no separator is skipped
        {"-5", 0},              // no sign
        {"abc", 0},
        {"12ab", 12},
        {"4294967295", 4294967295u},
        {"4294967296", 0},      // wraps in 32 bits
        {"4294967297", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ((UINT_PTR)ParseWindowHandle(c.text), c.value) << c.text;
    // 2^64 + 1: a long run of digits keeps only the low 32 bits, never overflows.
    EXPECT_EQ((UINT_PTR)ParseWindowHandle("18446744073709551617"), (UINT_PTR)1);
}

class RunModes : public ShellFixture {};

TEST_F(RunModes, SaverSwitchesStartTheFullScreenSaver)
{
    for (const char* args : {"/s", "-S", "s", "   /s", "S extra"}) {
        ResetShell();
        // A quit posted ahead ends the message loop once the window exists;
        // its code comes back as the mode's result.
        PostQuitMessage(7);
        EXPECT_EQ(ShellMain(NULL, const_cast<LPSTR>(args)), 7) << args;
        EXPECT_NE(FindWindowA("WindowsScreenSaverClass", "Screen Saver"), (HWND)NULL) << args;
        EXPECT_FALSE(previewMode);
    }
}

TEST_F(RunModes, ASecondFullScreenSaverEndsAtOnceWithZero)
{
    PostQuitMessage(7);
    ASSERT_EQ(ShellMain(NULL, const_cast<LPSTR>("/s")), 7);
    HWND first = FindWindowA("WindowsScreenSaverClass", "Screen Saver");
    ASSERT_NE(first, (HWND)NULL);
    EXPECT_EQ(ShellMain(NULL, const_cast<LPSTR>("/s")), 0);
    EXPECT_TRUE(IsWindow(first));
    EXPECT_EQ(GetForegroundWindow(), first);
}

TEST_F(RunModes, BadPreviewHandlesFailWithoutAWindow)
{
    for (const char* args : {"/p 0", "/p abc", "/p", "/p 4294967296", "/p 123456"}) {
        EXPECT_EQ(ShellMain(NULL, const_cast<LPSTR>(args)), -1) << args;
        EXPECT_EQ(saverWindow, (HWND)NULL) << args;  // no saver window was ever created
    }
}

TEST_F(RunModes, PreviewRunsAsAChildOfTheGivenWindow)
{
    // A preview area belongs to another program: its handle arrives as a number.
    for (const char letter : {'p', 'L'}) {
        ResetShell();
        HWND host = w32test::CreateForeignWindow(152, 112);
        std::string args = std::string("/") + letter + "  " + std::to_string((UINT_PTR)host);
        PostQuitMessage(3);
        EXPECT_EQ(ShellMain(NULL, const_cast<LPSTR>(args.c_str())), 3) << args;
        EXPECT_TRUE(previewMode);
        // A child is not found by FindWindowA; the stage keeps the saver window.
        HWND preview = saverWindow;
        ASSERT_NE(preview, (HWND)NULL);
        EXPECT_EQ(GetParent(preview), host);
        RECT client;
        GetClientRect(preview, &client);
        EXPECT_EQ(client.right, 152);
        EXPECT_EQ(client.bottom, 112);
        DestroyWindow(preview);
    }
}

// Every monitor goes dark: the saver window covers the virtual screen. The
// show keeps to the primary: over the banner's whole sweep the stage bounces
// off exactly the primary's edges above the strip, and nothing is drawn
// into the saver window outside the primary's strip.
TEST_F(RunModes, FullScreenSaverCoversEveryMonitorAndShowsOnThePrimary)
{
    struct Layout {
        const char* name;
        RECT virtualScreen;  // around an 800 x 600 primary at (0, 0)
    };
    const Layout layouts[] = {
        {"one monitor", {0, 0, 800, 600}},
        {"a second monitor to the right", {0, 0, 1600, 600}},
        {"the primary on the right", {-800, 0, 800, 600}},
        {"the primary below a wider monitor", {-112, -768, 912, 600}},
        {"no virtual-screen metrics (Windows 95)", {0, 0, 0, 0}},
    };
    for (const Layout& l : layouts) {
        SCOPED_TRACE(l.name);
        w32test::ResetWindowing();
        ResetShell();
        ResetSceneState();
        w32test::SetScreenSize(800, 600);
        w32test::SetVirtualScreen(l.virtualScreen);
        RECT window = l.virtualScreen.right ? l.virtualScreen : RECT{0, 0, 800, 600};
        PostQuitMessage(0);
        ShellMain(GetModuleHandleA(NULL), const_cast<LPSTR>("/s"));  // the banner is its resource
        HWND saver = FindWindowA("WindowsScreenSaverClass", "Screen Saver");
        ASSERT_NE(saver, (HWND)NULL);
        RECT client;
        GetClientRect(saver, &client);
        POINT corner = {window.left, window.top};
        ScreenToClient(saver, &corner);
        EXPECT_EQ(client.right, window.right - window.left);
        EXPECT_EQ(client.bottom, window.bottom - window.top);
        EXPECT_EQ(corner.x, 0);
        EXPECT_EQ(corner.y, 0);

        // The primary's stage area in the saver window; the stage starts centred on it.
        const int left = -window.left, top = -window.top, right = left + 800, bottom = top + 580, side = 290;
        w32::Window* stage = w32::FindWindowRecord(stageWindow);
        ASSERT_NE(stage, nullptr);
        EXPECT_EQ(stage->width, side);
        EXPECT_EQ(stage->x, left + (800 - side) / 2);
        EXPECT_EQ(stage->y, top + (580 - side) / 2);
        scene.figure = 1;  // no mishap to hold the stage
        int outside = 0, minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
        for (int tick = 1; tick <= 3000; ++tick) {
            scene.clockNow = tick * 0.2f;  // the banner's whole sweep
            StageWindowProc(stageWindow, WM_TIMER, 1, 0);
            outside += stage->x < left || stage->y < top || stage->x + side > right || stage->y + side > bottom;
            minX = std::min(minX, stage->x), maxX = std::max(maxX, stage->x);
            minY = std::min(minY, stage->y), maxY = std::max(maxY, stage->y);
        }
        EXPECT_EQ(outside, 0) << "ticks with the stage off the primary's stage area";
        EXPECT_EQ(minX, left) << "it bounced off every edge of it";
        EXPECT_EQ(maxX, right - side);
        EXPECT_EQ(minY, top);
        EXPECT_EQ(maxY, bottom - side);

        w32test::Picture picture;
        ASSERT_TRUE(w32test::ReadWindowPixels(saver, &picture));
        int inStrip = 0, elsewhere = 0;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                if (picture.At(x, y) != 0)
                    ++(x >= left && x < right && y >= bottom && y < bottom + 20 ? inStrip : elsewhere);
        EXPECT_GT(inStrip, 0) << "the banner";
        EXPECT_EQ(elsewhere, 0) << "lit pixels outside the primary's banner strip";
        DestroyWindow(saver);
    }
    w32test::SetScreenSize(1024, 768);
}

TEST_F(RunModes, UnknownSwitchesAndPasswordChangeOutsideWin9xFail)
{
    for (const char* args : {"/x", "/a", "/a 1234", "-q", "/?"})
        EXPECT_EQ(ShellMain(NULL, const_cast<LPSTR>(args)), -1) << args;
}

TEST_F(RunModes, ConfigurationModesShowTheDialogAndReturnItsResult)
{
    HWND foreground = CreateHostWindow(100, 100);
    SetForegroundWindow(foreground);
    const struct {
        const char* args;
        HWND owner;
    } cases[] = {{"", NULL}, {"/c", foreground}, {"/c:1234", foreground}, {"  -C", foreground}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        bool shown = false;
        w32test::ScriptDialogs([&](HWND dialog, HWND owner) {
            shown = GetDlgItem(dialog, IDC_PLAY_SOUNDS) != NULL;  // the configuration template
            EXPECT_EQ(owner, c.owner);
            w32test::PressDialogKey(dialog, w32::DialogKey::Escape);
        });
        EXPECT_EQ(ShellMain(NULL, const_cast<LPSTR>(c.args)), 1);
        EXPECT_TRUE(shown);
    }
    EXPECT_EQ(FindWindowA("WindowsScreenSaverClass", NULL), (HWND)NULL);
}

// Fake "MPR.DLL" entry point: records its call.
static std::string changeProvider;
static HWND changeOwner;
static int changeCalls;
static bool changeThrows;

DWORD WINAPI FakePwdChangePassword(LPCSTR provider, HWND owner, DWORD, LPVOID)
{
    ++changeCalls;
    changeProvider = provider;
    changeOwner = owner;
    if (changeThrows)
        throw std::runtime_error("password store broke");
    return 0;
}

class PasswordChange : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        w32test::SetPlatformId(VER_PLATFORM_WIN32_WINDOWS);
        w32test::RegisterModule("MPR.DLL", {{"PwdChangePasswordA", w32test::AsFarProc(&FakePwdChangePassword)}});
        changeCalls = 0;
        changeOwner = NULL;
        changeThrows = false;
    }
};

TEST_F(PasswordChange, CallsTheProviderWithTheGivenOwner)
{
    HWND owner = CreateHostWindow(300, 200);
    std::string args = "/a " + std::to_string((UINT_PTR)owner);
    EXPECT_EQ(ShellMain(NULL, const_cast<LPSTR>(args.c_str())), 0);
    EXPECT_EQ(changeCalls, 1);
    EXPECT_EQ(changeProvider, "SCRSAVE");
    EXPECT_EQ(changeOwner, owner);
    EXPECT_EQ(w32test::ModuleReferenceCount("MPR.DLL"), 0);  // freed again
}

TEST_F(PasswordChange, ANonWindowHandleFallsBackToTheForegroundWindow)
{
    HWND foreground = CreateHostWindow(300, 200);
    SetForegroundWindow(foreground);
    EXPECT_EQ(ShellMain(NULL, const_cast<LPSTR>("A 99999")), 0);
    EXPECT_EQ(changeOwner, foreground);
    EXPECT_EQ(ShellMain(NULL, const_cast<LPSTR>("/a")), 0);
    EXPECT_EQ(changeOwner, foreground);
}

TEST_F(PasswordChange, AMissingLibraryOrEntryDoesNothing)
{
    w32test::RegisterModule("MPR.DLL", {});
    EXPECT_EQ(ShellMain(NULL, const_cast<LPSTR>("/a")), 0);
    w32test::UnregisterModule("MPR.DLL");
    EXPECT_EQ(ShellMain(NULL, const_cast<LPSTR>("/a")), 0);
    EXPECT_EQ(changeCalls, 0);
}

TEST_F(PasswordChange, AnEscapingExceptionIsOfferedToTheFilter)
{
    changeThrows = true;
    int offered = 0;
    w32test::SetUnhandledExceptionHook([&](EXCEPTION_POINTERS* pointers) {
        ++offered;
        EXPECT_NE(pointers->ExceptionRecord, nullptr);
        return (LONG)EXCEPTION_EXECUTE_HANDLER;
    });
    w32test::SetScreenSaverRunning(true);
    EXPECT_EQ(ShellMain(NULL, const_cast<LPSTR>("/a")), -1);
    EXPECT_EQ(offered, 1);
    EXPECT_FALSE(w32test::ScreenSaverRunning());  // the guard cleared the flag

    // A filter that declines lets the exception go on.
    w32test::SetUnhandledExceptionHook([](EXCEPTION_POINTERS*) { return (LONG)EXCEPTION_CONTINUE_SEARCH; });
    EXPECT_THROW(ShellMain(NULL, const_cast<LPSTR>("/a")), std::runtime_error);
    w32test::SetUnhandledExceptionHook(nullptr);
}

// Windows swallows an exception leaving the procedure during WM_CREATE, so
// the saver window's procedure ends the process itself: here the input-method
// library throws while the window is created, inside the message chain.
HIMC WINAPI ThrowingImmAssociateContext(HWND, HIMC)
{
    throw std::bad_alloc();
}

// With the real ExitProcess, in a child process: every offer to the filter
// is counted, and the process must end with -1 right after the first. The
// alarm turns a saver that carried on into a failure instead of a hang.
TEST_F(RunModes, AnExceptionInAWindowProcedureEndsTheProcessThroughTheFilter)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    w32test::RegisterModule("IMM32.DLL", {{"ImmAssociateContext", w32test::AsFarProc(&ThrowingImmAssociateContext)}});
    w32test::MarkModuleLoaded("IMM32.DLL");
    EXPECT_EXIT(
        {
            static int offers = 0;
            w32test::SetUnhandledExceptionHook([](EXCEPTION_POINTERS*) {
                fprintf(stderr, "offer %d\n", ++offers);
                return (LONG)EXCEPTION_EXECUTE_HANDLER;
            });
            alarm(20);
            const int result = ShellMain(NULL, const_cast<LPSTR>("/s"));
            fprintf(stderr, "ShellMain returned %d\n", result);
            exit(0);
        },
        ::testing::ExitedWithCode(255),
        ::testing::AllOf(::testing::HasSubstr("offer 1\n"), ::testing::Not(::testing::HasSubstr("offer 2"))));
}

// The process entry skips the program name (quoted or not) and the blanks
// after it. "/a" on the Windows 95/98 family returns 0 only when the switch
// was found, so a wrong walk shows as -1.
TEST_F(PasswordChange, EntrySkipsTheProgramNameAndBlanks)
{
    const std::vector<std::vector<std::string>> commandLines = {
        {"brackwold", "/a"},
        {"/usr/lib/my savers/brackwold.scr", "/a"},  // quoted: it has a space
    };
    for (const auto& argv : commandLines) {
        w32test::SetProcessArguments(argv);
        UINT exitCode = 12345;
        w32test::SetExitProcessHook([](UINT code) { throw ExitCalled{code}; });
        try {
            ShellEntry();
        } catch (const ExitCalled& exit) {
            exitCode = exit.code;
        }
        w32test::SetExitProcessHook(nullptr);
        EXPECT_EQ(exitCode, 0u) << GetCommandLineA();
    }
    w32test::SetProcessArguments({"brackwold", "/x"});
    w32test::SetExitProcessHook([](UINT code) { throw ExitCalled{code}; });
    UINT exitCode = 0;
    try {
        ShellEntry();
    } catch (const ExitCalled& exit) {
        exitCode = exit.code;
    }
    w32test::SetExitProcessHook(nullptr);
    EXPECT_EQ(exitCode, (UINT)-1);
}

}  // namespace
