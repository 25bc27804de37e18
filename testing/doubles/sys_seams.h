// Test seams of the layer's system services: the process, modules, registry,
// resources, sound and message boxes. Tests arrange the world through these
// C++ calls, which live in testing/doubles/: the program does not link
// them, and nothing here is reachable through the environment or the command
// line.
#pragma once
#include "platform/win32.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace w32test {

// --- Process -------------------------------------------------------------

// Replaces the arguments GetCommandLineA is built from (argv[0] first).
void SetProcessArguments(const std::vector<std::string>& argv);

// The platform id GetVersionExA reports (VER_PLATFORM_WIN32_NT by default).
void SetPlatformId(DWORD platformId);
void ResetPlatformId();

// Added to every GetTickCount result, so tests can cross the 32-bit wrap.
void SetTickCountOffset(DWORD offset);

// Replaces the clock QueryPerformanceCounter reads, in its counts
// (nanoseconds: QueryPerformanceFrequency reports 1e9). An empty function
// restores the system's clock.
void SetPerformanceCounter(std::function<LONGLONG()> counter);

// Called by ExitProcess after stdio is flushed. ExitProcess must not return,
// so a hook that wants control back throws; if it returns, the process ends.
// An empty function removes the hook.
void SetExitProcessHook(std::function<void(UINT exitCode)> hook);

// The flag behind SystemParametersInfoA(SPI_SCREENSAVERRUNNING).
bool ScreenSaverRunning();
void SetScreenSaverRunning(bool running);

// Replaces UnhandledExceptionFilter's report and result; an empty function
// restores the default (report to stderr, EXCEPTION_EXECUTE_HANDLER).
void SetUnhandledExceptionHook(std::function<LONG(EXCEPTION_POINTERS*)> hook);
// How many times UnhandledExceptionFilter has been called.
int UnhandledExceptionCount();

// --- Modules ---------------------------------------------------------------

struct FakeExport {
    std::string name;
    FARPROC proc;
};

// Any function pointer as the FARPROC a fake module exports (through the
// generic function type, which the compiler accepts without a warning).
template <typename F>
FARPROC AsFarProc(F* function)
{
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)(void)>(function));
}

// Makes a module loadable by name (LoadLibraryA), not yet loaded. Registering
// a name again replaces its exports and unloads it.
void RegisterModule(const std::string& name, const std::vector<FakeExport>& exports);
// Loads the module as the system would before the program starts, so that
// GetModuleHandleA finds it (one reference).
void MarkModuleLoaded(const std::string& name);
void UnregisterModule(const std::string& name);
void UnregisterAllModules();
// The module's reference count; -1 when the name is not registered.
int ModuleReferenceCount(const std::string& name);

// --- Registry --------------------------------------------------------------

// Creates the key (and its parents) under the root when missing and sets
// the value. Key paths use backslashes, as Win32 does.
void SetRegistryValue(HKEY root, const std::string& keyPath, const std::string& valueName, DWORD type,
                      const std::vector<BYTE>& data);
void SetRegistryDword(HKEY root, const std::string& keyPath, const std::string& valueName, DWORD value);
void RemoveRegistryValue(HKEY root, const std::string& keyPath, const std::string& valueName);
// Removes the key with its values and subkeys.
void RemoveRegistryKey(HKEY root, const std::string& keyPath);
void ClearRegistry();

// --- Resources -------------------------------------------------------------

// Adds a resource that FindEmbeddedResource finds before the embedded
// tables (the bytes are copied). The name may be "#<id>" for a numeric id.
void AddResource(const std::string& type, const std::string& name, const std::vector<unsigned char>& data);
void RemoveResource(const std::string& type, const std::string& name);
// Overrides or adds string table entries; RemoveString hides an entry,
// embedded or not.
void SetString(UINT id, const std::string& text);
void RemoveString(UINT id);
void ResetResources();

// --- Sound -----------------------------------------------------------------

enum class SoundOutcome {
    Real,        // open a real device and play
    FakeDevice,  // find and decode as usual, but pretend a device took the sound
    Succeed,     // report success without looking at anything
    Fail,        // report failure, as without a device
};

struct SoundCall {
    std::string sound;  // the name, "#<id>" for MAKEINTRESOURCE, "" for NULL
    HMODULE module;
    DWORD flags;
    BOOL result;
};

void SetSoundOutcome(SoundOutcome outcome);
std::vector<SoundCall> SoundCalls();
void ClearSoundCalls();
// What the process is playing now: the last sound that started and has
// bytes left in the device queue; "" when silent.
std::string SoundPlaying();
// The SDL audio driver in use, "" when no device is open.
std::string SoundDriver();
// Closes the device and leaves SDL's audio subsystem, so the next real
// PlaySoundA opens everything anew.
void CloseSoundDevice();

// --- Message boxes -----------------------------------------------------------

struct MessageBoxCall {
    std::string text;
    std::string caption;
    UINT type;
};

// While suppressed, MessageBoxA still writes to stderr but shows no dialog;
// every call is recorded either way.
void SuppressMessageBoxes(bool suppress);
std::vector<MessageBoxCall> MessageBoxCalls();
void ClearMessageBoxCalls();

}  // namespace w32test
