// Windows: creation and destruction order, classes, closing, geometry,
// finding, the foreground and erasing. Built against our layer and against
// Windows (run under Wine).
#include "tests/semantics/semantics.h"

namespace {

using semantics::answer;
using semantics::Differs;
using semantics::Expected;
using semantics::logged;
using WindowSemantics = semantics::WindowSemantics;

TEST_F(WindowSemantics, CreationSendsItsMessagesInOrder)
{
    CREATESTRUCTA seen = {};
    std::string name, cls;  // the structure's strings live only as long as the call
    LPARAM size = 0;
    answer = [&](HWND, UINT m, WPARAM, LPARAM lp, LRESULT*) {
        if (m == WM_CREATE) {
            seen = *(CREATESTRUCTA*)lp;
            name = seen.lpszName, cls = seen.lpszClass;
        }
        if (m == WM_SIZE)
            size = lp;
        return false;
    };
    const std::initializer_list<UINT> kinds = {WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW};
    HWND w = MakeWindow("SemanticsOwnDc", WS_POPUP | WS_VISIBLE, 5, 6, 70, 80, NULL, "Title");
    ASSERT_TRUE(w);
    EXPECT_EQ(MessagesOf(w, kinds), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}));
    EXPECT_EQ(seen.cx, 70);
    EXPECT_EQ(seen.cy, 80);
    EXPECT_EQ(seen.x, 5);
    EXPECT_EQ(name, "Title");
    EXPECT_EQ(cls, "SemanticsOwnDc");
    EXPECT_EQ(size, MAKELPARAM(70, 80));
    for (const semantics::Logged& l : logged)
        if (l.hwnd == w && l.message == WM_SHOWWINDOW)
            EXPECT_EQ(l.wParam, (WPARAM)TRUE);
    // Without WS_VISIBLE there is no WM_SHOWWINDOW.
    HWND hidden = MakeWindow("SemanticsOwnDc", WS_POPUP, 0, 0, 1, 1);
    EXPECT_EQ(MessagesOf(hidden, kinds), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
}

TEST_F(WindowSemantics, CreationFailures)
{
    const struct {
        const char* name;
        UINT refuse;  // message whose answer refuses creation
        LRESULT result;
    } cases[] = {{"WM_NCCREATE answered FALSE", WM_NCCREATE, FALSE}, {"WM_CREATE answered -1", WM_CREATE, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        logged.clear();
        answer = [&](HWND, UINT m, WPARAM, LPARAM, LRESULT* r) {
            if (m != c.refuse)
                return false;
            *r = c.result;
            return true;
        };
        EXPECT_EQ(MakeWindow("SemanticsPlain", WS_POPUP, 0, 0, 1, 1), (HWND)NULL);
        ASSERT_FALSE(logged.empty());
        EXPECT_FALSE(IsWindow(logged[0].hwnd));
    }
    answer = nullptr;
    EXPECT_EQ(MakeWindow("NoSuchClass", WS_POPUP, 0, 0, 1, 1), (HWND)NULL);
    EXPECT_EQ(MakeWindow("SemanticsPlain", WS_CHILD, 0, 0, 1, 1, NULL), (HWND)NULL) << "a child needs a parent";
    EXPECT_EQ(MakeWindow("SemanticsPlain", WS_CHILD, 0, 0, 1, 1, (HWND)(uintptr_t)0x1234), (HWND)NULL);
}

TEST_F(WindowSemantics, RegisteringAClassTwiceFails)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "semanticsplain";  // names compare without case
    EXPECT_EQ(RegisterClassA(&wc), 0);
    wc.lpszClassName = NULL;
    EXPECT_EQ(RegisterClassA(&wc), 0);
}

TEST_F(WindowSemantics, DestroyTellsTheParentFirstAndFreesTheChildFirst)
{
    HWND parent = MakeWindow("SemanticsPlain", WS_POPUP, 0, 0, 50, 50);
    HWND child = MakeWindow("SemanticsPlain", WS_CHILD, 0, 0, 10, 10, parent);
    HWND grandchild = MakeWindow("SemanticsPlain", WS_CHILD, 0, 0, 5, 5, child);
    PostMessageA(child, WM_USER, 0, 0);
    SetTimer(grandchild, 1, 10, NULL);
    logged.clear();
    EXPECT_TRUE(DestroyWindow(parent));
    std::vector<std::pair<HWND, UINT>> order;
    for (const semantics::Logged& l : logged)
        if (l.message == WM_DESTROY || l.message == WM_NCDESTROY)
            order.emplace_back(l.hwnd, l.message);
    const std::vector<std::pair<HWND, UINT>> expected = {{parent, WM_DESTROY}, {child, WM_DESTROY},
        {grandchild, WM_DESTROY}, {grandchild, WM_NCDESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    for (HWND h : {parent, child, grandchild})
        EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(DestroyWindow(parent));
    Sleep(20);
    EXPECT_TRUE(Drain().empty()) << "messages and timers of destroyed windows go with them";
}

TEST_F(WindowSemantics, AChildDestroyedFromItsParentsWmDestroyGetsItOnce)
{
    HWND parent = MakeWindow("SemanticsPlain", WS_POPUP, 0, 0, 50, 50);
    HWND child = MakeWindow("SemanticsPlain", WS_CHILD, 0, 0, 10, 10, parent);
    answer = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT*) {
        if (h == parent && m == WM_DESTROY) {
            EXPECT_TRUE(IsWindow(parent)) << "still a window during its WM_DESTROY";
            DestroyWindow(child);  // as the saver tears down its stage
        }
        return false;
    };
    logged.clear();
    DestroyWindow(parent);
    EXPECT_EQ(MessagesOf(child, {WM_DESTROY, WM_NCDESTROY}), (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
}

TEST_F(WindowSemantics, DefaultHandlingOfCloseRequests)
{
    HWND w = MakeWindow("SemanticsPlain", WS_POPUP, 0, 0, 10, 10);
    SendMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(w));

    w = MakeWindow("SemanticsPlain", WS_POPUP, 0, 0, 10, 10);
    SendMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(Expected(false, Differs<bool>{true, "SC_CLOSE posts WM_CLOSE where Windows sends it"}), IsWindow(w));
    EXPECT_EQ(Expected({}, Differs<std::vector<UINT>>{{WM_CLOSE}, "SC_CLOSE posts WM_CLOSE where Windows sends it"}),
        Drain());
    EXPECT_FALSE(IsWindow(w));
}

TEST_F(WindowSemantics, MoveWindowAndClientRect)
{
    HWND parent = MakeWindow("SemanticsOwnDc", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200);
    HWND child = MakeWindow("SemanticsPlain", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, parent);
    Drain();
    logged.clear();
    RECT rc;
    ASSERT_TRUE(GetClientRect(child, &rc));
    EXPECT_EQ(rc.right, 50);
    EXPECT_EQ(rc.left, 0);

    EXPECT_TRUE(MoveWindow(child, 20, 30, 50, 50, FALSE));
    EXPECT_EQ(MessagesOf(child, {WM_MOVE, WM_SIZE}), (std::vector<UINT>{WM_MOVE}));
    EXPECT_TRUE(Drain().empty()) << "no repaint was asked for";

    logged.clear();
    LPARAM size = 0;
    answer = [&](HWND, UINT m, WPARAM, LPARAM lp, LRESULT*) {
        if (m == WM_SIZE)
            size = lp;
        return false;
    };
    EXPECT_TRUE(MoveWindow(child, 20, 30, 80, 60, FALSE));
    EXPECT_EQ(MessagesOf(child, {WM_MOVE, WM_SIZE}), (std::vector<UINT>{WM_SIZE}));
    EXPECT_EQ(size, MAKELPARAM(80, 60));
    ASSERT_TRUE(GetClientRect(child, &rc));
    EXPECT_EQ(rc.right, 80);
    EXPECT_EQ(rc.bottom, 60);

    EXPECT_TRUE(MoveWindow(child, 20, 30, 80, 60, TRUE));
    EXPECT_EQ(
        Expected({}, Differs<std::vector<UINT>>{{WM_PAINT}, "MoveWindow repaints even where nothing moved"}), Drain());
    EXPECT_FALSE(GetClientRect((HWND)(uintptr_t)0x100000777ull, &rc));
}

TEST_F(WindowSemantics, FindWindowAndForeground)
{
    HWND mine = MakeWindow("SemanticsOwnDc", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, NULL, "Screen Saver");
    HWND plain = MakeWindow("SemanticsPlain", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, NULL, "Plain");
    const struct {
        const char* cls;
        const char* title;
        HWND expected;
    } cases[] = {
        {"SemanticsOwnDc", "Screen Saver", mine},
        {"SEMANTICSOWNDC", "screen saver", mine},
        {NULL, "Screen Saver", mine},
        {"SemanticsOwnDc", "Other title", NULL},
        {"SemanticsPlain", NULL, plain},
        {"Nothing", NULL, NULL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.cls ? c.cls : "(any)") + " / " + (c.title ? c.title : "(any)"));
        EXPECT_EQ(FindWindowA(c.cls, c.title), c.expected);
    }
    EXPECT_EQ(GetForegroundWindow(), plain) << "showing a top-level window activates it";
    EXPECT_TRUE(SetForegroundWindow(mine));
    EXPECT_EQ(GetForegroundWindow(), mine);
}

TEST_F(WindowSemantics, EraseOnlyWhenAskedAndWithTheClassBrush)
{
    HWND w = MakeWindow("SemanticsOwnDc", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20);
    Drain();
    logged.clear();
    InvalidateRect(w, NULL, FALSE);
    Drain();
    EXPECT_EQ(MessagesOf(w, {WM_ERASEBKGND}).size(), 0u);
    InvalidateRect(w, NULL, TRUE);
    Drain();
    EXPECT_EQ(MessagesOf(w, {WM_ERASEBKGND}).size(), 1u);
}

}  // namespace
