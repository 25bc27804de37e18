// Windows where they need the layer's insides: other clients' windows, the
// screen's monitors and the pointer. Creation, destruction, closing,
// geometry and finding run against Windows too (tests/semantics).
#include "layer_fixture.h"

namespace {

using WindowTest = LayerTest;

TEST_F(WindowTest, ForeignParentGeometryAndDestruction)
{
    HWND panel = w32test::CreateForeignWindow(152, 112);
    EXPECT_TRUE(IsWindow(panel));
    RECT rc;
    ASSERT_TRUE(GetClientRect(panel, &rc));
    EXPECT_EQ(rc.right, 152);
    EXPECT_EQ(rc.bottom, 112);

    HWND preview = MakeWindow("SemanticsPlain", WS_CHILD | WS_VISIBLE, 0, 0, 152, 112, panel);
    HWND inner = MakeWindow("SemanticsPlain", WS_CHILD | WS_VISIBLE, 5, 5, 20, 20, preview);
    ASSERT_TRUE(preview && inner);
    EXPECT_EQ(GetParent(preview), panel);
    logged.clear();
    w32test::DestroyForeignWindow(panel);
    EXPECT_FALSE(IsWindow(panel));
    EXPECT_FALSE(IsWindow(preview));
    EXPECT_FALSE(IsWindow(inner));
    ASSERT_GE(logged.size(), 2u);
    EXPECT_EQ(logged[0].hwnd, preview);
    EXPECT_EQ(logged[0].message, (UINT)WM_DESTROY);
    EXPECT_EQ(logged[1].hwnd, inner);
}

TEST_F(WindowTest, FindsAndActivatesOtherClientsWindows)
{
    HWND mine = MakeWindow("SemanticsOwnDc", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, "Screen Saver");
    HWND theirs = w32test::CreateForeignWindow(10, 10, "OtherClass", "Other");
    EXPECT_EQ(FindWindowA("OtherClass", "Other"), theirs);
    EXPECT_EQ(FindWindowA("OtherClass", nullptr), theirs);
    EXPECT_EQ(FindWindowA(nullptr, "Other"), theirs);
    EXPECT_EQ(GetForegroundWindow(), mine);
    EXPECT_TRUE(SetForegroundWindow(theirs));
    EXPECT_EQ(GetForegroundWindow(), theirs);
}

// SM_CXSCREEN is the primary monitor, which starts at the origin of screen
// coordinates; the virtual screen may reach left of or above it. A client
// origin is found through the window's parents.
TEST_F(WindowTest, MonitorsAndScreenToClient)
{
    const RECT virtualScreens[] = {{0, 0, 800, 600}, {0, 0, 1824, 768}, {-1024, -168, 800, 600}};
    for (const RECT& v : virtualScreens) {
        SCOPED_TRACE(v.left);
        w32test::SetScreenSize(800, 600);
        w32test::SetVirtualScreen(v);
        const int expected[][2] = {{SM_CXSCREEN, 800}, {SM_CYSCREEN, 600}, {SM_XVIRTUALSCREEN, v.left},
            {SM_YVIRTUALSCREEN, v.top}, {SM_CXVIRTUALSCREEN, v.right - v.left}, {SM_CYVIRTUALSCREEN, v.bottom - v.top}};
        for (const auto& m : expected) EXPECT_EQ(GetSystemMetrics(m[0]), m[1]) << "metric " << m[0];

        HWND top =
            MakeWindow("SemanticsOwnDc", WS_POPUP | WS_VISIBLE, v.left, v.top, v.right - v.left, v.bottom - v.top);
        HWND child = MakeWindow("SemanticsOwnDc", WS_CHILD | WS_VISIBLE, 30, 40, 10, 10, top);
        HWND grandchild = MakeWindow("SemanticsOwnDc", WS_CHILD | WS_VISIBLE, 1, 2, 5, 5, child);
        POINT p{100, 100};
        ASSERT_TRUE(ScreenToClient(grandchild, &p));
        EXPECT_EQ(p.x, 100 - v.left - 31);
        EXPECT_EQ(p.y, 100 - v.top - 42);
        DestroyWindow(top);
        EXPECT_FALSE(ScreenToClient(grandchild, &p));
    }
    w32test::SetScreenSize(1024, 768);
}

TEST_F(WindowTest, CursorAndScreen)
{
    w32test::SetScreenSize(1024, 768);
    w32test::SetCursorPos(17, 23);
    POINT pt{};
    ASSERT_TRUE(GetCursorPos(&pt));
    EXPECT_EQ(pt.x, 17);
    EXPECT_EQ(pt.y, 23);
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    EXPECT_NE(arrow, nullptr);
    EXPECT_NE(LoadIconA(nullptr, IDI_WINLOGO), nullptr);
    EXPECT_EQ(SetCursor(nullptr), arrow);
    EXPECT_FALSE(w32test::IsCursorVisible());
    EXPECT_EQ(SetCursor(arrow), nullptr);
    EXPECT_TRUE(w32test::IsCursorVisible());
}

}  // namespace
