// Windows: creation and destruction order, closing, geometry, other
// clients' windows, finding, foreground and the pointer.
#include "layer_fixture.h"

using ::testing::ElementsAre;

namespace {

using WindowTest = LayerTest;

TEST_F(WindowTest, CreationSendsItsMessagesInOrder)
{
    CREATESTRUCTA seen{};
    answer = [&](HWND, UINT m, WPARAM, LPARAM lp, LRESULT*) {
        if (m == WM_CREATE) seen = *(CREATESTRUCTA*)lp;
        return false;
    };
    HWND w = MakeWindow("LayerOwnDc", WS_POPUP | WS_VISIBLE, 5, 6, 70, 80, nullptr, "Title");
    ASSERT_TRUE(w);
    EXPECT_THAT(MessagesOf(w), ElementsAre(WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW));
    EXPECT_EQ(seen.cx, 70);
    EXPECT_EQ(seen.cy, 80);
    EXPECT_EQ(seen.x, 5);
    EXPECT_STREQ(seen.lpszName, "Title");
    EXPECT_STREQ(seen.lpszClass, "LayerOwnDc");
    EXPECT_EQ(logged[2].lParam, MAKELPARAM(70, 80));
    EXPECT_EQ(logged[4].wParam, (WPARAM)TRUE);
    // Without WS_VISIBLE there is no WM_SHOWWINDOW.
    logged.clear();
    HWND hidden = MakeWindow("LayerOwnDc", WS_POPUP, 0, 0, 1, 1);
    EXPECT_THAT(MessagesOf(hidden), ElementsAre(WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE));
}

TEST_F(WindowTest, CreationFailures)
{
    struct Case {
        const char* name;
        UINT refuse;  // message whose answer refuses creation
        LRESULT result;
    } cases[] = {{"WM_NCCREATE answered FALSE", WM_NCCREATE, FALSE}, {"WM_CREATE answered -1", WM_CREATE, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        logged.clear();
        answer = [&](HWND, UINT m, WPARAM, LPARAM, LRESULT* r) {
            if (m != c.refuse) return false;
            *r = c.result;
            return true;
        };
        EXPECT_EQ(MakeWindow("LayerPlain", WS_POPUP, 0, 0, 1, 1), nullptr);
        ASSERT_FALSE(logged.empty());
        EXPECT_FALSE(IsWindow(logged[0].hwnd));
    }
    answer = nullptr;
    EXPECT_EQ(MakeWindow("NoSuchClass", WS_POPUP, 0, 0, 1, 1), nullptr);
    EXPECT_EQ(MakeWindow("LayerPlain", WS_CHILD, 0, 0, 1, 1, nullptr), nullptr) << "a child needs a parent";
    EXPECT_EQ(MakeWindow("LayerPlain", WS_CHILD, 0, 0, 1, 1, (HWND)(uintptr_t)0x1234), nullptr);
}

TEST_F(WindowTest, RegisteringAClassTwiceFails)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "layerplain";  // names compare without case
    EXPECT_EQ(RegisterClassA(&wc), 0);
    wc.lpszClassName = nullptr;
    EXPECT_EQ(RegisterClassA(&wc), 0);
}

TEST_F(WindowTest, DestroySendsWmDestroyToTheParentThenItsChildren)
{
    HWND parent = MakeWindow("LayerPlain", WS_POPUP, 0, 0, 50, 50);
    HWND child = MakeWindow("LayerPlain", WS_CHILD, 0, 0, 10, 10, parent);
    HWND grandchild = MakeWindow("LayerPlain", WS_CHILD, 0, 0, 5, 5, child);
    PostMessageA(child, WM_USER, 0, 0);
    SetTimer(grandchild, 1, 10, nullptr);
    logged.clear();
    EXPECT_TRUE(DestroyWindow(parent));
    std::vector<std::pair<HWND, UINT>> order;
    for (const Logged& l : logged) order.emplace_back(l.hwnd, l.message);
    EXPECT_THAT(order, ElementsAre(std::make_pair(parent, (UINT)WM_DESTROY), std::make_pair(child, (UINT)WM_DESTROY),
                                   std::make_pair(grandchild, (UINT)WM_DESTROY),
                                   std::make_pair(grandchild, (UINT)WM_NCDESTROY),
                                   std::make_pair(child, (UINT)WM_NCDESTROY),
                                   std::make_pair(parent, (UINT)WM_NCDESTROY)));
    for (HWND h : {parent, child, grandchild}) EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(DestroyWindow(parent));
    EXPECT_TRUE(Drain().empty()) << "messages and timers of destroyed windows go with them";
}

TEST_F(WindowTest, AChildDestroyedFromItsParentsWmDestroyGetsItOnce)
{
    HWND parent = MakeWindow("LayerPlain", WS_POPUP, 0, 0, 50, 50);
    HWND child = MakeWindow("LayerPlain", WS_CHILD, 0, 0, 10, 10, parent);
    answer = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT*) {
        if (h == parent && m == WM_DESTROY) {
            EXPECT_TRUE(IsWindow(parent)) << "still a window during its WM_DESTROY";
            DestroyWindow(child);  // as the saver tears down its stage
        }
        return false;
    };
    logged.clear();
    DestroyWindow(parent);
    std::vector<UINT> childMessages = MessagesOf(child);
    EXPECT_THAT(childMessages, ElementsAre(WM_DESTROY, WM_NCDESTROY));
}

TEST_F(WindowTest, DefaultHandlingOfCloseRequests)
{
    HWND w = MakeWindow("LayerPlain", WS_POPUP, 0, 0, 10, 10);
    SendMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(w));

    w = MakeWindow("LayerPlain", WS_POPUP, 0, 0, 10, 10);
    SendMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(w)) << "SC_CLOSE posts WM_CLOSE";
    EXPECT_THAT(Drain(), ElementsAre(WM_CLOSE));
    EXPECT_FALSE(IsWindow(w));
}

TEST_F(WindowTest, MoveWindowAndClientRect)
{
    HWND parent = MakeWindow("LayerOwnDc", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200);
    HWND child = MakeWindow("LayerPlain", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, parent);
    Drain();
    logged.clear();
    RECT rc;
    ASSERT_TRUE(GetClientRect(child, &rc));
    EXPECT_EQ(rc.right, 50);
    EXPECT_EQ(rc.left, 0);

    EXPECT_TRUE(MoveWindow(child, 20, 30, 50, 50, FALSE));
    EXPECT_THAT(MessagesOf(child), ElementsAre(WM_MOVE));
    EXPECT_TRUE(Drain().empty()) << "no repaint was asked for";

    logged.clear();
    EXPECT_TRUE(MoveWindow(child, 20, 30, 80, 60, FALSE));
    ASSERT_THAT(MessagesOf(child), ElementsAre(WM_SIZE));
    EXPECT_EQ(logged[0].lParam, MAKELPARAM(80, 60));
    ASSERT_TRUE(GetClientRect(child, &rc));
    EXPECT_EQ(rc.right, 80);
    EXPECT_EQ(rc.bottom, 60);

    EXPECT_TRUE(MoveWindow(child, 20, 30, 80, 60, TRUE));
    EXPECT_THAT(Drain(), ElementsAre(WM_PAINT));
    EXPECT_FALSE(GetClientRect((HWND)(uintptr_t)0x100000777ull, &rc));
}

TEST_F(WindowTest, ForeignParentGeometryAndDestruction)
{
    HWND panel = w32test::CreateForeignWindow(152, 112);
    EXPECT_TRUE(IsWindow(panel));
    RECT rc;
    ASSERT_TRUE(GetClientRect(panel, &rc));
    EXPECT_EQ(rc.right, 152);
    EXPECT_EQ(rc.bottom, 112);

    HWND preview = MakeWindow("LayerPlain", WS_CHILD | WS_VISIBLE, 0, 0, 152, 112, panel);
    HWND inner = MakeWindow("LayerPlain", WS_CHILD | WS_VISIBLE, 5, 5, 20, 20, preview);
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

TEST_F(WindowTest, FindWindowAndForeground)
{
    HWND mine = MakeWindow("LayerOwnDc", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, "Screen Saver");
    HWND theirs = w32test::CreateForeignWindow(10, 10, "OtherClass", "Other");
    struct Case {
        const char* cls;
        const char* title;
        HWND expected;
    } cases[] = {
        {"LayerOwnDc", "Screen Saver", mine}, {"LAYEROWNDC", "screen saver", mine}, {nullptr, "Screen Saver", mine},
        {"LayerOwnDc", "Other title", nullptr}, {"OtherClass", "Other", theirs}, {"OtherClass", nullptr, theirs},
        {"Nothing", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.cls ? c.cls : "(any)") + " / " + (c.title ? c.title : "(any)"));
        EXPECT_EQ(FindWindowA(c.cls, c.title), c.expected);
    }
    EXPECT_EQ(GetForegroundWindow(), mine) << "showing a top-level window activates it";
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

        HWND top = MakeWindow("LayerOwnDc", WS_POPUP | WS_VISIBLE, v.left, v.top, v.right - v.left, v.bottom - v.top);
        HWND child = MakeWindow("LayerOwnDc", WS_CHILD | WS_VISIBLE, 30, 40, 10, 10, top);
        HWND grandchild = MakeWindow("LayerOwnDc", WS_CHILD | WS_VISIBLE, 1, 2, 5, 5, child);
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

TEST_F(WindowTest, EraseOnlyWhenAskedAndWithTheClassBrush)
{
    HWND w = MakeWindow("LayerOwnDc", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20);
    Drain();
    auto erases = [&] {
        int n = 0;
        for (const Logged& l : logged) n += l.message == WM_ERASEBKGND;
        return n;
    };
    logged.clear();
    InvalidateRect(w, nullptr, FALSE);
    Drain();
    EXPECT_EQ(erases(), 0);
    InvalidateRect(w, nullptr, TRUE);
    Drain();
    EXPECT_EQ(erases(), 1);
}

}  // namespace
