// The signals that end a process (SIGTERM, SIGINT, SIGHUP), turned into the
// ordinary close of its windows by whichever loop runs: the message loop, or
// GTK's loop of a modal dialog or message box.
#pragma once

namespace w32 {

// Installs the handlers; done when the first outermost window or dialog is
// shown on a display. Before that the defaults stand, so a signal ends the
// process at once, as killed by that signal.
void WatchEndingSignals();

// Hack mode, before its first window: a host's reset request (SIGUSR1)
// ends the hack as SIGTERM does once its windows are up, and never kills it.
void WatchResetRequests();

// The descriptor that becomes readable when an ending request has arrived,
// for the waits of the backend and of GTK; -1 when no pipe can be made.
int EndingSignalFd();

// Called by every loop after its wait: drains the pipe whenever it holds
// something. A signal restores the default dispositions (a second one ends
// a process whose close hangs), ends the modal message boxes and dialogs as
// their close box would, and posts WM_CLOSE to every outermost window; with
// nothing to close and no quit message waiting, the process ends at once,
// killed by that signal. A lost display only ends the modal loops: the
// backend destroys the windows.
void TakeEndingSignals();

// Wakes the loops to end the modal message boxes and dialogs: the display
// they draw on is gone. Not for signal handlers.
void RequestEndOfModalLoops();

}  // namespace w32
