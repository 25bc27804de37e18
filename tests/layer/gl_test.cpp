// Pixel formats and WGL over OSMesa: frames drawn and read back, the
// backend's failures and palette displays. The formats and contexts' own
// rules run against Windows too (tests/semantics).
#include "layer_fixture.h"

namespace {

using GlTest = LayerTest;

using semantics::StageRequest;

// A child GL window with its format set and a context current on it.
struct GlWindow {
    HWND parent, window;
    HDC dc;
    HGLRC context;
};

GlWindow MakeGlWindow(int width, int height)
{
    GlWindow g{};
    g.parent = CreateWindowExA(0, "SemanticsOwnDc", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                               (HINSTANCE)1, nullptr);
    g.window = CreateWindowExA(0, "SemanticsOwnDc", "", WS_CHILD | WS_VISIBLE, 10, 10, width, height, g.parent, nullptr,
                               (HINSTANCE)1, nullptr);
    g.dc = GetDC(g.window);
    PIXELFORMATDESCRIPTOR pfd = StageRequest();
    int format = ChoosePixelFormat(g.dc, &pfd);
    EXPECT_NE(format, 0);
    EXPECT_TRUE(SetPixelFormat(g.dc, format, &pfd));
    g.context = wglCreateContext(g.dc);
    EXPECT_TRUE(g.context);
    EXPECT_TRUE(wglMakeCurrent(g.dc, g.context));
    return g;
}

TEST_F(GlTest, DrawsAndPresentsTheFrame)
{
    GlWindow g = MakeGlWindow(64, 32);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // A green quad over the top half of the window.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 64, 0, 32, -1, 1);
    glColor3f(0, 1, 0);
    glRectf(0, 16, 64, 32);
    w32test::Picture p;
    EXPECT_FALSE(w32test::ReadPresentedFrame(g.window, &p)) << "nothing presented yet";
    ASSERT_TRUE(SwapBuffers(g.dc));
    ASSERT_TRUE(w32test::ReadPresentedFrame(g.window, &p));
    EXPECT_EQ(p.width, 64);
    EXPECT_EQ(p.height, 32);
    EXPECT_EQ(p.At(5, 2), 0x00FF00u) << "row 0 of the picture is the top";
    EXPECT_EQ(p.At(60, 30), 0xFF0000u);
    EXPECT_EQ(w32test::PresentCount(g.window), 1);
}

TEST_F(GlTest, TheDrawableFollowsTheWindowSize)
{
    GlWindow g = MakeGlWindow(40, 40);
    MoveWindow(g.window, 10, 10, 20, 30, FALSE);
    glViewport(0, 0, 20, 30);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    SwapBuffers(g.dc);
    w32test::Picture p;
    ASSERT_TRUE(w32test::ReadPresentedFrame(g.window, &p));
    EXPECT_EQ(p.width, 20);
    EXPECT_EQ(p.height, 30);
    EXPECT_EQ(p.At(19, 29), 0x0000FFu);
}

TEST_F(GlTest, PixelFormatFailuresTheBackendReports)
{
    HWND w = MakeWindow("SemanticsOwnDc", WS_POPUP, 0, 0, 10, 10);
    HDC dc = GetDC(w);
    PIXELFORMATDESCRIPTOR pfd = StageRequest();
    w32test::FailChoosePixelFormat(true);
    EXPECT_EQ(ChoosePixelFormat(dc, &pfd), 0);
    w32test::FailChoosePixelFormat(false);
    int format = ChoosePixelFormat(dc, &pfd);
    ASSERT_NE(format, 0);

    w32test::FailSetPixelFormat(true);
    EXPECT_FALSE(SetPixelFormat(dc, format, &pfd));
    w32test::FailSetPixelFormat(false);
    EXPECT_TRUE(SetPixelFormat(dc, format, &pfd));
}

TEST_F(GlTest, APaletteDisplayReportsAPaletteFormat)
{
    w32test::SetPaletteDisplay(true);
    HWND w = MakeWindow("SemanticsOwnDc", WS_POPUP, 0, 0, 10, 10);
    HDC dc = GetDC(w);
    PIXELFORMATDESCRIPTOR pfd = StageRequest();
    int format = ChoosePixelFormat(dc, &pfd);
    ASSERT_NE(format, 0);
    PIXELFORMATDESCRIPTOR got{};
    DescribePixelFormat(dc, format, sizeof got, &got);
    EXPECT_TRUE(got.dwFlags & PFD_NEED_PALETTE);
    EXPECT_EQ(got.cColorBits, 8);
    EXPECT_EQ(got.cRedBits, 3);
    EXPECT_EQ(got.cGreenShift, 3);
    EXPECT_EQ(got.cBlueShift, 6);
}

}  // namespace
