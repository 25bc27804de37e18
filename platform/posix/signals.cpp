// SIGTERM, SIGINT and SIGHUP as the ordinary close of our windows. The
// handler only writes a byte into a pipe (all it may safely do); the message
// loop wakes on that pipe and posts WM_CLOSE to each outermost window, so the
// process ends through its usual path: WM_DESTROY, the quit message, the exit
// code, the audio device closed. Once a request has been taken, the default
// dispositions are back: a second signal ends a process whose close hangs.
#include "platform/posix/layer_internal.h"
#include "platform/posix/signals.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace w32 {
namespace {

const int endingSignals[] = {SIGTERM, SIGINT, SIGHUP};
int pipeEnds[2] = {-1, -1};
bool watching = false;
volatile sig_atomic_t signalled = 0;  // spares the loop a read of the pipe at every message

void OnEndingSignal(int)
{
    int saved = errno;
    signalled = 1;
    char byte = 1;
    ssize_t written = write(pipeEnds[1], &byte, 1);  // a full pipe already holds a request
    (void)written;
    errno = saved;
}

bool MakePipe()
{
    if (pipeEnds[0] >= 0)
        return true;
    if (pipe2(pipeEnds, O_NONBLOCK | O_CLOEXEC) != 0) {
        pipeEnds[0] = pipeEnds[1] = -1;
        return false;
    }
    return true;
}

// A signal that was ignored when we started (nohup, a background job)
// stays ignored.
void CatchEndingSignals()
{
    struct sigaction action = {};
    action.sa_handler = OnEndingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : endingSignals) {
        struct sigaction old = {};
        if (sigaction(s, nullptr, &old) == 0 && old.sa_handler != SIG_IGN)
            sigaction(s, &action, nullptr);
    }
}

void RestoreEndingSignals()
{
    struct sigaction action = {}, old = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int s : endingSignals)
        if (sigaction(s, nullptr, &old) == 0 && old.sa_handler == OnEndingSignal)
            sigaction(s, &action, nullptr);
}

}  // namespace

void WatchEndingSignals()
{
    if (watching || !MakePipe())
        return;
    CatchEndingSignals();
    watching = true;
}

int EndingSignalFd()
{
    return watching ? pipeEnds[0] : -1;
}

void TakeEndingSignals()
{
    if (!watching || !signalled)
        return;
    signalled = 0;  // before the read: a signal arriving during it is taken next time
    char bytes[64];
    bool requested = false;
    while (read(pipeEnds[0], bytes, sizeof bytes) > 0)
        requested = true;
    if (!requested)
        return;
    RestoreEndingSignals();
    watching = false;

    std::vector<HWND> outermost = OutermostWindows();
    for (HWND h : outermost)
        PostMessageA(h, WM_CLOSE, 0, 0);
    if (outermost.empty())
        PostQuitMessage(0);
}

}  // namespace w32
