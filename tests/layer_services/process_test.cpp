// Process services: command line, version, ticks, exit, the screen-saver
// flag, the exception filter, message boxes and dialogs.
#include "testing/doubles/dialog_seams.h"
#include "platform/posix/process.h"
#include "testing/doubles/sys_seams.h"
#include "resources/resource_ids.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

struct CommandLineCase {
    std::vector<std::string> argv;
    const char* commandLine;
    const char* tail;
};

TEST(CommandLine, BuiltFromTheArguments)
{
    const CommandLineCase cases[] = {
        {{"brackwold"}, "brackwold", ""},
        {{"/usr/bin/brackwold", "/s"}, "/usr/bin/brackwold /s", "/s"},
        {{"/usr/bin/brackwold", "/p", "1234"}, "/usr/bin/brackwold /p 1234", "/p 1234"},
        {{"/opt/My Saver/brackwold", "/c:77"}, "\"/opt/My Saver/brackwold\" /c:77", "/c:77"},
        {{"/opt/My Saver/brackwold"}, "\"/opt/My Saver/brackwold\"", ""},
        {{"brackwold", "two words", "x"}, "brackwold \"two words\" x", "\"two words\" x"},
        {{"brackwold", "\t/s"}, "brackwold \t/s", "/s"},
        {{"brackwold", "", "/s"}, "brackwold  /s", "/s"},
        {{}, "", ""},
    };
    for (const CommandLineCase& c : cases) {
        w32test::SetProcessArguments(c.argv);
        EXPECT_STREQ(c.commandLine, GetCommandLineA());
        EXPECT_STREQ(c.tail, w32::CommandLineTail());
    }
}

TEST(CommandLine, TakenFromTheEntry)
{
    char program[] = "/usr/games/brackwold";
    char mode[] = "/p";
    char handle[] = "4194305";
    char* argv[] = {program, mode, handle, nullptr};
    w32::SetProcessArguments(3, argv);
    EXPECT_STREQ("/usr/games/brackwold /p 4194305", GetCommandLineA());
    EXPECT_STREQ("/p 4194305", w32::CommandLineTail());
}

// The rest of CharNextA, GetVersionExA and LoadStringA runs against Windows
// too (tests/semantics); Windows would fault on these null pointers.
TEST(NullPointers, CharNextVersionAndStringsRefuseThem)
{
    EXPECT_EQ(nullptr, CharNextA(nullptr));
    EXPECT_FALSE(GetVersionExA(nullptr));
    EXPECT_EQ(0, LoadStringA(nullptr, IDS_SETTINGS_FILE, nullptr, 8));
}

TEST(Version, ReportsThePlatformIdItIsGiven)
{
    OSVERSIONINFOA info;
    w32test::SetPlatformId(VER_PLATFORM_WIN32_WINDOWS);
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS), info.dwPlatformId);
    w32test::ResetPlatformId();
}

TEST(TickCount, AdvancesAcrossSleepAndWraps)
{
    DWORD before = GetTickCount();
    Sleep(30);
    EXPECT_GE(GetTickCount() - before, 30u);

    w32test::SetTickCountOffset(0u - GetTickCount() - 10u);  // 10 ms before the wrap
    DWORD nearEnd = GetTickCount();
    EXPECT_GT(nearEnd, 0xFFFFFF00u);
    Sleep(30);
    DWORD afterWrap = GetTickCount();
    EXPECT_LT(afterWrap, 1000u);
    EXPECT_GE(static_cast<DWORD>(afterWrap - nearEnd), 30u);
    w32test::SetTickCountOffset(0);
    Sleep(0);  // gives up the time slice and returns
}

struct ExitCalled {
    UINT code;
};

TEST(ExitProcess, HookSeesTheCode)
{
    w32test::SetExitProcessHook([](UINT code) { throw ExitCalled{code}; });
    try {
        ExitProcess(42);
    } catch (const ExitCalled& exit) {
        EXPECT_EQ(42u, exit.code);
    }
    w32test::SetExitProcessHook(nullptr);
}

TEST(ExitProcessDeathTest, EndsWithTheCodeAfterFlushing)
{
    EXPECT_EXIT(
        {
            static char buffer[256];
            setvbuf(stderr, buffer, _IOFBF, sizeof buffer);
            fputs("still buffered", stderr);
            ExitProcess(7);
        },
        ::testing::ExitedWithCode(7), "still buffered");
    EXPECT_EXIT(ExitProcess(static_cast<UINT>(-1)), ::testing::ExitedWithCode(255), "");
}

#if BRACKWOLD_LEAK_CHECKED
// Memory nothing points to any more, made where the caller's frame cannot
// keep a copy of the pointer.
__attribute__((noinline)) void LoseMemory()
{
    [[maybe_unused]] static int* volatile held;
    held = new int[1000];
    held = nullptr;
}
#endif

TEST(ExitProcessDeathTest, ChecksForLeaksInSanitizerBuilds)
{
#if BRACKWOLD_LEAK_CHECKED
    EXPECT_EXIT(ExitProcess(3), ::testing::ExitedWithCode(3), "") << "no leak of its own";
    EXPECT_EXIT((LoseMemory(), ExitProcess(0)), ::testing::ExitedWithCode(23), "LeakSanitizer.*4000 byte");
#else
    GTEST_SKIP() << "only sanitizer builds check for leaks";
#endif
}

TEST(ScreenSaverRunning, FlagKeepsThePreviousState)
{
    w32test::SetScreenSaverRunning(false);
    BOOL previous = 99;
    ASSERT_TRUE(SystemParametersInfoA(SPI_SCREENSAVERRUNNING, 1, &previous, 0));
    EXPECT_FALSE(previous);
    EXPECT_TRUE(w32test::ScreenSaverRunning());
    ASSERT_TRUE(SystemParametersInfoA(SPI_SCREENSAVERRUNNING, 1, &previous, 0));
    EXPECT_TRUE(previous);
    ASSERT_TRUE(SystemParametersInfoA(SPI_SCREENSAVERRUNNING, 0, nullptr, 0));
    EXPECT_FALSE(w32test::ScreenSaverRunning());
    EXPECT_FALSE(SystemParametersInfoA(0x0010, 0, &previous, 0)) << "other actions do not exist here";
}

TEST(UnhandledException, ReportsAndHandles)
{
    EXCEPTION_RECORD record{};
    record.ExceptionCode = 0xC0000005u;
    EXCEPTION_POINTERS pointers{&record, nullptr};
    int before = w32test::UnhandledExceptionCount();

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(EXCEPTION_EXECUTE_HANDLER, UnhandledExceptionFilter(&pointers));
    EXPECT_EQ(EXCEPTION_EXECUTE_HANDLER, UnhandledExceptionFilter(nullptr));
    std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, report.find("0xC0000005"));

    EXCEPTION_POINTERS* seen = nullptr;
    w32test::SetUnhandledExceptionHook([&](EXCEPTION_POINTERS* p) {
        seen = p;
        return static_cast<LONG>(EXCEPTION_CONTINUE_SEARCH);
    });
    EXPECT_EQ(EXCEPTION_CONTINUE_SEARCH, UnhandledExceptionFilter(&pointers));
    EXPECT_EQ(&pointers, seen);
    w32test::SetUnhandledExceptionHook(nullptr);
    EXPECT_EQ(before + 3, w32test::UnhandledExceptionCount());
}

TEST(MessageBox, WritesToStderrAndRecords)
{
    w32test::SuppressMessageBoxes(true);
    w32test::ClearMessageBoxCalls();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "Could not set up OpenGL.", "Error", MB_OK | MB_ICONERROR));
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, nullptr, nullptr, MB_OK));
    std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ("Error: Could not set up OpenGL.\nError: \n", printed);
    auto calls = w32test::MessageBoxCalls();
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ("Could not set up OpenGL.", calls[0].text);
    EXPECT_EQ("Error", calls[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), calls[0].type);
    w32test::ClearMessageBoxCalls();
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// A missing template fails with -1 as on Windows. A null procedure fails too:
// Windows would run a dialog that no code of ours could ever end. The one
// good call proves the failures are not the seam's doing.
TEST(DialogBox, RefusesWhatItCannotRun)
{
    w32test::ScriptDialogs([](HWND dialog, HWND) { EndDialog(dialog, 42); });
    HINSTANCE self = GetModuleHandleA(nullptr);
    EXPECT_EQ(42, DialogBoxParamA(self, MAKEINTRESOURCE(IDD_CONFIG), nullptr, QuietDialogProc, 0));
    EXPECT_EQ(-1, DialogBoxParamA(self, MAKEINTRESOURCE(9999), nullptr, QuietDialogProc, 0));
    EXPECT_EQ(-1, DialogBoxParamA(self, nullptr, nullptr, QuietDialogProc, 0));
    EXPECT_EQ(-1, DialogBoxParamA(self, MAKEINTRESOURCE(IDD_CONFIG), nullptr, nullptr, 0));
    w32test::ScriptDialogs(nullptr);
}

}  // namespace
