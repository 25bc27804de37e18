// XScreenSaver-style options. Each takes one or two leading dashes, and a
// value either as the next argument or after "=". Numbers out of a
// setting's range are passed on as they are: the settings store clamps them
// exactly as it clamps the file's values.
#include "platform/posix/entry/hack_options.h"
#include "resources/resource_ids.h"

#include <ctype.h>
#include <errno.h>
#include <stdlib.h>

namespace w32 {

const char hackUsageLine[] =
    "usage: brackwold [/s | /c | /p WINDOW] | [--root | --window-id ID] [--poly-resolution N] [--size N] "
    "[--char-delay N] [--sounds | --no-sounds] [--fps] | --help";

const char hackHelp[] =
    "Usage: brackwold [OPTION]...\n"
    "       brackwold /s | /c | /p WINDOW\n"
    "Brackwold!, an OpenGL screen saver, as an XScreenSaver hack or with the\n"
    "switches of a Windows screen saver.\n"
    "\n"
    "  --root                draw on the window in $XSCREENSAVER_WINDOW,\n"
    "                        or on the root window when it is not set\n"
    "  --window-id ID        draw on the X window ID (decimal or 0x-hex)\n"
    "  --poly-resolution N   detail of the figures, 10 to 30\n"
    "  --size N              stage size, percent of the screen height, 30 to 90\n"
    "  --char-delay N        seconds each figure stays, 15 to 360\n"
    "  --sounds, --no-sounds voice lines on or off\n"
    "  --fps                 show frames per second, load and triangles per frame\n"
    "  --help                show this help\n"
    "\n"
    "The options override the settings file for this run only. Without --root\n"
    "or --window-id the full-screen saver runs, ending on a key press or a\n"
    "mouse movement.\n"
    "\n"
    "  /s          the full-screen saver\n"
    "  /c          the settings dialog (also with no switch at all); it writes\n"
    "              ~/.config/brackwold/BRKW.ini\n"
    "  /p WINDOW   a small preview inside the X window WINDOW\n";

namespace {

enum class Kind { Flag, Number, WindowId };

struct OptionRow {
    const char* name;
    Kind kind;
    const char* key;    // INI key it overrides, if any
    const char* value;  // for a flag with a key
};

const OptionRow optionTable[] = {
    {"root", Kind::Flag, nullptr, nullptr},
    {"window-id", Kind::WindowId, nullptr, nullptr},
    {"poly-resolution", Kind::Number, KEY_POLY_RESOLUTION, nullptr},
    {"size", Kind::Number, KEY_SIZE, nullptr},
    {"char-delay", Kind::Number, KEY_CHAR_DELAY, nullptr},
    {"sounds", Kind::Flag, KEY_SOUNDS, "1"},
    {"no-sounds", Kind::Flag, KEY_SOUNDS, "0"},
    {"fps", Kind::Flag, nullptr, nullptr},
    {"help", Kind::Flag, nullptr, nullptr},
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

const OptionRow* FindOption(const std::string& name)
{
    for (const OptionRow& row : optionTable)
        if (name == row.name)
            return &row;
    return nullptr;
}

// A whole decimal integer that fits an int, with an optional sign. strtol
// alone would also take leading blanks of any kind.
bool ParseNumber(const std::string& text, std::string* normalised)
{
    size_t digits = text[0] == '+' || text[0] == '-' ? 1 : 0;
    if (digits >= text.size() || text.find_first_not_of("0123456789", digits) != std::string::npos)
        return false;
    char* end = nullptr;
    errno = 0;
    long value = strtol(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || value < -2147483647L - 1 || value > 2147483647L)
        return false;
    *normalised = std::to_string(value);
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

bool IsHackCommandLine(const std::vector<std::string>& args)
{
    if (args.empty())
        return false;
    std::string value;
    bool hasInline = false;
    return args[0].compare(0, 2, "--") == 0 || FindOption(OptionName(args[0], &value, &hasInline)) != nullptr;
}

HackOptions ParseHackOptions(const std::vector<std::string>& args, const char* xscreensaverWindow)
{
    HackOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string value;
        bool hasInline = false;
        std::string name = OptionName(args[i], &value, &hasInline);
        const OptionRow* row = FindOption(name);
        if (!row)
            return Failure("unknown option '" + args[i] + "'");
        if (row->kind == Kind::Flag) {
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
        } else if (row->kind == Kind::WindowId) {
            options.onWindow = true;
            if (!ParseWindowId(value.c_str(), &options.window))
                return Failure("option '--" + name + "' needs a window id (decimal or 0x-hex), not '" + value + "'");
        } else if (row->kind == Kind::Number) {
            std::string number;
            if (!ParseNumber(value, &number))
                return Failure("option '--" + name + "' needs a whole number, not '" + value + "'");
            options.settings.emplace_back(row->key, number);
        } else {
            options.settings.emplace_back(row->key, row->value);
        }
    }
    return options;
}

}  // namespace w32
