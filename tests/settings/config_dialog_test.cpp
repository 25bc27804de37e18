// The configuration dialog as the dialog manager runs it, without a display:
// template IDD_CONFIG from the embedded resources, ConfigDialogProc, real INI
// files in a private configuration folder, and the saver's own load reading
// back what OK wrote.
#include "testing/doubles/dialog_seams.h"
#include "testing/doubles/sys_seams.h"
#include "resources/resource_ids.h"
#include "settings/settings.h"
#include "shell/shell.h"
#include "tests/settings/config_folder.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <new>
#include <sstream>
#include <string>
#include <vector>

// Linked with --wrap: the profile writes come here first, so a test can make
// one throw as the layer's own allocation would when memory runs out.
static bool throwOnWrite = false;
extern "C" BOOL WINAPI __real_WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file);
extern "C" BOOL WINAPI __wrap_WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file)
{
    if (throwOnWrite)
        throw std::bad_alloc();
    return __real_WritePrivateProfileStringA(section, key, value, file);
}

namespace {

using w32::DialogKey;

const char written[] =
    "[Brackwold]\n"
    "Poly Resolution=%d\n"
    "Size=%d\n"
    "Char Delay=%d\n"
    "Sounds=%d\n"
    "Visit the Website=http://brackwold.example.org/\n";

std::string Written(int resolution, int size, int delay, int sounds)
{
    char text[256];
    snprintf(text, sizeof text, written, resolution, size, delay, sounds);
    return text;
}

class ConfigDialogTest : public ::testing::Test, protected ConfigFolder {
protected:
    void SetUp() override
    {
        w32test::SuppressMessageBoxes(true);
        w32test::ClearMessageBoxCalls();
    }

    void TearDown() override
    {
        if (dialog)
            w32test::CloseDialog(dialog);
        w32test::SuppressMessageBoxes(false);
    }

    std::string ReadIni() const
    {
        std::ifstream file(path, std::ios::binary);
        if (!file)
            return "<no file>";
        std::stringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    }

    void Open()
    {
        dialog = w32test::OpenDialog(MAKEINTRESOURCE(IDD_CONFIG), ConfigDialogProc, 0);
        ASSERT_NE(dialog, nullptr) << "template IDD_CONFIG did not load";
    }

    BOOL Scroll(int bar, WORD code, int position = 0)
    {
        return (BOOL)ConfigDialogProc(dialog, WM_HSCROLL, MAKEWPARAM(code, position), (LPARAM)GetDlgItem(dialog, bar));
    }

    bool Ended(INT_PTR* result = nullptr) { return w32test::DialogEnded(dialog, result); }

    HWND dialog = nullptr;
};

struct ScrollCase {
    const char* name;
    int bar;
    const char* stored;  // the bar's key as stored, or nullptr for none
    WORD code;
    int position;
    bool ignored;  // StepScrollSetting's result
    int value;     // the setting afterwards, and what OK writes
    int thumb;
};

const ScrollCase scrollCases[] = {
    {"line left at the minimum stays", IDC_SIZE_BAR, "Size=30", SB_LINELEFT, 0, false, 30, 30},
    {"line right", IDC_SIZE_BAR, nullptr, SB_LINERIGHT, 0, false, 51, 51},
    {"page left", IDC_DELAY_BAR, nullptr, SB_PAGELEFT, 0, false, 50, 50},
    {"page right from 355 stops at 360", IDC_DELAY_BAR, "Char Delay=355", SB_PAGERIGHT, 0, false, 360, 360},
    {"page right past the top of resolution", IDC_RESOLUTION_BAR, "Poly Resolution=25", SB_PAGERIGHT, 0, false, 30, 30},
    {"to the left end", IDC_DELAY_BAR, nullptr, SB_LEFT, 0, false, 15, 15},
    {"to the right end", IDC_RESOLUTION_BAR, nullptr, SB_RIGHT, 0, false, 30, 30},
    {"thumb released applies its position", IDC_SIZE_BAR, nullptr, SB_THUMBPOSITION, 77, false, 77, 77},
    {"thumb being dragged is ignored", IDC_SIZE_BAR, nullptr, SB_THUMBTRACK, 77, true, 50, 50},
    {"end of scrolling is ignored", IDC_DELAY_BAR, nullptr, SB_ENDSCROLL, 0, true, 60, 60},
    {"an out-of-range value shows at the end and is kept", IDC_RESOLUTION_BAR, "Poly Resolution=50", SB_ENDSCROLL, 0, true, 50, 30},
    {"an out-of-range value moved comes into range", IDC_RESOLUTION_BAR, "Poly Resolution=50", SB_LINELEFT, 0, false, 30, 30},
};

TEST_F(ConfigDialogTest, ScrollNotificationsThroughTheProcedure)
{
    for (const ScrollCase& c : scrollCases) {
        SCOPED_TRACE(c.name);
        WriteIni(std::string("[Brackwold]\n") + (c.stored ? c.stored : "") + "\n");
        ASSERT_NO_FATAL_FAILURE(Open());
        EXPECT_EQ(Scroll(c.bar, c.code, c.position), c.ignored);
        int* setting = c.bar == IDC_RESOLUTION_BAR ? &polyResolution : c.bar == IDC_SIZE_BAR ? &sizePercent : &charDelay;
        EXPECT_EQ(*setting, c.value);
        EXPECT_EQ(w32test::DialogScrollPos(dialog, c.bar), c.thumb);
        w32test::ClickDialogControl(dialog, IDOK);
        EXPECT_TRUE(Ended());
        ReadSettings();
        EXPECT_EQ(*setting, c.value) << ReadIni();
        w32test::CloseDialog(dialog);
        dialog = nullptr;
    }
}

// Scroll reports from a control that is no bar of ours, or from the dialog's
// own frame (no control), move no setting and no thumb, and OK then writes
// the settings as they were.
TEST_F(ConfigDialogTest, NotificationsOfOtherControlsChangeNothing)
{
    Open();
    const struct {
        const char* name;
        HWND from;
        WORD code;
        int position;
    } rows[] = {
        {"the OK button", GetDlgItem(dialog, IDOK), SB_PAGERIGHT, 0},
        {"the check box", GetDlgItem(dialog, 104), SB_THUMBPOSITION, 20},
        {"the dialog's own frame", NULL, SB_LINELEFT, 0},
        {"the dialog's own frame", NULL, SB_RIGHT, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_FALSE(ConfigDialogProc(dialog, WM_HSCROLL, MAKEWPARAM(row.code, row.position), (LPARAM)row.from));
        EXPECT_EQ(polyResolution, 15);
        EXPECT_EQ(sizePercent, 50);
        EXPECT_EQ(charDelay, 60);
        EXPECT_EQ(w32test::DialogScrollPos(dialog, 1004), 15);
        EXPECT_EQ(w32test::DialogScrollPos(dialog, 1005), 50);
        EXPECT_EQ(w32test::DialogScrollPos(dialog, 1006), 60);
    }
    w32test::ClickDialogControl(dialog, IDOK);
    EXPECT_EQ(ReadIni(), Written(15, 50, 60, 1));
}

// What each way out of the dialog leaves in the file, starting from none.
struct ExitCase {
    const char* name;
    std::vector<DialogKey> keys;
    std::vector<int> clicks;
    std::string file;
};

const ExitCase exitCases[] = {
    {"OK writes every entry in order", {}, {IDOK}, Written(15, 50, 60, 1)},
    {"Enter presses OK", {DialogKey::Enter}, {}, Written(15, 50, 60, 1)},
    {"Cancel writes nothing", {}, {IDC_PLAY_SOUNDS, IDCANCEL}, "<no file>"},
    {"Escape cancels", {DialogKey::Escape}, {}, "<no file>"},
    {"Enter on a focused Cancel cancels", {DialogKey::Tab, DialogKey::Enter}, {}, "<no file>"},
    {"Enter with the check box focused presses OK", {DialogKey::ShiftTab, DialogKey::Enter}, {}, Written(15, 50, 60, 1)},
    {"Space on the check box toggles it", {DialogKey::ShiftTab, DialogKey::Space, DialogKey::Enter}, {}, Written(15, 50, 60, 0)},
    {"two toggles write the original value", {}, {IDC_PLAY_SOUNDS, IDC_PLAY_SOUNDS, IDOK}, Written(15, 50, 60, 1)},
    {"Space on OK presses it", {DialogKey::Space}, {}, Written(15, 50, 60, 1)},
};

TEST_F(ConfigDialogTest, WaysOutWriteWhatTheyShould)
{
    for (const ExitCase& c : exitCases) {
        SCOPED_TRACE(c.name);
        unlink(path.c_str());
        ASSERT_NO_FATAL_FAILURE(Open());
        for (DialogKey key : c.keys)
            w32test::PressDialogKey(dialog, key);
        for (int id : c.clicks)
            w32test::ClickDialogControl(dialog, id);
        INT_PTR result = 0;
        EXPECT_TRUE(Ended(&result));
        EXPECT_EQ(result, 1);
        EXPECT_EQ(ReadIni(), c.file);
        w32test::CloseDialog(dialog);
        dialog = nullptr;
    }
}

TEST_F(ConfigDialogTest, TabWalksTheTabStopsInTemplateOrder)
{
    Open();
    EXPECT_EQ(w32test::DialogFocusId(dialog), IDOK);
    const int forward[] = {IDCANCEL, IDC_PLAY_SOUNDS, IDOK, IDCANCEL};
    for (int id : forward) {
        w32test::PressDialogKey(dialog, DialogKey::Tab);
        EXPECT_EQ(w32test::DialogFocusId(dialog), id);
    }
    const int backward[] = {IDOK, IDC_PLAY_SOUNDS, IDCANCEL};
    for (int id : backward) {
        w32test::PressDialogKey(dialog, DialogKey::ShiftTab);
        EXPECT_EQ(w32test::DialogFocusId(dialog), id);
    }
    EXPECT_FALSE(Ended());
}

TEST_F(ConfigDialogTest, CheckBoxFollowsTheStoredValue)
{
    const std::pair<const char*, UINT> rows[] = {{"", BST_CHECKED}, {"Sounds=0", BST_UNCHECKED}, {"Sounds=7", BST_CHECKED}};
    for (const auto& [stored, mark] : rows) {
        SCOPED_TRACE(stored);
        WriteIni(std::string("[Brackwold]\n") + stored + "\n");
        Open();
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PLAY_SOUNDS), mark);
        w32test::ClickDialogControl(dialog, IDC_PLAY_SOUNDS);
        EXPECT_NE(IsDlgButtonChecked(dialog, IDC_PLAY_SOUNDS), mark);
        EXPECT_EQ(soundsOn, mark != BST_CHECKED);
        w32test::CloseDialog(dialog);
        dialog = nullptr;
    }
}

// OK rewrites only its own keys: the rest of the file stays as it was, in
// the file's own line ends, and the saver reads back what was written.
struct FileCase {
    const char* name;
    std::string before;
    std::string after;
};

const FileCase fileCases[] = {
    {"comments, blank lines and other sections are kept",
     "; my saver\n\n[Other]\nSize=3\n\n[Brackwold]\nSize=40\n; note\nExtra=yes\n\n[Last]\nA=1\n",
     "; my saver\n\n[Other]\nSize=3\n\n[Brackwold]\nSize=40\n; note\nExtra=yes\nPoly Resolution=15\nChar Delay=60\n"
     "Sounds=1\nVisit the Website=http://brackwold.example.org/\n\n[Last]\nA=1\n"},
    {"CRLF line ends stay CRLF",
     "[Brackwold]\r\nPoly Resolution=20\r\nSize=40\r\nChar Delay=100\r\nSounds=0\r\n",
     "[Brackwold]\r\nPoly Resolution=20\r\nSize=40\r\nChar Delay=100\r\nSounds=0\r\n"
     "Visit the Website=http://brackwold.example.org/\r\n"},
    {"no final newline",
     "[Brackwold]\nSize=40",
     "[Brackwold]\nSize=40\nPoly Resolution=15\nChar Delay=60\nSounds=1\nVisit the Website=http://brackwold.example.org/\n"},
    {"a file without the section gets it at the end",
     "[Other]\nKey=1",
     "[Other]\nKey=1\n\n" + Written(15, 50, 60, 1)},
    {"keys differing in case are replaced in place",
     "[brackwold]\nSIZE = 40\nsounds=0\n",
     "[brackwold]\nSIZE = 40\nsounds=0\nPoly Resolution=15\nChar Delay=60\nVisit the Website=http://brackwold.example.org/\n"},
};

TEST_F(ConfigDialogTest, OkKeepsTheRestOfTheFile)
{
    for (const FileCase& c : fileCases) {
        SCOPED_TRACE(c.name);
        WriteIni(c.before);
        Open();
        int resolution = polyResolution, size = sizePercent, delay = charDelay;
        bool sounds = soundsOn;
        w32test::ClickDialogControl(dialog, IDOK);
        EXPECT_EQ(ReadIni(), c.after);
        LoadSettings();
        EXPECT_EQ(polyResolution, resolution);
        EXPECT_EQ(sizePercent, size);
        EXPECT_EQ(charDelay, delay);
        EXPECT_EQ(soundsOn, sounds);
        w32test::CloseDialog(dialog);
        dialog = nullptr;
    }
}

// A write that cannot succeed is reported with the file's full path and the
// reason, and the dialog stays open with the edited values. The path is
// named whole even where it is longer than MAX_PATH.
TEST_F(ConfigDialogTest, FailedWriteIsReportedAndKeepsTheDialog)
{
    for (size_t configLength : {size_t(0), size_t(254)}) {  // of XDG_CONFIG_HOME; 0 keeps the fixture's
        SCOPED_TRACE(configLength);
        std::string config = root;
        if (configLength) {
            config += "/" + std::string(configLength - root.size() - 1, 'd');
            ASSERT_EQ(mkdir(config.c_str(), 0755), 0);
            setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        }
        path = config + "/brackwold/BRKW.ini";
        std::string blocker = config + "/brackwold";
        std::ofstream(blocker) << "a file where the folder should be";
        w32test::ClearMessageBoxCalls();
        Open();
        Scroll(IDC_SIZE_BAR, SB_RIGHT);
        w32test::ClickDialogControl(dialog, IDOK);
        EXPECT_FALSE(Ended());
        auto calls = w32test::MessageBoxCalls();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].caption, "Error");
        EXPECT_NE(calls[0].text.find(" " + path + "."), std::string::npos) << calls[0].text;
        EXPECT_NE(calls[0].text.find("cannot find the path"), std::string::npos) << calls[0].text;
        EXPECT_EQ(sizePercent, 90);

        unlink(blocker.c_str());  // the user fixes it and presses OK again
        w32test::ClickDialogControl(dialog, IDOK);
        EXPECT_TRUE(Ended());
        EXPECT_EQ(ReadIni(), Written(15, 90, 60, 1));
        w32test::CloseDialog(dialog);
        dialog = nullptr;
    }
}

struct ProcessEnded {
    UINT code;
};

// The dialog procedure ends the process itself, as the saver's procedures
// do. Here OK's first write throws inside the real modal call: the filter
// reports it, the process ends with -1, and the file keeps what it had, not
// the edited value.
TEST_F(ConfigDialogTest, AnExceptionInTheProcedureEndsTheProcessThroughTheFilter)
{
    const std::string before = "[Brackwold]\nSize=40\n";
    WriteIni(before);
    HWND shown = nullptr;
    w32test::ScriptDialogs([&](HWND d, HWND) {
        shown = d;
        w32test::ScrollDialogControl(d, IDC_SIZE_BAR, SB_RIGHT, 0);
        throwOnWrite = true;
        w32test::ClickDialogControl(d, IDOK);
    });
    // ExitProcess does not return; here it records the code and unwinds.
    w32test::SetExitProcessHook([](UINT code) { throw ProcessEnded{code}; });
    const int reportsBefore = w32test::UnhandledExceptionCount();
    ::testing::internal::CaptureStderr();
    UINT exitCode = 0;
    try {
        ShowConfigDialog(NULL);
    } catch (const ProcessEnded& ended) {
        exitCode = ended.code;
    } catch (const std::bad_alloc&) {
        ADD_FAILURE() << "the exception left the dialog procedure";
    }
    const std::string report = ::testing::internal::GetCapturedStderr();
    throwOnWrite = false;
    w32test::SetExitProcessHook(nullptr);
    w32test::ScriptDialogs(nullptr);
    w32test::CloseDialog(shown);  // the unwinding left it behind

    EXPECT_EQ(exitCode, (UINT)-1);
    EXPECT_EQ(w32test::UnhandledExceptionCount(), reportsBefore + 1);
    EXPECT_NE(report.find("Unhandled exception"), std::string::npos) << report;
    EXPECT_EQ(sizePercent, 90);
    EXPECT_EQ(ReadIni(), before);
}

// The real GTK dialog: every way GTK reports a change of the Size bar
// (30 to 90, 50 at first) reaches the procedure as the Win32 code it means,
// and the thumb then shows the setting. Runs inside the dialog's own loop.
std::vector<GtkWidget*> WidgetsOf(GtkWidget* widget, GType type)
{
    std::vector<GtkWidget*> found;
    if (G_TYPE_CHECK_INSTANCE_TYPE(widget, type))
        found.push_back(widget);
    if (GTK_IS_CONTAINER(widget)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
        for (GList* c = children; c; c = c->next) {
            std::vector<GtkWidget*> inner = WidgetsOf(GTK_WIDGET(c->data), type);
            found.insert(found.end(), inner.begin(), inner.end());
        }
        g_list_free(children);
    }
    return found;
}

GtkWidget* ShownDialogWidget(GType type, std::function<bool(GtkWidget*)> wanted)
{
    GList* windows = gtk_window_list_toplevels();
    GtkWidget* match = nullptr;
    for (GList* w = windows; w && !match; w = w->next)
        for (GtkWidget* widget : WidgetsOf(GTK_WIDGET(w->data), type))
            if (gtk_widget_get_visible(widget) && wanted(widget))
                match = widget;
    g_list_free(windows);
    return match;
}

bool sizeBarScrolled = false;

gboolean ScrollTheShownSizeBar(gpointer)
{
    GtkWidget* bar = ShownDialogWidget(GTK_TYPE_SCROLLBAR, [](GtkWidget* w) {
        return gtk_adjustment_get_upper(gtk_range_get_adjustment(GTK_RANGE(w))) == 90;
    });
    if (!bar)
        return G_SOURCE_CONTINUE;  // not shown yet
    const struct {
        GtkScrollType type;
        int size;
    } rows[] = {
        {GTK_SCROLL_STEP_FORWARD, 51}, {GTK_SCROLL_STEP_RIGHT, 52},  {GTK_SCROLL_STEP_DOWN, 53},
        {GTK_SCROLL_STEP_BACKWARD, 52}, {GTK_SCROLL_STEP_LEFT, 51}, {GTK_SCROLL_STEP_UP, 50},
        {GTK_SCROLL_PAGE_FORWARD, 60}, {GTK_SCROLL_PAGE_RIGHT, 70},  {GTK_SCROLL_PAGE_DOWN, 80},
        {GTK_SCROLL_PAGE_BACKWARD, 70}, {GTK_SCROLL_PAGE_LEFT, 60}, {GTK_SCROLL_PAGE_UP, 50},
        {GTK_SCROLL_END, 90},          {GTK_SCROLL_START, 30},
        {GTK_SCROLL_JUMP, 30},  // a jump without a button held is a drag never released
        {GTK_SCROLL_NONE, 30},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.type);
        gboolean handled = FALSE;
        g_signal_emit_by_name(bar, "change-value", row.type, 77.0, &handled);
        EXPECT_EQ(sizePercent, row.size);
        EXPECT_EQ(gtk_range_get_value(GTK_RANGE(bar)), row.size) << "the thumb shows the setting";
    }
    GtkWidget* ok = ShownDialogWidget(GTK_TYPE_BUTTON, [](GtkWidget* w) {
        return !GTK_IS_CHECK_BUTTON(w) && std::string(gtk_button_get_label(GTK_BUTTON(w))) == "OK";
    });
    EXPECT_NE(ok, nullptr);
    if (ok)
        gtk_button_clicked(GTK_BUTTON(ok));
    sizeBarScrolled = true;
    return G_SOURCE_REMOVE;
}

TEST_F(ConfigDialogTest, GtkScrollReportsReachTheProcedureAsTheirScrollCodes)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no X display";
    // GTK's accessibility bridge keeps strings until exit, which the leak
    // checker of the sanitizer build would report; nothing here needs it.
    setenv("NO_AT_BRIDGE", "1", 1);
    const guint scripted = g_timeout_add(20, ScrollTheShownSizeBar, nullptr);
    ShowConfigDialog(NULL);
    if (!sizeBarScrolled)
        g_source_remove(scripted);
    EXPECT_TRUE(sizeBarScrolled) << "the dialog ended before its Size bar showed";
    EXPECT_EQ(ReadIni(), Written(15, 30, 60, 1));
}

}  // namespace
