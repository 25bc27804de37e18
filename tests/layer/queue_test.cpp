// The message queue where it needs the layer's insides: input injected
// as the backend delivers it, and timers on the clock the test steers. The
// rest of the queue's rules run against Windows too (tests/semantics).
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
    HWND w = MakeWindow("SemanticsOwnDc", WS_POPUP | WS_VISIBLE, 0, 0, 64, 48);
    ASSERT_TRUE(w);
    SetTimer(w, 1, 10, nullptr);
    WaitMs(20);
    w32test::InjectInput(w, WM_KEYDOWN, 'A', 1);
    PostMessageA(w, WM_USER, 0, 0);
    // Posted after the input, still taken first.
    PostMessageA(w, WM_USER + 1, 0, 0);
    EXPECT_THAT(Drain(), ElementsAre(WM_USER, WM_USER + 1, WM_KEYDOWN, WM_PAINT, WM_TIMER));
}

TEST_F(QueueTest, TimersFireAtTheirPeriod)
{
    w32test::SetInstantTimers(true);
    HWND w = MakeWindow("SemanticsPlain", WS_POPUP, 0, 0, 10, 10);
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

TEST_F(QueueTest, MouseMessagesAskForTheCursorFirst)
{
    HWND parent = MakeWindow("SemanticsOwnDc", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND child = MakeWindow("SemanticsPlain", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, parent);
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
    HWND w = MakeWindow("SemanticsPlain", WS_POPUP, 0, 0, 10, 10);
    w32test::InjectInput(w, WM_KEYDOWN, 'Q', 1, 'q');
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(TranslateMessage(&msg));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_CHAR);
    EXPECT_EQ(msg.wParam, (WPARAM)'q');
}

}  // namespace
