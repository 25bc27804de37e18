// The clock: the system's monotonic clock, which no change of the wall
// clock moves, behind both GetTickCount and QueryPerformanceCounter.
#include "platform/posix/devices.h"

#include <stdint.h>
#include <time.h>

namespace {

uint64_t MonotonicNanoseconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

}  // namespace

namespace w32::devices {

DWORD TickCount()
{
    return static_cast<DWORD>(MonotonicNanoseconds() / 1000000u);
}

LONGLONG PerformanceCount()
{
    return static_cast<LONGLONG>(MonotonicNanoseconds());
}

}  // namespace w32::devices
