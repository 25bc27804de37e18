// The message queue's order, timers, direct sends, destruction order and
// CharNextA. Built against our layer and against Windows (run under Wine).
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<UINT> delivered;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY || message == WM_NCDESTROY || message == WM_USER + 9)
        delivered.push_back(message == WM_USER + 9 ? message : message + (GetParent(window) ? 0x1000 : 0));
    if (message == WM_USER + 9)
        return 42;
    return DefWindowProcA(window, message, wParam, lParam);
}

class QueueSemantics : public ::testing::Test {
protected:
    void SetUp() override
    {
        static ATOM registered = [] {
            WNDCLASSA plain = {};
            plain.lpfnWndProc = RecordingProc;
            plain.lpszClassName = "SemanticsWindow";
            return RegisterClassA(&plain);
        }();
        ASSERT_NE(registered, 0);
        window = CreateWindowExA(0, "SemanticsWindow", "semantics", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30, NULL, NULL,
                                 NULL, NULL);
        ASSERT_NE(window, (HWND)NULL);
        Drain();  // what showing the window brings
        delivered.clear();
    }

    void TearDown() override
    {
        if (IsWindow(window))
            DestroyWindow(window);
        Drain();
    }

    // Takes every message available now, dispatching all but WM_QUIT.
    static std::vector<MSG> Drain()
    {
        std::vector<MSG> taken;
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            taken.push_back(message);
            if (message.message != WM_QUIT)
                DispatchMessageA(&message);
        }
        return taken;
    }

    static std::vector<UINT> Ids(const std::vector<MSG>& messages)
    {
        std::vector<UINT> ids;
        for (const MSG& m : messages)
            ids.push_back(m.message);
        return ids;
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
    std::vector<MSG> taken = Drain();
    EXPECT_EQ(Ids(taken), (std::vector<UINT>{WM_USER, WM_USER + 1, WM_QUIT, WM_PAINT, WM_TIMER}));
    ASSERT_EQ(taken.size(), 5u);
    EXPECT_EQ(taken[2].wParam, 3u);
    EXPECT_EQ(taken[4].wParam, 1u);
    KillTimer(window, 1);
}

TEST_F(QueueSemantics, AtMostOneTimerMessagePendingPerTimer)
{
    SetTimer(window, 1, 10, NULL);
    SetTimer(window, 2, 10, NULL);
    Sleep(80);  // several periods of both
    std::vector<MSG> taken = Drain();
    ASSERT_EQ(Ids(taken), (std::vector<UINT>{WM_TIMER, WM_TIMER}));
    EXPECT_NE(taken[0].wParam, taken[1].wParam);
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
}

TEST_F(QueueSemantics, SendCallsTheProcedureDirectly)
{
    EXPECT_EQ(SendMessageA(window, WM_USER + 9, 0, 0), 42);
    EXPECT_EQ(delivered, (std::vector<UINT>{WM_USER + 9}));
    EXPECT_TRUE(Drain().empty());
}

TEST_F(QueueSemantics, DestroyTellsTheParentFirstAndFreesTheChildFirst)
{
    HWND child = CreateWindowExA(0, "SemanticsWindow", "child", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, window, NULL,
                                 NULL, NULL);
    ASSERT_NE(child, (HWND)NULL);
    ASSERT_TRUE(DestroyWindow(window));
    const UINT childFlag = 0x1000;
    EXPECT_EQ(delivered, (std::vector<UINT>{WM_DESTROY, WM_DESTROY + childFlag, WM_NCDESTROY + childFlag,
                                            WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(window));
}

TEST(StringSemantics, CharNextStepsOneByteAndStopsAtTheEnd)
{
    const char text[] = "a/ b";
    const struct {
        const char* from;
        const char* next;
    } cases[] = {{text, text + 1}, {text + 3, text + 4}, {text + 4, text + 4}};
    for (const auto& c : cases)
        EXPECT_EQ(CharNextA(c.from), c.next) << (c.from - text);
}

}  // namespace
