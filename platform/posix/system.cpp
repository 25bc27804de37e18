// Process services: command line, version, time, process exit, the
// screen-saver-running flag and the unhandled-exception filter.
#include "platform/posix/devices.h"
#include "platform/posix/process.h"
#include "platform/posix/sys_internal.h"

#include <errno.h>
#include <sched.h>
#include <stdio.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#if BRACKWOLD_LEAK_CHECKED
#include <sanitizer/lsan_interface.h>
#endif

namespace {

std::vector<std::string> arguments;
bool argumentsKnown = false;
std::string commandLine;  // what GetCommandLineA hands out; rebuilt only when the arguments change
bool commandLineBuilt = false;

// Without an entry that told us the arguments (a test binary's own main),
// the kernel's copy is as good.
std::vector<std::string> ReadOwnArguments()
{
    std::vector<std::string> result;
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\0', start);
        if (end == std::string::npos)
            end = all.size();
        result.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

// Only a space makes quotes: other blanks reach the program as they came,
// and the shell skips them like spaces.
std::string QuoteIfNeeded(const std::string& argument)
{
    return argument.find(' ') != std::string::npos ? "\"" + argument + "\"" : argument;
}

void BuildCommandLine()
{
    if (commandLineBuilt)
        return;
    if (!argumentsKnown) {
        arguments = ReadOwnArguments();
        argumentsKnown = true;
    }
    commandLine.clear();
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0)
            commandLine += ' ';
        commandLine += QuoteIfNeeded(arguments[i]);
    }
    commandLineBuilt = true;
}

void ReplaceArguments(std::vector<std::string> argv)
{
    arguments = std::move(argv);
    argumentsKnown = true;
    commandLineBuilt = false;
}

char executableImage;  // its address is the executable's handle
const LONGLONG countsPerSecond = 1000000000;  // the performance counter counts nanoseconds

}  // namespace

namespace w32 {

DWORD platformId = VER_PLATFORM_WIN32_NT;
bool screenSaverRunning = false;

// _exit skips LeakSanitizer's check at exit, so sanitizer builds run it
// here; a leak ends the process with LeakSanitizer's own status instead.
void CheckLeaksBeforeExit()
{
#if BRACKWOLD_LEAK_CHECKED
    const int leakStatus = 23;
    if (__lsan_do_recoverable_leak_check()) {
        fflush(nullptr);
        _exit(leakStatus);
    }
#endif
}

// No debugger and no crash dialog: a line on stderr.
void WriteCrashReport(const EXCEPTION_POINTERS* exception)
{
    const EXCEPTION_RECORD* record = exception ? exception->ExceptionRecord : nullptr;
    if (record)
        fprintf(stderr, "Unhandled exception 0x%08X at %p\n", static_cast<unsigned>(record->ExceptionCode),
                record->ExceptionAddress);
    else
        fprintf(stderr, "Unhandled exception\n");
    fflush(stderr);
}

HMODULE ExecutableModule()
{
    return reinterpret_cast<HMODULE>(&executableImage);
}

bool IsExecutableModule(HMODULE module)
{
    return module == nullptr || module == ExecutableModule();
}

// ASCII only, whatever the C locale says: GTK sets the user's, and in
// Turkish toupper('i') stays 'i', so "SIZE" would no longer name "Size".
static char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

std::string UpperCase(std::string text)
{
    for (char& c : text)
        c = AsciiUpper(c);
    return text;
}

void SetProcessArguments(int argc, char** argv)
{
    std::vector<std::string> copy;
    for (int i = 0; i < argc && argv && argv[i]; ++i)
        copy.emplace_back(argv[i]);
    ReplaceArguments(std::move(copy));
}

// Skips the program name as Windows' start-up code does: a quoted name up to
// its closing quote, otherwise up to the first blank; then the blanks.
LPSTR CommandLineTail()
{
    char* p = GetCommandLineA();
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
        if (*p == '"')
            ++p;
    } else {
        while (static_cast<unsigned char>(*p) > ' ')
            ++p;
    }
    while (*p && static_cast<unsigned char>(*p) <= ' ')
        ++p;
    return p;
}

}  // namespace w32

extern "C" {

LPSTR WINAPI GetCommandLineA(void)
{
    BuildCommandLine();
    return &commandLine[0];
}

// Every character is one byte here: the layer speaks no double-byte code page.
LPSTR WINAPI CharNextA(LPCSTR lpsz)
{
    if (!lpsz || !*lpsz)
        return const_cast<LPSTR>(lpsz);
    return const_cast<LPSTR>(lpsz + 1);
}

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName)
{
    if (!lpModuleName)
        return w32::ExecutableModule();
    return w32::FindLoadedModule(lpModuleName);
}

// Reports Windows 10 of the NT family. Accepts the plain structure and the
// extended one (whose extra fields come back zeroed), like Windows.
BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA lpVersionInformation)
{
    const DWORD extendedSize = sizeof(OSVERSIONINFOA) + 8;
    if (!lpVersionInformation)
        return FALSE;
    DWORD size = lpVersionInformation->dwOSVersionInfoSize;
    if (size != sizeof(OSVERSIONINFOA) && size != extendedSize)
        return FALSE;
    memset(reinterpret_cast<char*>(lpVersionInformation) + sizeof(DWORD), 0, size - sizeof(DWORD));
    lpVersionInformation->dwMajorVersion = 10;
    lpVersionInformation->dwMinorVersion = 0;
    lpVersionInformation->dwBuildNumber = 19045;
    lpVersionInformation->dwPlatformId = w32::platformId;
    return TRUE;
}

DWORD WINAPI GetTickCount(void)
{
    return w32::devices::TickCount();
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency)
{
    if (!lpFrequency)
        return FALSE;
    lpFrequency->QuadPart = countsPerSecond;
    return TRUE;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount)
{
    if (!lpPerformanceCount)
        return FALSE;
    lpPerformanceCount->QuadPart = w32::devices::PerformanceCount();
    return TRUE;
}

void WINAPI Sleep(DWORD dwMilliseconds)
{
    if (dwMilliseconds == 0) {
        sched_yield();
        return;
    }
    timespec left{static_cast<time_t>(dwMilliseconds / 1000), static_cast<long>(dwMilliseconds % 1000) * 1000000L};
    while (nanosleep(&left, &left) == -1 && errno == EINTR) {
    }
}

// Ends at once, without running static destructors: the audio thread may
// still be reading buffers they would free.
void WINAPI ExitProcess(UINT uExitCode)
{
    fflush(nullptr);
    w32::CloseSoundOnExit();
    w32::devices::EndProcess(uExitCode);
}

// Only the screen-saver-running flag exists here; other actions fail.
BOOL WINAPI SystemParametersInfoA(UINT uiAction, UINT uiParam, LPVOID pvParam, UINT fWinIni)
{
    (void)fWinIni;
    if (uiAction != SPI_SCREENSAVERRUNNING)
        return FALSE;
    if (pvParam)
        *static_cast<BOOL*>(pvParam) = w32::screenSaverRunning ? TRUE : FALSE;
    w32::screenSaverRunning = uiParam != 0;
    return TRUE;
}

LONG WINAPI UnhandledExceptionFilter(EXCEPTION_POINTERS* ExceptionInfo)
{
    return w32::devices::CrashReport(ExceptionInfo);
}

}  // extern "C"
