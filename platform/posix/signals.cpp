// SIGTERM, SIGINT and SIGHUP as the ordinary close of our windows. The
// handler only writes the signal's number into a pipe (all it may safely
// do); every loop that can run once it is installed wakes on that pipe: the
// message loop through the backend's wait, GTK's modal loops through a watch
// in GLib's main context. Either one ends the modal message boxes and
// dialogs as their close box would and posts WM_CLOSE to each outermost
// window, so the process ends through its usual path: WM_DESTROY, the quit
// message, the exit code, the audio device closed. Once a request has been
// taken, the default dispositions are back: a second signal ends a process
// whose close hangs.
#include "platform/posix/dialog_internal.h"
#include "platform/posix/layer_internal.h"
#include "platform/posix/signals.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace w32 {
namespace {

const int endingSignals[] = {SIGTERM, SIGINT, SIGHUP};
const char displayLost = 0;  // in the pipe beside the signal numbers
int pipeEnds[2] = {-1, -1};
bool watching = false;

void Send(char byte)
{
    int saved = errno;
    ssize_t written = write(pipeEnds[1], &byte, 1);  // a full pipe already holds a request
    (void)written;
    errno = saved;
}

void OnEndingSignal(int signal)
{
    Send((char)signal);
}

// Without a pipe (no descriptor left) no loop can hear the request: end at
// once with the code the usual way out gives, rather than die of the signal.
void EndAtOnce(int)
{
    _exit(0);
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
void CatchEndingSignals(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
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

// Innermost first: a box ends before the dialog that owns it is closed.
size_t EndModalLoops()
{
    return EndMessageBoxes() + CloseDialogs();
}

void EndOnSignal(int signal)
{
    RestoreEndingSignals();
    watching = false;
    size_t closed = EndModalLoops();
    std::vector<HWND> outermost = OutermostWindows();
    for (HWND h : outermost)
        PostMessageA(h, WM_CLOSE, 0, 0);
    // Nothing of ours to close: end as the default would have, unless the
    // loop is ending already (the windows are gone, the quit message waits).
    if (closed + outermost.size() == 0 && !QuitPending())
        raise(signal);
}

}  // namespace

void WatchEndingSignals()
{
    if (watching)
        return;
    if (!MakePipe()) {
        CatchEndingSignals(EndAtOnce);
        return;
    }
    CatchEndingSignals(OnEndingSignal);
    watching = true;
}

int EndingSignalFd()
{
    return MakePipe() ? pipeEnds[0] : -1;
}

void RequestEndOfModalLoops()
{
    if (MakePipe())
        Send(displayLost);
}

// One read when nothing has arrived: cheap beside a frame, and no request
// can slip between a flag and the pipe.
void TakeEndingSignals()
{
    if (pipeEnds[0] < 0)
        return;
    char bytes[64];
    int signal = 0;
    bool lost = false;
    ssize_t n;
    while ((n = read(pipeEnds[0], bytes, sizeof bytes)) > 0)
        for (ssize_t i = 0; i < n; ++i) {
            if (bytes[i] == displayLost)
                lost = true;
            else if (!signal)
                signal = bytes[i];
        }
    if (signal && watching)
        EndOnSignal(signal);
    else if (lost)
        EndModalLoops();
}

}  // namespace w32
