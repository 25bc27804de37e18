// The message queue's order, filters, quit, timers and direct sends, and
// CharNextA. Built against our layer and against Windows (run under Wine).
#include "tests/semantics/semantics.h"

#include <algorithm>

namespace {

using semantics::answer;
using semantics::Differs;
using semantics::Expected;
using semantics::logged;

class QueueSemantics : public semantics::WindowSemantics {
protected:
    void SetUp() override
    {
        semantics::WindowSemantics::SetUp();
        window = MakeWindow("SemanticsPlain", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30);
        ASSERT_NE(window, (HWND)NULL);
        Drain();  // what showing the window brings
        logged.clear();
    }

    HWND window = NULL;
};

TEST_F(QueueSemantics, PostedInOrderThenQuitThenPaintThenTimer)
{
    SetTimer(window, 1, 10, NULL);
    Sleep(40);
    InvalidateRect(window, NULL, FALSE);
    PostMessageA(window, WM_USER, 0, 0);
    PostQuitMessage(3);
    PostMessageA(window, WM_USER + 1, 0, 0);
    std::vector<MSG> taken = DrainMessages();
    EXPECT_EQ(Ids(taken), (std::vector<UINT>{WM_USER, WM_USER + 1, WM_QUIT, WM_PAINT, WM_TIMER}));
    ASSERT_EQ(taken.size(), 5u);
    EXPECT_EQ(taken[2].wParam, 3u);
    EXPECT_EQ(taken[4].wParam, 1u);
    KillTimer(window, 1);
}

TEST_F(QueueSemantics, GetMessageReturnsZeroWithTheQuitCode)
{
    PostQuitMessage(3);
    PostMessageA(window, WM_USER, 0, 0);
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg, NULL, 0, 0), TRUE);
    EXPECT_EQ(msg.message, (UINT)WM_USER);
    EXPECT_EQ(GetMessageA(&msg, NULL, 0, 0), 0);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(GetMessageA(&msg, (HWND)(uintptr_t)0x1000000FFull, 0, 0), -1) << "not a window";
}

TEST_F(QueueSemantics, AtMostOneTimerMessagePendingPerTimer)
{
    SetTimer(window, 1, 10, NULL);
    SetTimer(window, 2, 10, NULL);
    Sleep(80);  // several periods of both
    std::vector<MSG> taken = DrainMessages();
    ASSERT_EQ(Ids(taken), (std::vector<UINT>{WM_TIMER, WM_TIMER}));
    EXPECT_EQ(taken[0].wParam, 1u);
    EXPECT_EQ(taken[1].wParam, 2u);
    EXPECT_TRUE(KillTimer(window, 1));
    EXPECT_TRUE(KillTimer(window, 2));
    EXPECT_FALSE(KillTimer(window, 2));
    Sleep(20);
    EXPECT_TRUE(Drain().empty());
}

TEST_F(QueueSemantics, SetTimerAgainReplacesTheTimer)
{
    EXPECT_EQ(SetTimer(window, 5, 10, NULL), 5u);
    EXPECT_EQ(SetTimer(window, 5, 10000, NULL), 5u);
    Sleep(40);
    EXPECT_TRUE(Drain().empty());
    EXPECT_TRUE(KillTimer(window, 5));
    EXPECT_EQ(SetTimer((HWND)(uintptr_t)0x100000999ull, 1, 10, NULL), 0u) << "no such window";
}

TEST_F(QueueSemantics, EachTickIsPaintedBeforeTheNextTick)
{
    int ticks = 0;
    answer = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m == WM_TIMER) {
            InvalidateRect(h, NULL, FALSE);
            if (++ticks == 4)
                PostQuitMessage(7);
        }
        return false;
    };
    SetTimer(window, 1, 10, NULL);
    std::vector<UINT> seen;
    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, NULL, 0, 0)) > 0) {
        seen.push_back(msg.message);
        DispatchMessageA(&msg);
    }
    KillTimer(window, 1);
    EXPECT_EQ(got, 0);
    EXPECT_EQ(msg.message, (UINT)WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(seen, (std::vector<UINT>{WM_TIMER, WM_PAINT, WM_TIMER, WM_PAINT, WM_TIMER, WM_PAINT, WM_TIMER}));
}

TEST_F(QueueSemantics, TimerProcIsCalledByDispatch)
{
    static int calls;
    static UINT_PTR firedId;
    calls = 0;
    TIMERPROC proc = [](HWND, UINT, UINT_PTR id, DWORD) { calls++, firedId = id; };
    UINT_PTR id = SetTimer(NULL, 0, 10, proc);
    ASSERT_NE(id, 0u);
    Sleep(20);
    Drain();
    KillTimer(NULL, id);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(firedId, id);
    // A forged WM_TIMER with some other address is not called through.
    MSG forged = {NULL, WM_TIMER, 1, (LPARAM)&calls, 0, {0, 0}};
    EXPECT_EQ(DispatchMessageA(&forged), 0);
}

TEST_F(QueueSemantics, SendCallsTheProcedureDirectly)
{
    answer = [](HWND, UINT m, WPARAM wp, LPARAM, LRESULT* r) {
        if (m != WM_APP)
            return false;
        *r = (LRESULT)wp * 2;
        return true;
    };
    EXPECT_EQ(SendMessageA(window, WM_APP, 21, 0), 42);
    EXPECT_EQ(MessagesOf(window, {WM_APP}), (std::vector<UINT>{WM_APP}));
    EXPECT_TRUE(Drain().empty());
}

TEST_F(QueueSemantics, PeekFiltersByWindowAndRange)
{
    const char* const childTicks = "a window's filter takes its children's timer ticks too";
    const struct {
        const char* name;
        int filterWindow;  // 0 none, 1 parent, 2 child, 3 other, 4 thread messages only
        UINT first, last;
        std::vector<UINT> expected;
        Differs<std::vector<UINT>> layer = {};
    } cases[] = {
        {"everything", 0, 0, 0, {WM_USER, WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_TIMER}},
        {"parent takes its child's posted messages too", 1, 0, 0, {WM_USER, WM_USER + 1},
            {{WM_USER, WM_USER + 1, WM_TIMER}, childTicks}},
        {"child only", 2, 0, 0, {WM_USER + 1, WM_TIMER}},
        {"other window", 3, 0, 0, {WM_USER + 2}},
        {"thread messages", 4, 0, 0, {WM_USER + 3}},
        {"range", 0, WM_USER + 1, WM_USER + 2, {WM_USER + 1, WM_USER + 2}},
        // What the shell does before a password check: drop pending ticks.
        {"ticks of the saver window", 1, WM_TIMER, WM_TIMER, {}, {{WM_TIMER}, childTicks}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND parent = MakeWindow("SemanticsPlain", WS_POPUP, 0, 0, 50, 50);
        HWND child = MakeWindow("SemanticsPlain", WS_CHILD, 0, 0, 10, 10, parent);
        HWND other = MakeWindow("SemanticsPlain", WS_POPUP, 0, 0, 10, 10);
        HWND filters[] = {NULL, parent, child, other, (HWND)-1};
        Drain();
        PostMessageA(parent, WM_USER, 0, 0);
        PostMessageA(child, WM_USER + 1, 0, 0);
        PostMessageA(other, WM_USER + 2, 0, 0);
        PostMessageA(NULL, WM_USER + 3, 0, 0);
        SetTimer(child, 1, 10, NULL);
        Sleep(15);
        std::vector<UINT> got;
        MSG msg;
        while (PeekMessageA(&msg, filters[c.filterWindow], c.first, c.last, PM_REMOVE | PM_NOYIELD))
            got.push_back(msg.message);
        EXPECT_EQ(Expected(c.expected, c.layer), got);
        DestroyWindow(parent);
        DestroyWindow(other);
        Drain();
    }
}

TEST_F(QueueSemantics, NoRemoveLeavesTheMessage)
{
    PostMessageA(window, WM_USER, 1, 2);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_EQ(msg.lParam, 2);
    EXPECT_EQ(Drain(), (std::vector<UINT>{WM_USER}));
}

TEST_F(QueueSemantics, PaintOnlyForShownWindowsUntilValidated)
{
    HWND hidden = MakeWindow("SemanticsPlain", WS_POPUP, 0, 0, 10, 10);
    InvalidateRect(hidden, NULL, TRUE);
    EXPECT_TRUE(Drain().empty());
    HWND shown = MakeWindow("SemanticsPlain", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    // A procedure that does not validate gets WM_PAINT again.
    answer = [](HWND, UINT m, WPARAM, LPARAM, LRESULT*) { return m == WM_PAINT; };
    MSG msg;
    for (int i = 0; i < 3; i++) {
        ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, (UINT)WM_PAINT);
        EXPECT_EQ(msg.hwnd, shown);
        DispatchMessageA(&msg);
    }
    answer = nullptr;
    EXPECT_EQ(Drain(), (std::vector<UINT>{WM_PAINT}));
    EXPECT_TRUE(Drain().empty());
}

TEST(StringSemantics, CharNextStepsOneByteAndStopsAtTheEnd)
{
    const char text[] = "a/\xE9 b";
    const struct {
        const char* from;
        const char* next;
    } cases[] = {{text, text + 1}, {text + 2, text + 3}, {text + 3, text + 4}, {text + 5, text + 5}};
    for (const auto& c : cases)
        EXPECT_EQ(CharNextA(c.from), c.next) << (c.from - text);
}

}  // namespace
