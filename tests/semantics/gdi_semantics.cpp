// GDI and WGL without reading pixels back: device contexts, object
// lifetimes, the text state of a DC, and the pixel format the stage asks
// for. Built against our layer and against Windows (run under Wine).
#include "tests/semantics/semantics.h"
#include "resources/resource_ids.h"

namespace {

using semantics::StageRequest;
using GdiSemantics = semantics::WindowSemantics;

TEST_F(GdiSemantics, DeviceContextsAndObjectLifetimes)
{
    HWND own = MakeWindow("SemanticsOwnDc", WS_POPUP, 0, 0, 10, 10);
    HWND plain = MakeWindow("SemanticsPlain", WS_POPUP, 0, 0, 10, 10);
    HDC a = GetDC(own);
    EXPECT_EQ(GetDC(own), a) << "a class's own DC is the same every time";
    EXPECT_EQ(ReleaseDC(own, a), 1);
    EXPECT_EQ(GetDC(own), a) << "and survives ReleaseDC";
    HDC b = GetDC(plain);
    HDC c = GetDC(plain);
    EXPECT_NE(b, c);
    EXPECT_EQ(ReleaseDC(plain, b), 1);
    EXPECT_EQ(ReleaseDC(plain, b), 0) << "released already";
    ReleaseDC(plain, c);

    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(NULL), MAKEINTRESOURCE(IDB_BANNER));
    ASSERT_TRUE(bitmap);
    HDC first = CreateCompatibleDC(a);
    HDC second = CreateCompatibleDC(a);
    EXPECT_NE(SelectObject(first, bitmap), (HGDIOBJ)NULL);
    EXPECT_EQ(SelectObject(second, bitmap), (HGDIOBJ)NULL) << "a bitmap is in one DC at a time";
    EXPECT_EQ(SelectObject(a, bitmap), (HGDIOBJ)NULL) << "not into a window DC";
    // Deleted while selected: still there until its DC lets go.
    EXPECT_TRUE(DeleteObject(bitmap));
    BITMAP bm;
    EXPECT_EQ(GetObjectA(bitmap, sizeof bm, &bm), (int)sizeof bm);
    EXPECT_TRUE(DeleteDC(first));
    EXPECT_EQ(GetObjectA(bitmap, sizeof bm, &bm), 0);
    EXPECT_FALSE(DeleteDC(first));
    EXPECT_TRUE(DeleteDC(second));
    EXPECT_FALSE(DeleteObject((HGDIOBJ)&bm)) << "not a GDI object";
    HGDIOBJ black = GetStockObject(BLACK_BRUSH);
    EXPECT_TRUE(DeleteObject(black));
    EXPECT_EQ(GetStockObject(BLACK_BRUSH), black) << "stock objects are never freed";
}

TEST_F(GdiSemantics, TextStateAndFontLifetime)
{
    HWND w = MakeWindow("SemanticsOwnDc", WS_POPUP | WS_VISIBLE, 0, 0, 100, 40);
    HDC dc = GetDC(w);
    EXPECT_EQ(SetTextColor(dc, RGB(255, 255, 0)), RGB(0, 0, 0)) << "black text by default";
    EXPECT_EQ(SetBkColor(dc, RGB(0, 0, 255)), RGB(255, 255, 255)) << "on white";
    EXPECT_EQ(SetBkMode(dc, 99), 0);
    EXPECT_EQ(SetBkMode(dc, OPAQUE), OPAQUE) << "opaque by default";
    EXPECT_EQ(SetTextColor(NULL, 0), CLR_INVALID);
    EXPECT_FALSE(TextOutA(NULL, 0, 0, "x", 1));

    HFONT font = CreateFontA(-16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
    ASSERT_TRUE(font);
    EXPECT_EQ(SelectObject(dc, font), GetStockObject(SYSTEM_FONT)) << "the system font until one is chosen";
    // Deleted while selected, the font stays usable until the DC lets go.
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_TRUE(TextOutA(dc, 0, 0, "M", 1));
    EXPECT_EQ(SelectObject(dc, GetStockObject(SYSTEM_FONT)), (HGDIOBJ)font);
    EXPECT_FALSE(DeleteObject(font)) << "freed once deselected";
}

TEST_F(GdiSemantics, TheStageRequestGetsADoubleBufferedRgbaFormatWithDepth)
{
    HWND w = MakeWindow("SemanticsOwnDc", WS_POPUP, 0, 0, 10, 10);
    HDC dc = GetDC(w);
    PIXELFORMATDESCRIPTOR want = StageRequest();
    int format = ChoosePixelFormat(dc, &want);
    ASSERT_NE(format, 0);
    PIXELFORMATDESCRIPTOR got = {};
    int count = DescribePixelFormat(dc, format, sizeof got, &got);
    EXPECT_GE(count, format);
    const DWORD wanted = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    EXPECT_EQ(got.dwFlags & wanted, wanted);
    EXPECT_EQ(got.dwFlags & PFD_NEED_PALETTE, 0u);
    EXPECT_EQ(got.iPixelType, PFD_TYPE_RGBA);
    EXPECT_GE(got.cDepthBits, 16);
    EXPECT_EQ(got.nSize, sizeof got);
    EXPECT_EQ(DescribePixelFormat(dc, 0, sizeof got, &got), 0);
    EXPECT_EQ(DescribePixelFormat(dc, count + 1, sizeof got, &got), 0);
    EXPECT_EQ(DescribePixelFormat(dc, 1, 0, NULL), count);
}

TEST_F(GdiSemantics, PixelFormatsAndContextsRefuseWhatTheyCannotDo)
{
    HWND w = MakeWindow("SemanticsOwnDc", WS_POPUP, 0, 0, 10, 10);
    HDC dc = GetDC(w);
    PIXELFORMATDESCRIPTOR pfd = StageRequest();
    EXPECT_EQ(wglCreateContext(dc), (HGLRC)NULL) << "no pixel format yet";
    EXPECT_FALSE(SwapBuffers(dc));
    int format = ChoosePixelFormat(dc, &pfd);
    ASSERT_NE(format, 0);
    EXPECT_FALSE(SetPixelFormat(dc, 9999, &pfd));
    EXPECT_TRUE(SetPixelFormat(dc, format, &pfd));
    EXPECT_TRUE(SetPixelFormat(dc, format, &pfd)) << "the same format again";
    int other = format == 1 ? 2 : 1;
    EXPECT_FALSE(SetPixelFormat(dc, other, &pfd)) << "a window's format is set once";

    HGLRC context = wglCreateContext(dc);
    ASSERT_TRUE(context);
    HWND second = MakeWindow("SemanticsOwnDc", WS_POPUP, 0, 0, 10, 10);
    HDC secondDc = GetDC(second);
    ASSERT_TRUE(SetPixelFormat(secondDc, other, &pfd));
    EXPECT_FALSE(wglMakeCurrent(secondDc, context)) << "a context needs a window of its own format";
    EXPECT_TRUE(wglMakeCurrent(dc, context));
    EXPECT_TRUE(wglMakeCurrent(NULL, NULL));
    EXPECT_TRUE(wglDeleteContext(context));
    EXPECT_FALSE(wglDeleteContext(context));
    EXPECT_FALSE(wglMakeCurrent(dc, context));
}

}  // namespace
