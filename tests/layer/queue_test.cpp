// The message queue: Windows' order, timers, filters, quit and dispatch.
#include "layer_fixture.h"

#include <thread>

using ::testing::ElementsAre;

namespace {

void WaitMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

using QueueTest = LayerTest;

TEST_F(QueueTest, PostedThenInputThenPaintThenTimer)
{
    HWND w = MakeWindow("LayerOwnDc", WS_POPUP | WS_VISIBLE, 0, 0, 64, 48);
    ASSERT_TRUE(w);
    SetTimer(w, 1, 10, nullptr);
    WaitMs(20);
    w32test::InjectInput(w, WM_KEYDOWN, 'A', 1);
    PostMessageA(w, WM_USER, 0, 0);
    // Posted after the input, still taken first.
    PostMessageA(w, WM_USER + 1, 0, 0);
    EXPECT_THAT(Drain(), ElementsAre(WM_USER, WM_USER + 1, WM_KEYDOWN, WM_PAINT, WM_TIMER));
}

TEST_F(QueueTest, AtMostOneTimerMessagePendingPerTimer)
{
    HWND w = MakeWindow("LayerPlain", WS_POPUP, 0, 0, 10, 10);
    SetTimer(w, 1, 10, nullptr);
    SetTimer(w, 2, 10, nullptr);
    WaitMs(80);  // several periods of both
    std::vector<UINT> taken = Drain();
    EXPECT_EQ(std::count(taken.begin(), taken.end(), (UINT)WM_TIMER), 2);
    std::vector<WPARAM> ids;
    for (const Logged& l : logged)
        if (l.message == WM_TIMER) ids.push_back(l.wParam);
    EXPECT_THAT(ids, ElementsAre(1u, 2u));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(QueueTest, EachTickIsPaintedBeforeTheNextTick)
{
    w32test::SetInstantTimers(true);
    HWND w = MakeWindow("LayerPlain", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    Drain();  // the first paint after showing
    int ticks = 0;
    answer = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m == WM_TIMER) {
            InvalidateRect(h, nullptr, FALSE);
            if (++ticks == 4) PostQuitMessage(7);
        }
        return false;
    };
    SetTimer(w, 1, 33, nullptr);
    std::vector<UINT> seen;
    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        seen.push_back(msg.message);
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(got, 0);
    EXPECT_EQ(msg.message, (UINT)WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_THAT(seen, ElementsAre(WM_TIMER, WM_PAINT, WM_TIMER, WM_PAINT, WM_TIMER, WM_PAINT, WM_TIMER));
}

TEST_F(QueueTest, TimersFireAtTheirPeriod)
{
    w32test::SetInstantTimers(true);
    HWND w = MakeWindow("LayerPlain", WS_POPUP, 0, 0, 10, 10);
    SetTimer(w, 1, 33, nullptr);
    SetTimer(w, 2, 100, nullptr);
    std::vector<DWORD> fast, slow;
    MSG msg;
    while (slow.size() < 10 && GetMessageA(&msg, nullptr, 0, 0) > 0)
        (msg.wParam == 1 ? fast : slow).push_back(msg.time);
    // The clock only moves by the waits, so each gap is the period plus
    // whatever little real time passed in between.
    for (size_t i = 1; i < slow.size(); i++) {
        EXPECT_GE(slow[i] - slow[i - 1], 100u);
        EXPECT_LT(slow[i] - slow[i - 1], 100u + 30u);
    }
    EXPECT_GE(fast.size(), 27u);
    EXPECT_LE(fast.size(), 31u);
}

TEST_F(QueueTest, KillTimerStopsIt)
{
    HWND w = MakeWindow("LayerPlain", WS_POPUP, 0, 0, 10, 10);
    EXPECT_EQ(SetTimer(w, 5, 10, nullptr), 5u);
    EXPECT_TRUE(KillTimer(w, 5));
    EXPECT_FALSE(KillTimer(w, 5));
    WaitMs(25);
    EXPECT_TRUE(Drain().empty());
    EXPECT_EQ(SetTimer((HWND)(uintptr_t)0x100000999ull, 1, 10, nullptr), 0u) << "no such window";
}

TEST_F(QueueTest, TimerProcIsCalledByDispatch)
{
    static int calls;
    static UINT_PTR firedId;
    calls = 0;
    TIMERPROC proc = [](HWND, UINT, UINT_PTR id, DWORD) { calls++, firedId = id; };
    UINT_PTR id = SetTimer(nullptr, 0, 10, proc);
    ASSERT_NE(id, 0u);
    WaitMs(20);
    Drain();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(firedId, id);
    // A forged WM_TIMER with some other address is not called through.
    MSG forged{nullptr, WM_TIMER, 1, (LPARAM)&calls, 0, {0, 0}};
    EXPECT_EQ(DispatchMessageA(&forged), 0);
}

TEST_F(QueueTest, SendMessageCallsTheProcedureDirectly)
{
    HWND w = MakeWindow("LayerPlain", WS_POPUP, 0, 0, 10, 10);
    Drain();
    logged.clear();
    answer = [](HWND, UINT m, WPARAM wp, LPARAM, LRESULT* r) {
        if (m != WM_APP) return false;
        *r = (LRESULT)wp * 2;
        return true;
    };
    EXPECT_EQ(SendMessageA(w, WM_APP, 21, 0), 42);
    ASSERT_EQ(logged.size(), 1u);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(QueueTest, GetMessageReturnsZeroWithTheQuitCode)
{
    HWND w = MakeWindow("LayerPlain", WS_POPUP, 0, 0, 10, 10);
    PostQuitMessage(3);
    PostMessageA(w, WM_USER, 0, 0);
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, (UINT)WM_USER);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(GetMessageA(&msg, (HWND)(uintptr_t)0x1000000FFull, 0, 0), -1) << "not a window";
}

struct FilterCase {
    const char* name;
    int filterWindow;  // 0 none, 1 parent, 2 child, 3 other, 4 thread messages only
    UINT first, last;
    std::vector<UINT> expected;
};

TEST_F(QueueTest, PeekFiltersByWindowAndRange)
{
    const FilterCase cases[] = {
        {"everything", 0, 0, 0, {WM_USER, WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_TIMER}},
        {"parent takes its child's too", 1, 0, 0, {WM_USER, WM_USER + 1, WM_TIMER}},
        {"child only", 2, 0, 0, {WM_USER + 1, WM_TIMER}},
        {"other window", 3, 0, 0, {WM_USER + 2}},
        {"thread messages", 4, 0, 0, {WM_USER + 3}},
        {"range", 0, WM_USER + 1, WM_USER + 2, {WM_USER + 1, WM_USER + 2}},
        // What the shell does before a password check: drop pending ticks.
        {"ticks of the saver window", 1, WM_TIMER, WM_TIMER, {WM_TIMER}},
    };
    for (const FilterCase& c : cases) {
        SCOPED_TRACE(c.name);
        w32test::ResetWindowing();
        HWND parent = MakeWindow("LayerPlain", WS_POPUP, 0, 0, 50, 50);
        HWND child = MakeWindow("LayerPlain", WS_CHILD, 0, 0, 10, 10, parent);
        HWND other = MakeWindow("LayerPlain", WS_POPUP, 0, 0, 10, 10);
        HWND filters[] = {nullptr, parent, child, other, (HWND)-1};
        PostMessageA(parent, WM_USER, 0, 0);
        PostMessageA(child, WM_USER + 1, 0, 0);
        PostMessageA(other, WM_USER + 2, 0, 0);
        PostMessageA(nullptr, WM_USER + 3, 0, 0);
        SetTimer(child, 1, 10, nullptr);
        WaitMs(15);
        std::vector<UINT> got;
        MSG msg;
        while (PeekMessageA(&msg, filters[c.filterWindow], c.first, c.last, PM_REMOVE | PM_NOYIELD))
            got.push_back(msg.message);
        EXPECT_EQ(got, c.expected);
    }
}

TEST_F(QueueTest, NoRemoveLeavesTheMessage)
{
    HWND w = MakeWindow("LayerPlain", WS_POPUP, 0, 0, 10, 10);
    PostMessageA(w, WM_USER, 1, 2);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.hwnd, w);
    EXPECT_EQ(msg.lParam, 2);
    EXPECT_THAT(Drain(), ElementsAre(WM_USER));
}

TEST_F(QueueTest, MouseMessagesAskForTheCursorFirst)
{
    HWND parent = MakeWindow("LayerOwnDc", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND child = MakeWindow("LayerPlain", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, parent);
    Drain();
    logged.clear();
    w32test::InjectInput(child, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
    Drain();
    // The child's default handling lets the parent decide first.
    ASSERT_GE(logged.size(), 3u);
    EXPECT_EQ(logged[0].hwnd, child);
    EXPECT_EQ(logged[0].message, (UINT)WM_SETCURSOR);
    EXPECT_EQ(logged[1].hwnd, parent);
    EXPECT_EQ(logged[1].message, (UINT)WM_SETCURSOR);
    EXPECT_EQ(logged.back().hwnd, child);
    EXPECT_EQ(logged.back().message, (UINT)WM_MOUSEMOVE);
}

TEST_F(QueueTest, TranslateMessagePostsTheCharacter)
{
    HWND w = MakeWindow("LayerPlain", WS_POPUP, 0, 0, 10, 10);
    w32test::InjectInput(w, WM_KEYDOWN, 'Q', 1, 'q');
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(TranslateMessage(&msg));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_CHAR);
    EXPECT_EQ(msg.wParam, (WPARAM)'q');
}

TEST_F(QueueTest, PaintOnlyForShownWindowsUntilValidated)
{
    HWND hidden = MakeWindow("LayerPlain", WS_POPUP, 0, 0, 10, 10);
    InvalidateRect(hidden, nullptr, TRUE);
    EXPECT_TRUE(Drain().empty());
    HWND shown = MakeWindow("LayerPlain", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    // A procedure that does not validate gets WM_PAINT again.
    answer = [](HWND, UINT m, WPARAM, LPARAM, LRESULT*) { return m == WM_PAINT; };
    MSG msg;
    for (int i = 0; i < 3; i++) {
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, (UINT)WM_PAINT);
        EXPECT_EQ(msg.hwnd, shown);
        DispatchMessageA(&msg);
    }
    answer = nullptr;
    EXPECT_THAT(Drain(), ElementsAre(WM_PAINT));
    EXPECT_TRUE(Drain().empty());
}

}  // namespace
