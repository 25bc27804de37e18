// The process services' test doubles: arguments, platform id, the clock
// and the process end devices, the screen-saver flag and the command-line
// profile values. Linked into the tests, tools and benchmarks, never into
// the program.
#include "platform/posix/devices.h"
#include "platform/posix/process.h"
#include "platform/posix/sys_internal.h"
#include "testing/doubles/sys_seams.h"

#include <unistd.h>

#include <chrono>

namespace {

DWORD tickOffset = 0;
std::function<LONGLONG()> performanceCounter;
std::function<void(UINT)> exitHook;
std::function<LONG(EXCEPTION_POINTERS*)> exceptionHook;
int exceptionCount = 0;

// The same clock as the program's, so that waits still take their time.
LONGLONG MonotonicNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

namespace w32::devices {

DWORD TickCount()
{
    return static_cast<DWORD>(MonotonicNanoseconds() / 1000000) + tickOffset;
}

LONGLONG PerformanceCount()
{
    return performanceCounter ? performanceCounter() : MonotonicNanoseconds();
}

void EndProcess(UINT exitCode)
{
    if (exitHook)
        exitHook(exitCode);
    CheckLeaksBeforeExit();
    _exit(static_cast<int>(exitCode));
}

LONG CrashReport(EXCEPTION_POINTERS* exception)
{
    ++exceptionCount;
    if (exceptionHook)
        return exceptionHook(exception);
    WriteCrashReport(exception);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace w32::devices

namespace w32test {

void SetProcessArguments(const std::vector<std::string>& argv)
{
    std::vector<char*> pointers;
    for (const std::string& argument : argv)
        pointers.push_back(const_cast<char*>(argument.c_str()));
    w32::SetProcessArguments(static_cast<int>(pointers.size()), pointers.data());
}

void SetPlatformId(DWORD id)
{
    w32::platformId = id;
}

void ResetPlatformId()
{
    w32::platformId = VER_PLATFORM_WIN32_NT;
}

void SetTickCountOffset(DWORD offset)
{
    tickOffset = offset;
}

void SetPerformanceCounter(std::function<LONGLONG()> counter)
{
    performanceCounter = std::move(counter);
}

void SetExitProcessHook(std::function<void(UINT)> hook)
{
    exitHook = std::move(hook);
}

bool ScreenSaverRunning()
{
    return w32::screenSaverRunning;
}

void SetScreenSaverRunning(bool running)
{
    w32::screenSaverRunning = running;
}

void SetUnhandledExceptionHook(std::function<LONG(EXCEPTION_POINTERS*)> hook)
{
    exceptionHook = std::move(hook);
}

int UnhandledExceptionCount()
{
    return exceptionCount;
}

}  // namespace w32test
