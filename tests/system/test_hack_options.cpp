// XScreenSaver-style options as the Linux entry reads them, and their effect
// on the settings the saver loads: they win over the file for the keys they
// name, leave the other keys to the file, and are clamped like the file.
#include "platform/posix/entry/hack_options.h"
#include "platform/posix/entry/process.h"
#include "platform/posix/sys_seams.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>
#include <string>

namespace {

using w32::HackOptions;

std::string Settings(const HackOptions& o)
{
    std::string text;
    for (const auto& [key, value] : o.settings)
        text += key + "=" + value + ";";
    return text;
}

TEST(HackOptions, ParsesTheTable)
{
    const HWND none = NULL, host = (HWND)(uintptr_t)0x2a00007;
    const struct {
        std::vector<std::string> args;
        const char* env;  // $XSCREENSAVER_WINDOW
        HackOptions::Action action;
        bool onWindow;
        HWND window;
        const char* settings;
        const char* error;  // part of the message
    } rows[] = {
        {{"--root"}, nullptr, HackOptions::RunSaver, true, none, "", ""},
        {{"-root"}, "0x2a00007", HackOptions::RunSaver, true, host, "", ""},
        {{"--window-id", "0x2A00007"}, nullptr, HackOptions::RunSaver, true, host, "", ""},
        {{"-window-id=44040199"}, "1", HackOptions::RunSaver, true, host, "", ""},
        {{"--size", "80", "--no-sounds", "--poly-resolution=+12", "--char-delay", "-5"}, nullptr,
         HackOptions::RunSaver, false, none, "Size=80;Sounds=0;Poly Resolution=12;Char Delay=-5;", ""},
        {{"--no-sounds", "--sounds", "--size", "999999"}, nullptr, HackOptions::RunSaver, false, none,
         "Sounds=0;Sounds=1;Size=999999;", ""},
        {{"--root", "--help"}, nullptr, HackOptions::ShowHelp, true, none, "", ""},
        {{"-fps", "--window-id", "0x2a00007"}, nullptr, HackOptions::RunSaver, true, host, "", ""},
        {{"--fps=1"}, nullptr, HackOptions::Fail, false, none, "", "takes no value"},
        {{"--root"}, "0x", HackOptions::Fail, false, none, "", "XSCREENSAVER_WINDOW"},
        {{"--window-id", "0"}, nullptr, HackOptions::Fail, false, none, "", "window id"},
        {{"--window-id", "0x100000000"}, nullptr, HackOptions::Fail, false, none, "", "window id"},
        {{"--window-id", "12ab"}, nullptr, HackOptions::Fail, false, none, "", "window id"},
        {{"--window-id"}, nullptr, HackOptions::Fail, false, none, "", "needs a value"},
        {{"--size", "abc"}, nullptr, HackOptions::Fail, false, none, "", "whole number"},
        {{"--size="}, nullptr, HackOptions::Fail, false, none, "", "whole number"},
        {{"--char-delay", "99999999999"}, nullptr, HackOptions::Fail, false, none, "", "whole number"},
        {{"--sounds=1"}, nullptr, HackOptions::Fail, false, none, "", "takes no value"},
        {{"--speed", "3"}, nullptr, HackOptions::Fail, false, none, "", "unknown option '--speed'"},
        {{"--root", "/s"}, nullptr, HackOptions::Fail, false, none, "", "unknown option '/s'"},
    };
    for (const auto& row : rows) {
        std::string trace;
        for (const std::string& a : row.args)
            trace += a + " ";
        SCOPED_TRACE(trace + "| " + (row.env ? row.env : "(unset)"));
        HackOptions o = w32::ParseHackOptions(row.args, row.env);
        EXPECT_EQ(row.action, o.action);
        if (row.action == HackOptions::Fail) {
            EXPECT_NE(std::string::npos, o.error.find(row.error)) << o.error;
            continue;
        }
        EXPECT_EQ(row.onWindow, o.onWindow);
        EXPECT_EQ(row.window, o.window);
        EXPECT_EQ(row.settings, Settings(o));
        EXPECT_EQ(trace.find("fps") != std::string::npos, o.showFps);
    }
}

// Which command lines are ours and which go to the shell as they are (and
// whether the shell knows the switch).
TEST(HackOptions, TellsHackArgumentsFromShellSwitches)
{
    const struct {
        std::vector<std::string> args;
        bool hack;
    } lines[] = {
        {{"--root"}, true},       {{"-root"}, true},    {{"-window-id", "5"}, true}, {{"-size", "50"}, true},
        {{"--anything"}, true},   {{"--s"}, true},      {{"-s"}, false},             {{"/s"}, false},
        {{"-p", "123"}, false},   {{"/c:1234"}, false}, {{"s"}, false},              {{}, false},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.args.empty() ? "(none)" : line.args[0]);
        EXPECT_EQ(line.hack, w32::IsHackCommandLine(line.args));
    }
    EXPECT_TRUE(w32::IsShellSwitch(" -S"));
    EXPECT_FALSE(w32::IsShellSwitch("/x"));
}

// The options reach LoadSettings through the profile read and are clamped
// there exactly as the file's values.
TEST(HackOptions, OverrideTheFileAndAreClamped)
{
    char pattern[] = "/tmp/brkw-hack-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    std::string root = pattern;
    ASSERT_EQ(0, mkdir((root + "/brackwold").c_str(), 0755));
    setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    std::ofstream(root + "/brackwold/BRKW.ini")
        << "[Brackwold]\nPoly Resolution=20\nSize=40\nChar Delay=100\nSounds=1\n";

    const struct {
        std::vector<std::string> args;
        int resolution, size, delay;
        bool sounds;
    } rows[] = {
        {{}, 20, 40, 100, true},
        {{"--no-sounds"}, 20, 40, 100, false},
        {{"--size", "95", "--poly-resolution", "9"}, 10, 90, 100, true},
        {{"--size=-3", "--char-delay", "1000", "--no-sounds", "--sounds"}, 20, 30, 360, true},
        {{"--char-delay", "14", "--poly-resolution", "31"}, 30, 40, 15, true},
        {{"--char-delay", "200", "--poly-resolution", "25", "--size", "60"}, 25, 60, 200, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.args));
        w32test::ClearProfileOverrides();
        HackOptions o = w32::ParseHackOptions(row.args, nullptr);
        ASSERT_EQ(HackOptions::RunSaver, o.action);
        for (const auto& [key, value] : o.settings)
            w32::OverrideProfileValue("BRKW.ini", "Brackwold", key.c_str(), value.c_str());
        LoadSettings();
        EXPECT_EQ(row.resolution, polyResolution);
        EXPECT_EQ(row.size, sizePercent);
        EXPECT_EQ(row.delay, charDelay);
        EXPECT_EQ(row.sounds, soundsOn);
    }
    w32test::ClearProfileOverrides();
    ASSERT_EQ(0, system(("rm -rf '" + root + "'").c_str()));
}

}  // namespace
