// XScreenSaver-style options. Each takes one or two leading dashes, and a
// value either as the next argument or after "=". Numbers out of a
// setting's range are passed on as they are: the settings store clamps them
// exactly as it clamps the file's values.
#include "shell/hack_options.h"
#include "settings/settings.h"

#include <ctype.h>
#include <errno.h>
#include <stdlib.h>
#include <string.h>

namespace {

enum Kind { Flag, Number, WindowId };

struct OptionRow {
    const char* name;
    Kind kind;
    int setting;      // settingTable row, or -1
    int switchValue;  // the value a flag gives its setting
};

// The options that stand for no setting; the settings' own come from
// settingTable.
const OptionRow ownOptions[] = {
    {"root", Flag, -1, 0},
    {"window-id", WindowId, -1, 0},
    {"fps", Flag, -1, 0},
    {"help", Flag, -1, 0},
};

// The name after one or two dashes, without an "=value" part.
std::string OptionName(const std::string& arg, std::string* inlineValue, bool* hasInline)
{
    size_t start = arg.compare(0, 2, "--") == 0 ? 2 : (arg.compare(0, 1, "-") == 0 ? 1 : 0);
    if (start == 0)
        return "";
    std::string name = arg.substr(start);
    size_t equals = name.find('=');
    *hasInline = equals != std::string::npos;
    if (*hasInline) {
        *inlineValue = name.substr(equals + 1);
        name.erase(equals);
    }
    return name;
}

// A setting's option: a number takes its value, the switch is a flag with
// a "no-" form.
bool FindSettingOption(const std::string& name, OptionRow* found)
{
    for (int i = 0; i < settingCount; ++i) {
        const SettingInfo& info = settingTable[i];
        if (info.number && name == info.option) {
            *found = {info.option, Number, i, 0};
            return true;
        }
        if (info.flag && (name == info.option || name == std::string("no-") + info.option)) {
            *found = {info.option, Flag, i, name == info.option ? 1 : 0};
            return true;
        }
    }
    return false;
}

bool FindOption(const std::string& name, OptionRow* found)
{
    for (const OptionRow& row : ownOptions) {
        if (name == row.name) {
            *found = row;
            return true;
        }
    }
    return FindSettingOption(name, found);
}

// A whole decimal integer that fits an int, with an optional sign. strtol
// alone would also take leading blanks of any kind.
bool ParseNumber(const std::string& text, int* number)
{
    size_t digits = text[0] == '+' || text[0] == '-' ? 1 : 0;
    if (digits >= text.size() || text.find_first_not_of("0123456789", digits) != std::string::npos)
        return false;
    char* end = nullptr;
    errno = 0;
    long value = strtol(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || value < -2147483647L - 1 || value > 2147483647L)
        return false;
    *number = (int)value;
    return true;
}

// An X window id: decimal or 0x-hex, not 0, at most 32 bits. It starts
// with a digit: strtoull would skip blanks and take a sign.
bool ParseWindowId(const char* text, HWND* window)
{
    if (!text || !isdigit((unsigned char)*text))
        return false;
    bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (hex && !text[2])
        return false;
    char* end = nullptr;
    errno = 0;
    unsigned long long value = strtoull(text, &end, hex ? 16 : 10);
    if (*end != '\0' || errno == ERANGE || value == 0 || value > 0xFFFFFFFFull)
        return false;
    *window = (HWND)(uintptr_t)value;
    return true;
}

HackOptions Failure(const std::string& message)
{
    HackOptions failed;
    failed.action = HackOptions::Fail;
    failed.error = message;
    return failed;
}

}  // namespace

bool IsHackOption(const std::string& arg)
{
    std::string value;
    bool hasInline = false;
    OptionRow row;
    return arg.compare(0, 2, "--") == 0 || FindOption(OptionName(arg, &value, &hasInline), &row);
}

std::string SwitchWithOptionsProblem(const std::string& shellSwitch, const std::string& firstOption)
{
    return "options and switches do not combine: '" + shellSwitch + "' and '" + firstOption + "'";
}

HackOptions ParseHackOptions(const std::vector<std::string>& args, const char* xscreensaverWindow)
{
    HackOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string value;
        bool hasInline = false;
        std::string name = OptionName(args[i], &value, &hasInline);
        OptionRow row;
        if (!FindOption(name, &row)) {
            if (i > 0 && !IsHackOption(args[i]))
                return Failure(SwitchWithOptionsProblem(args[i], args[0]));
            return Failure("unknown option '" + args[i] + "'");
        }
        if (row.kind == Flag) {
            if (hasInline)
                return Failure("option '--" + name + "' takes no value");
        } else if (!hasInline) {
            if (i + 1 >= args.size())
                return Failure("option '--" + name + "' needs a value");
            value = args[++i];
        }

        if (name == "help") {
            options.action = HackOptions::ShowHelp;
        } else if (name == "fps") {
            options.showFps = true;
        } else if (name == "root") {
            options.onWindow = true;
            options.window = NULL;
            if (xscreensaverWindow && !ParseWindowId(xscreensaverWindow, &options.window))
                return Failure(std::string("XSCREENSAVER_WINDOW is not a window id: '") + xscreensaverWindow + "'");
        } else if (row.kind == WindowId) {
            options.onWindow = true;
            if (!ParseWindowId(value.c_str(), &options.window))
                return Failure("option '--" + name + "' needs a window id (decimal or 0x-hex), not '" + value + "'");
        } else if (row.kind == Number) {
            int number = 0;
            if (!ParseNumber(value, &number))
                return Failure("option '--" + name + "' needs a whole number, not '" + value + "'");
            options.settings.emplace_back(row.setting, number);
        } else {
            options.settings.emplace_back(row.setting, row.switchValue);
        }
    }
    return options;
}

void PrintHackUsage(FILE* out)
{
    fputs("usage: brackwold [/s | /c | /p WINDOW] | [--root | --window-id ID]", out);
    for (const SettingInfo& info : settingTable) {
        if (info.number)
            fprintf(out, " [--%s N]", info.option);
        else
            fprintf(out, " [--%s | --no-%s]", info.option, info.option);
    }
    fputs(" [--fps] | --help\n", out);
}

void PrintHackHelp(FILE* out)
{
    fputs("Usage: brackwold [OPTION]...\n"
          "       brackwold /s | /c | /p WINDOW\n"
          "Brackwold!, an OpenGL screen saver, as an XScreenSaver hack or with the\n"
          "switches of a Windows screen saver.\n"
          "\n"
          "  --root                draw on the window in $XSCREENSAVER_WINDOW,\n"
          "                        or on the root window when it is not set\n"
          "  --window-id ID        draw on the X window ID (decimal or 0x-hex)\n",
          out);
    // Each setting's range and default as the table gives them: the package's
    // settings description and manual page are filled in from these lines.
    for (const SettingInfo& info : settingTable) {
        std::string form = "--" + std::string(info.option);
        std::string meaning = info.meaning;
        char facts[48];
        if (info.number) {
            form += " N";
            meaning += ",";
            snprintf(facts, sizeof facts, "%d to %d (default %d)", info.minimum, info.maximum, info.defaultValue);
        } else {
            form += ", --no-" + std::string(info.option);
            snprintf(facts, sizeof facts, "(default %s)", info.defaultValue ? "on" : "off");
        }
        // The facts go on a line of their own where the line would pass 79 columns.
        bool wrap = 24 + meaning.size() + 1 + strlen(facts) > 79;
        const char* gap = wrap ? "\n                        " : " ";
        fprintf(out, "  %-21s %s%s%s\n", form.c_str(), meaning.c_str(), gap, facts);
    }
    fputs("  --fps                 show frames per second, load and triangles per frame\n"
          "  --help                show this help\n"
          "\n"
          "The options override the settings file for this run only. Without --root\n"
          "or --window-id the full-screen saver runs, ending on a key press or a\n"
          "mouse movement. Options and switches do not combine: give either a\n"
          "switch or options, never both.\n"
          "\n"
          "  /s          the full-screen saver\n"
          "  /c          the settings dialog (also with no switch at all); it writes\n"
          "              ~/.config/brackwold/BRKW.ini\n"
          "  /p WINDOW   a small preview inside the X window WINDOW\n",
          out);
}
