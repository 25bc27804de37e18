// SIGTERM, SIGINT and SIGHUP through the real message loop: each becomes
// WM_CLOSE for the outermost windows only, and afterwards the default
// disposition is back, so a second signal would end the process outright;
// with no window, the signal ends the process.
#include "layer_fixture.h"
#include "platform/posix/signals.h"

#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

namespace {

using SignalsTest = LayerTest;

void (*Disposition(int signal))(int)
{
    struct sigaction now = {};
    sigaction(signal, nullptr, &now);
    return now.sa_handler;
}

bool Has(const std::vector<UINT>& messages, UINT message)
{
    return std::find(messages.begin(), messages.end(), message) != messages.end();
}

TEST_F(SignalsTest, EachEndingSignalClosesTheOutermostWindows)
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        HWND top = MakeWindow("SemanticsPlain", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
        HWND child = MakeWindow("SemanticsPlain", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top);
        ASSERT_TRUE(top && child);
        Drain();
        logged.clear();

        w32::WatchEndingSignals();
        ASSERT_NE(SIG_DFL, Disposition(signal));
        ASSERT_EQ(0, raise(signal));
        Drain();

        EXPECT_TRUE(Has(MessagesOf(top), WM_CLOSE));
        EXPECT_TRUE(Has(MessagesOf(top), WM_DESTROY)) << "the default handling of WM_CLOSE destroys it";
        EXPECT_FALSE(Has(MessagesOf(child), WM_CLOSE));
        EXPECT_FALSE(IsWindow(top));
        EXPECT_EQ(SIG_DFL, Disposition(signal));
    }
}

// Nothing of ours to close: the process ends as the default would have ended
// it, at once and killed by that signal.
TEST_F(SignalsTest, WithNothingToCloseTheProcessEndsKilledByTheSignal)
{
    EXPECT_EXIT(
        {
            w32::WatchEndingSignals();
            raise(SIGHUP);
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
            _exit(0);
        },
        ::testing::KilledBySignal(SIGHUP), "");
}

TEST_F(SignalsTest, ASignalIgnoredFromTheStartStaysIgnored)
{
    signal(SIGHUP, SIG_IGN);
    HWND top = MakeWindow("SemanticsPlain", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    w32::WatchEndingSignals();
    ASSERT_EQ(0, raise(SIGHUP));
    Drain();
    EXPECT_TRUE(IsWindow(top));
    EXPECT_EQ(SIG_IGN, Disposition(SIGHUP));
    signal(SIGHUP, SIG_DFL);

    ASSERT_EQ(0, raise(SIGTERM));  // the others were caught all the same
    Drain();
    EXPECT_FALSE(IsWindow(top));
}

// With one descriptor left (ulimit -n) no pipe can be made: a signal then
// ends the process at once with the usual way out's 0, not killed by it.
TEST_F(SignalsTest, WithoutAPipeASignalEndsTheProcessAtOnce)
{
    EXPECT_EXIT(
        {
            MakeWindow("LayerPlain", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
            rlimit few;
            getrlimit(RLIMIT_NOFILE, &few);
            few.rlim_cur = 64;
            setrlimit(RLIMIT_NOFILE, &few);
            int last = -1;
            for (int fd; (fd = open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
                last = fd;
            close(last);
            w32::WatchEndingSignals();
            raise(SIGTERM);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
