// The Linux process entry as main() runs it, up to the shell: what each
// command line and $XSCREENSAVER_WINDOW decide, what the user reads, the
// command line the shell then sees, and the settings the saver then loads
// (the options stand in for the file's values).
// Whatever the entry complains about, the shell must refuse.
#include "platform/posix/process.h"
#include "shell/start_process.h"
#include "testing/offscreen/offscreen_seams.h"
#include "testing/doubles/sys_seams.h"
#include "testing/doubles/window_seams.h"
#include "settings/settings.h"
#include "shell/shell.h"

#include <gtest/gtest.h>
#include "tests/settings/config_folder.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

const int runsShell = 1000;  // not an exit code: WinMain runs next

struct Outcome {
    int code;  // the exit code, or runsShell
    std::string out, err, tail;
};

// Captures one stream the entry writes to.
struct Capture {
    char* text = nullptr;
    size_t size = 0;
    FILE* file = open_memstream(&text, &size);
    std::string Close()
    {
        fclose(file);
        std::string s(text, size);
        free(text);
        return s;
    }
};

Outcome Start(const std::vector<std::string>& args, const char* xscreensaverWindow)
{
    std::vector<std::string> argv = {"brackwold"};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (std::string& a : argv)
        pointers.push_back(a.data());
    pointers.push_back(nullptr);
    Capture out, err;
    ProcessStart start = StartProcess((int)argv.size(), pointers.data(), xscreensaverWindow, out.file, err.file);
    Outcome o{start.runShell ? runsShell : start.exitCode, out.Close(), err.Close(), w32::CommandLineTail()};
    return o;
}

class ProcessEntry : public ::testing::Test, protected ConfigFolder {
protected:
    void SetUp() override
    {
        WriteIni("[Brackwold]\nPoly Resolution=20\nSize=40\nChar Delay=100\nSounds=1\n");
        w32test::ResetWindowing();
        w32test::ResetPlatformId();
        host = w32test::CreateForeignWindow(160, 120);
    }

    void TearDown() override
    {
        ClearSettingOverrides();
        w32test::ResetWindowing();
        w32test::ResetPlatformId();
    }

    HWND host = NULL;
};

std::string LoadedSettings()
{
    LoadSettings();
    return std::to_string(polyResolution) + " " + std::to_string(sizePercent) + " " + std::to_string(charDelay) +
           " " + std::to_string(soundsOn);
}

TEST_F(ProcessEntry, DecidesWhatRunsAndSaysWhy)
{
    const std::string hostId = std::to_string((uintptr_t)host);
    const struct {
        std::vector<std::string> args;  // "HOST" stands for the host window's id
        const char* env;                // $XSCREENSAVER_WINDOW, nullptr when unset
        int code;
        const char* said;      // part of stderr; "" when nothing is written there
        const char* tail;      // the shell's command line, when it runs
        const char* settings;  // as the saver then loads them, when it runs
    } rows[] = {
        // Options override the file for this run, clamped as the file's
        // values, the last one winning; the shell runs the full-screen saver.
        {{"--size", "95", "--poly-resolution", "9", "--no-sounds"}, nullptr, runsShell, "", "/s", "10 90 100 0"},
        {{"--size=-3", "--char-delay", "1000", "--no-sounds", "--sounds"}, nullptr, runsShell, "", "/s", "20 30 360 1"},
        {{"-char-delay", "14", "--poly-resolution=+31"}, "7", runsShell, "", "/s", "30 40 15 1"},
        {{"-size", "50"}, nullptr, runsShell, "", "/s", "20 50 100 1"},
        {{"-fps", "--size", "50"}, nullptr, runsShell, "", "/s", "20 50 100 1"},
        {{"--fps=1"}, nullptr, -1, "takes no value", nullptr, nullptr},
        // --help wins wherever it stands, unless an option is wrong.
        {{"--help"}, nullptr, 0, "", nullptr, nullptr},
        {{"--root", "--size", "x", "--help"}, nullptr, -1, "whole number", nullptr, nullptr},
        {{"--root", "--help"}, "0x2a00007", 0, "", nullptr, nullptr},
        // The window to draw on: this backend has no other clients, so the
        // complaint names the window the entry read.
        {{"--root"}, "0x2a00007", -1, "no window 0x2a00007", nullptr, nullptr},
        {{"--window-id", "44040199"}, "1", -1, "no window 0x2a00007", nullptr, nullptr},
        {{"--window-id=0x2A00007"}, nullptr, -1, "no window 0x2a00007", nullptr, nullptr},
        {{"--root"}, nullptr, -1, "cannot reach the root window", nullptr, nullptr},
        {{"--root"}, "0x", -1, "XSCREENSAVER_WINDOW", nullptr, nullptr},
        {{"--root"}, " 7", -1, "XSCREENSAVER_WINDOW", nullptr, nullptr},
        {{"--window-id", "\t7"}, nullptr, -1, "window id", nullptr, nullptr},
        {{"--window-id", " 7"}, nullptr, -1, "window id", nullptr, nullptr},
        {{"--window-id", "+7"}, nullptr, -1, "window id", nullptr, nullptr},
        {{"--window-id", "0"}, nullptr, -1, "window id", nullptr, nullptr},
        {{"--window-id", "0x100000000"}, nullptr, -1, "window id", nullptr, nullptr},
        {{"--window-id", "12ab"}, nullptr, -1, "window id", nullptr, nullptr},
        {{"--window-id"}, nullptr, -1, "needs a value", nullptr, nullptr},
        {{"--size", "abc"}, nullptr, -1, "whole number", nullptr, nullptr},
        {{"--size="}, nullptr, -1, "whole number", nullptr, nullptr},
        {{"--size", "\n5"}, nullptr, -1, "whole number", nullptr, nullptr},
        {{"--char-delay", "99999999999"}, nullptr, -1, "whole number", nullptr, nullptr},
        {{"--sounds=1"}, nullptr, -1, "takes no value", nullptr, nullptr},
        {{"--speed", "3"}, nullptr, -1, "unknown option '--speed'", nullptr, nullptr},
        {{"--s"}, nullptr, -1, "unknown option '--s'", nullptr, nullptr},
        // Options and switches do not combine, in either order.
        {{"--root", "/s"}, nullptr, -1, "options and switches do not combine: '/s' and '--root'", nullptr, nullptr},
        {{"/s", "-size", "50", "--fps"}, nullptr, -1, "do not combine: '/s' and '-size'", nullptr, nullptr},
        {{"-size", "50", "--fps", "/s"}, nullptr, -1, "do not combine: '/s' and '-size'", nullptr, nullptr},
        // The shell's switches pass as they are, with the file's settings;
        // what the shell will refuse is explained.
        {{}, nullptr, runsShell, "", "", "20 40 100 1"},
        {{"-s"}, nullptr, runsShell, "", "-s", "20 40 100 1"},
        {{"/S", "extra"}, "0x2a00007", runsShell, "", "/S extra", nullptr},
        {{"/c:1234"}, nullptr, runsShell, "", "/c:1234", nullptr},
        {{"/p", "HOST"}, nullptr, runsShell, "", nullptr, nullptr},
        {{"/x"}, nullptr, runsShell, "unknown switch '/x'", nullptr, nullptr},
        {{"/p"}, nullptr, runsShell, "decimal id of a window", nullptr, nullptr},
        {{"/p", "abc"}, nullptr, runsShell, "decimal id of a window", nullptr, nullptr},
        {{"/l:HOST"}, nullptr, runsShell, "decimal id of a window", nullptr, nullptr},
        {{"/p", "0x200001"}, nullptr, runsShell, "decimal id of a window", nullptr, nullptr},
        {{"/p", "4294967296"}, nullptr, runsShell, "decimal id of a window", nullptr, nullptr},
        {{"/p", "99"}, nullptr, runsShell, "no window 99", nullptr, nullptr},
        {{"/a", "HOST"}, nullptr, runsShell, "Windows 95 and 98", nullptr, nullptr},
    };
    for (const auto& row : rows) {
        std::vector<std::string> args = row.args;
        std::string trace;
        for (std::string& a : args) {
            size_t at = a.find("HOST");
            if (at != std::string::npos)
                a.replace(at, 4, hostId);
            trace += "[" + a + "] ";
        }
        SCOPED_TRACE(trace + "| " + (row.env ? row.env : "(unset)"));
        ClearSettingOverrides();
        showFrameRate = false;
        Outcome o = Start(args, row.env);
        EXPECT_EQ(row.code == runsShell && trace.find("fps") != std::string::npos, showFrameRate);

        EXPECT_EQ(row.code, o.code);
        if (*row.said) {
            EXPECT_NE(std::string::npos, o.err.find(row.said)) << o.err;
            EXPECT_EQ(0u, o.err.rfind("brackwold: ", 0)) << o.err;
            EXPECT_EQ('\n', o.err.back());
        } else {
            EXPECT_EQ("", o.err);
        }
        EXPECT_EQ(row.code == 0, o.out.find("--window-id ID") != std::string::npos) << "the help, only for --help";
        if (row.tail) {
            EXPECT_EQ(row.tail, o.tail);
        }
        if (row.settings) {
            EXPECT_EQ(row.settings, LoadedSettings());
        }
        // The shell refuses, with -1, what the entry explained; it starts
        // nothing then.
        if (row.code == runsShell && *row.said) {
            EXPECT_EQ(-1, ShellMain(NULL, const_cast<LPSTR>(o.tail.c_str())));
        }
    }
}

// The password change runs where it exists: the entry does not complain.
TEST_F(ProcessEntry, PasswordChangeOnTheWindows9xFamilyIsNoComplaint)
{
    w32test::SetPlatformId(VER_PLATFORM_WIN32_WINDOWS);
    Outcome o = Start({"/a"}, nullptr);
    EXPECT_EQ(runsShell, o.code);
    EXPECT_EQ("", o.err);
}

}  // namespace
