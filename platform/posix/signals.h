// The signals that end a process (SIGTERM, SIGINT, SIGHUP), turned into the
// ordinary close of its windows by the message loop.
#pragma once

namespace w32 {

// Installs the handlers; done when the first outermost window is shown on a
// display, so that a process without our message loop keeps the defaults.
void WatchEndingSignals();

// The descriptor that becomes readable when a signal has arrived, for the
// backend's wait; -1 when nothing is watched.
int EndingSignalFd();

// Called by the message loop after every wait: when a signal has arrived,
// posts WM_CLOSE to every outermost window (the quit message when there is
// none) and restores the default dispositions.
void TakeEndingSignals();

}  // namespace w32
