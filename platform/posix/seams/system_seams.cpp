// The process services' test doubles: arguments, platform id, the clocks,
// the exit and exception hooks, the screen-saver flag and the command-line
// profile values. Linked into the tests, tools and benchmarks, never into
// the program.
#include "platform/posix/process.h"
#include "platform/posix/sys_internal.h"
#include "platform/posix/sys_seams.h"

namespace {

DWORD tickOffset = 0;
std::function<LONGLONG()> performanceCounter;
std::function<void(UINT)> exitHook;
std::function<LONG(EXCEPTION_POINTERS*)> exceptionHook;
int exceptionCount = 0;

DWORD OffsetTickCount(DWORD tickCount)
{
    return tickCount + tickOffset;
}

LONGLONG ScriptedCounter()
{
    return performanceCounter();
}

void ExitDouble(UINT exitCode)
{
    if (exitHook)
        exitHook(exitCode);
}

bool ExceptionDouble(EXCEPTION_POINTERS* exception, LONG* result)
{
    ++exceptionCount;
    if (!exceptionHook)
        return false;
    *result = exceptionHook(exception);
    return true;
}

const bool installed = (w32::tickCountHook = OffsetTickCount, w32::exitProcessHook = ExitDouble,
                        w32::unhandledExceptionHook = ExceptionDouble, true);

}  // namespace

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
    w32::performanceCounterHook = performanceCounter ? ScriptedCounter : nullptr;
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
