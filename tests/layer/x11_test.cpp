// The X11 backend against a real X server (Xvfb in CI): window placement and
// focus, input translation, activation loss, other clients' windows, GLX.
// A second X connection plays the other client; xdotool gives real input.
#include "platform/win32.h"
#include "testing/doubles/window_seams.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool...) would break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include "platform/posix/dialog_internal.h"
#include "platform/posix/x11/x11_internal.h"

#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Logged {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Logged> logged;

LRESULT CALLBACK Recorder(HWND h, UINT m, WPARAM wp, LPARAM lp)
{
    logged.push_back(Logged{h, m, wp, lp});
    return DefWindowProcA(h, m, wp, lp);
}

class X11Test : public ::testing::Test {
protected:
    Display* other = nullptr;

    void SetUp() override
    {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
        other = XOpenDisplay(nullptr);
        ASSERT_TRUE(other);
        static bool registered = false;
        if (!registered) {
            WNDCLASSA wc{};
            wc.style = CS_OWNDC;
            wc.lpfnWndProc = Recorder;
            wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
            wc.lpszClassName = "X11LayerTest";
            ASSERT_TRUE(RegisterClassA(&wc));
            registered = true;
        }
        logged.clear();
    }

    void TearDown() override
    {
        w32test::ResetWindowing();
        if (other) XCloseDisplay(other);
    }

    // Takes and dispatches messages for a while.
    void Pump(int ms = 300)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        MSG msg;
        while (std::chrono::steady_clock::now() < end) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    // On one monitor the primary and the virtual screen are the whole X screen.
    void ExpectOneMonitor()
    {
        int width = DisplayWidth(other, DefaultScreen(other)), height = DisplayHeight(other, DefaultScreen(other));
        const int metrics[][2] = {{SM_CXSCREEN, width},       {SM_CYSCREEN, height},       {SM_XVIRTUALSCREEN, 0},
                                  {SM_YVIRTUALSCREEN, 0},     {SM_CXVIRTUALSCREEN, width}, {SM_CYVIRTUALSCREEN, height}};
        for (const auto& m : metrics) EXPECT_EQ(GetSystemMetrics(m[0]), m[1]) << "metric " << m[0];
    }

    HWND FullScreen()
    {
        ExpectOneMonitor();
        HWND w = CreateWindowExA(WS_EX_TOPMOST, "X11LayerTest", "Screen Saver",
                                 WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                                 GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                 (HINSTANCE)1, nullptr);
        SetForegroundWindow(w);
        Pump(200);
        return w;
    }

    // Our top-level X window as the other client sees it, found by title.
    Window FindOurs(const char* title)
    {
        Window root, parent, *children = nullptr;
        unsigned n = 0;
        XQueryTree(other, DefaultRootWindow(other), &root, &parent, &children, &n);
        Window found = 0;
        for (unsigned i = 0; i < n && !found; i++) {
            char* name = nullptr;
            if (XFetchName(other, children[i], &name) && name && std::string(name) == title) found = children[i];
            if (name) XFree(name);
        }
        if (children) XFree(children);
        return found;
    }

    Window OtherClientWindow(const char* cls, const char* title)
    {
        Window w = XCreateSimpleWindow(other, DefaultRootWindow(other), 50, 50, 300, 200, 0, 0, 0);
        XClassHint hint{const_cast<char*>("other"), const_cast<char*>(cls)};
        XSetClassHint(other, w, &hint);
        XStoreName(other, w, title);
        XSync(other, False);
        return w;
    }

    std::vector<UINT> MessagesOf(HWND h, bool inputOnly = true)
    {
        std::vector<UINT> out;
        for (const Logged& l : logged)
            if (l.hwnd == h && (!inputOnly || l.message == WM_SETCURSOR || l.message == WM_ACTIVATEAPP ||
                                (l.message >= WM_KEYDOWN && l.message <= WM_SYSCHAR) ||
                                (l.message >= WM_MOUSEMOVE && l.message <= WM_MOUSEHWHEEL)))
                out.push_back(l.message);
        return out;
    }
};

void Xdotool(const std::string& args)
{
    ASSERT_EQ(std::system(("xdotool " + args).c_str()), 0) << args;
}

TEST_F(X11Test, FullScreenSaverWindowCoversTheScreenOnTopWithTheFocus)
{
    HWND w = FullScreen();
    ASSERT_TRUE(w);
    Window x = FindOurs("Screen Saver");
    ASSERT_TRUE(x);
    XWindowAttributes a{};
    XGetWindowAttributes(other, x, &a);
    EXPECT_EQ(a.x, 0);
    EXPECT_EQ(a.y, 0);
    EXPECT_EQ(a.width, DisplayWidth(other, DefaultScreen(other)));
    EXPECT_EQ(a.height, DisplayHeight(other, DefaultScreen(other)));
    EXPECT_EQ(a.map_state, IsViewable);
    EXPECT_TRUE(a.override_redirect);
    Window focus;
    int revert;
    XGetInputFocus(other, &focus, &revert);
    EXPECT_EQ(focus, x);
    EXPECT_EQ(GetForegroundWindow(), w);
    XClassHint hint{};
    ASSERT_TRUE(XGetClassHint(other, x, &hint));
    EXPECT_STREQ(hint.res_class, "X11LayerTest");
    XFree(hint.res_name);
    XFree(hint.res_class);
    // Taking the focus reports FocusOut(NotifyPointer) first: not a loss.
    for (const Logged& l : logged) EXPECT_FALSE(l.message == WM_ACTIVATEAPP && l.wParam == FALSE);
}

TEST_F(X11Test, InputIsTranslatedAndGoesToTheWindowUnderThePointer)
{
    HWND w = FullScreen();
    HWND child = CreateWindowExA(0, "X11LayerTest", "stage", WS_CHILD | WS_VISIBLE, 100, 100, 200, 200, w, nullptr,
                                 (HINSTANCE)1, nullptr);
    Pump(100);
    struct Case {
        const char* input;
        HWND target;
        std::vector<UINT> expected;
    } cases[] = {
        {"mousemove 150 150", child, {WM_SETCURSOR, WM_MOUSEMOVE}},
        {"key a", child, {WM_KEYDOWN, WM_KEYUP}},
        {"key alt+x", child, {WM_KEYDOWN, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_KEYUP}},
        {"click 1", child, {WM_SETCURSOR, WM_LBUTTONDOWN, WM_SETCURSOR, WM_LBUTTONUP}},
        {"click 2", child, {WM_SETCURSOR, WM_MBUTTONDOWN, WM_SETCURSOR, WM_MBUTTONUP}},
        {"click 3", child, {WM_SETCURSOR, WM_RBUTTONDOWN, WM_SETCURSOR, WM_RBUTTONUP}},
        {"click 4", child, {WM_MOUSEWHEEL}},
        {"click 5", child, {WM_MOUSEWHEEL}},
        {"click 6", child, {WM_MOUSEHWHEEL}},
        {"click 7", child, {WM_MOUSEHWHEEL}},
        {"mousemove 20 20", w, {WM_SETCURSOR, WM_MOUSEMOVE}},
        {"key Escape", w, {WM_KEYDOWN, WM_KEYUP}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        logged.clear();
        Xdotool(c.input);
        Pump(250);
        std::vector<UINT> got = MessagesOf(c.target);
        // Only alt+x reports the Alt key itself; every other case is exact.
        EXPECT_EQ(got, c.expected);
        // The other window sees no input (a child's WM_SETCURSOR asks its parent first).
        for (UINT m : MessagesOf(c.target == w ? child : w)) EXPECT_EQ(m, (UINT)WM_SETCURSOR);
    }
    // The wheel carries its direction; Escape its virtual key.
    logged.clear();
    Xdotool("mousemove 150 150");
    Xdotool("click 5");
    Pump(200);
    bool sawWheel = false;
    for (const Logged& l : logged)
        if (l.message == WM_MOUSEWHEEL) {
            sawWheel = true;
            EXPECT_EQ((SHORT)HIWORD(l.wParam), -120);
        }
    EXPECT_TRUE(sawWheel);
}

TEST_F(X11Test, FocusTakenByAnotherClientEndsActivation)
{
    HWND w = FullScreen();
    logged.clear();
    Window theirs = OtherClientWindow("OtherApp", "other");
    XMapRaised(other, theirs);
    XSync(other, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    XSetInputFocus(other, theirs, RevertToParent, CurrentTime);
    XSync(other, False);
    Pump(300);
    int losses = 0;
    for (const Logged& l : logged) losses += l.hwnd == w && l.message == WM_ACTIVATEAPP && l.wParam == FALSE;
    EXPECT_EQ(losses, 1);
    XDestroyWindow(other, theirs);
    XSync(other, False);
}

TEST_F(X11Test, AChildOfAnotherClientsWindowDiesWithIt)
{
    Window panel = OtherClientWindow("ControlPanel", "Display");
    XMapWindow(other, panel);
    XSync(other, False);
    HWND panelHandle = (HWND)(uintptr_t)panel;
    ASSERT_TRUE(IsWindow(panelHandle));
    RECT rc{};
    ASSERT_TRUE(GetClientRect(panelHandle, &rc));
    EXPECT_EQ(rc.right, 300);
    EXPECT_EQ(rc.bottom, 200);
    EXPECT_EQ(GetParent(panelHandle), nullptr);

    HWND preview = CreateWindowExA(0, "X11LayerTest", "Preview", WS_CHILD | WS_VISIBLE, 0, 0, rc.right, rc.bottom,
                                   panelHandle, nullptr, (HINSTANCE)1, nullptr);
    ASSERT_TRUE(preview);
    HWND inner = CreateWindowExA(0, "X11LayerTest", "stage", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, preview, nullptr,
                                 (HINSTANCE)1, nullptr);
    Pump(100);
    // The panel sits at (50, 50) of a one-monitor screen: screen and root coordinates agree.
    POINT p{60, 70};
    ASSERT_TRUE(ScreenToClient(inner, &p));
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 10);
    logged.clear();
    XDestroyWindow(other, panel);
    XSync(other, False);
    Pump(300);
    EXPECT_FALSE(IsWindow(panelHandle));
    EXPECT_FALSE(IsWindow(preview));
    EXPECT_FALSE(IsWindow(inner));
    std::vector<std::pair<HWND, UINT>> destroys;
    for (const Logged& l : logged)
        if (l.message == WM_DESTROY) destroys.emplace_back(l.hwnd, l.message);
    EXPECT_THAT(destroys, ::testing::ElementsAre(std::make_pair(preview, (UINT)WM_DESTROY),
                                                 std::make_pair(inner, (UINT)WM_DESTROY)));
    EXPECT_FALSE(IsWindow((HWND)(uintptr_t)0x7FFFFFF)) << "no such X window";
}

TEST_F(X11Test, FindsAndRaisesASaverOfAnotherProcess)
{
    Window theirs = OtherClientWindow("WindowsScreenSaverClass", "Screen Saver");
    XMapRaised(other, theirs);
    XSync(other, False);
    HWND found = FindWindowA("WindowsScreenSaverClass", "Screen Saver");
    EXPECT_EQ(found, (HWND)(uintptr_t)theirs);
    EXPECT_EQ(FindWindowA("WindowsScreenSaverClass", "Preview"), nullptr);
    ASSERT_TRUE(SetForegroundWindow(found));
    Window focus;
    int revert;
    XGetInputFocus(other, &focus, &revert);
    EXPECT_EQ(focus, theirs);
    EXPECT_EQ(GetForegroundWindow(), found);
    XDestroyWindow(other, theirs);
    XSync(other, False);
}

TEST_F(X11Test, GlFramesReachTheScreen)
{
    HWND w = FullScreen();
    HWND stage = CreateWindowExA(0, "X11LayerTest", "stage", WS_CHILD | WS_VISIBLE, 100, 100, 64, 64, w, nullptr,
                                 (HINSTANCE)1, nullptr);
    HDC dc = GetDC(stage);
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = 40;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 32;
    int format = ChoosePixelFormat(dc, &pfd);
    ASSERT_NE(format, 0);
    PIXELFORMATDESCRIPTOR got{};
    DescribePixelFormat(dc, format, sizeof got, &got);
    EXPECT_TRUE(got.dwFlags & PFD_DOUBLEBUFFER);
    EXPECT_FALSE(got.dwFlags & PFD_NEED_PALETTE);
    EXPECT_GE(got.cDepthBits, 16);
    ASSERT_TRUE(SetPixelFormat(dc, format, &pfd));
    HGLRC rc = wglCreateContext(dc);
    ASSERT_TRUE(rc);
    ASSERT_TRUE(wglMakeCurrent(dc, rc));
    Pump(100);  // the first paint erases with the class brush, before any frame
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_TRUE(SwapBuffers(dc));
    glFinish();
    Window root = DefaultRootWindow(other);
    XImage* image = XGetImage(other, root, 130, 130, 1, 1, AllPlanes, ZPixmap);
    ASSERT_TRUE(image);
    EXPECT_EQ(XGetPixel(image, 0, 0) & 0xFFFFFF, 0x0000FFu);
    XDestroyImage(image);
    // The saver window around it stays black.
    image = XGetImage(other, root, 50, 50, 1, 1, AllPlanes, ZPixmap);
    EXPECT_EQ(XGetPixel(image, 0, 0) & 0xFFFFFF, 0u);
    XDestroyImage(image);
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(rc);
}

// GTK's start takes over the process-wide X error handlers; ours must be back
// once it has run, whether our connection was opened before it or after.
TEST_F(X11Test, OurErrorTrapsStillWorkOnceGtkHasStarted)
{
    ASSERT_TRUE(w32::x11::D());
    ASSERT_TRUE(w32::ui::Available());
    Window gone = OtherClientWindow("gone", "gone");
    XDestroyWindow(other, gone);
    XSync(other, False);
    XWindowAttributes attrs;
    EXPECT_FALSE(w32::x11::Trapped([&] { XGetWindowAttributes(w32::x11::D(), gone, &attrs); }));
}

// A server lost once GTK has started, seen by our connection or by GTK's:
// our windows end as the server would have ended them, a dialog closes as
// cancelled, where GTK's handler (or Xlib's) would end the process with 1.
// Each case runs in a fresh process on a private server, which it kills.
pid_t doomedServer = 0;

void StartDoomedServer()
{
    int fds[2];
    if (pipe(fds) != 0) _exit(10);
    if ((doomedServer = fork()) == 0) {
        dup2(fds[1], 5);
        execlp("Xvfb", "Xvfb", "-displayfd", "5", "-nolisten", "tcp", "-screen", "0", "320x240x24", nullptr);
        _exit(11);
    }
    char number[16] = "";
    ssize_t n = read(fds[0], number, sizeof number - 1);  // ready once it names its display
    if (n <= 0) _exit(12);
    setenv("DISPLAY", (":" + std::string(number, strcspn(number, "\n"))).c_str(), 1);
}

void LoseTheServer()
{
    kill(doomedServer, SIGKILL);
    waitpid(doomedServer, nullptr, 0);
}

INT_PTR CALLBACK LosesTheServerAtStart(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) LoseTheServer();
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 7);
    return message == WM_INITDIALOG || message == WM_COMMAND;
}

TEST_F(X11Test, ALostServerEndsThroughOurCloseOnceGtkHasStarted)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto windowEnds = [] {
        StartDoomedServer();
        HWND w = CreateWindowExA(0, "X11LayerTest", "doomed", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                 nullptr, (HINSTANCE)1, nullptr);
        if (!w || !w32::ui::Available()) _exit(13);
        LoseTheServer();
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        MSG msg;
        while (IsWindow(w) && std::chrono::steady_clock::now() < deadline) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        bool destroyed = false;
        for (const Logged& l : logged) destroyed |= l.hwnd == w && l.message == WM_DESTROY;
        _exit(destroyed ? 0 : 14);
    };
    EXPECT_EXIT(windowEnds(), ::testing::ExitedWithCode(0), "");
    auto dialogCloses = [] {
        StartDoomedServer();
        _exit(DialogBoxParamA(nullptr, MAKEINTRESOURCE(2003), nullptr, LosesTheServerAtStart, 0) == 7 ? 0 : 15);
    };
    EXPECT_EXIT(dialogCloses(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
