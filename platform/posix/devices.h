// The layer's devices: where a Win32 call meets the machine (the clock, the
// end of the process, the sound output, the boxes and dialogs on the
// screen, resources added at run time, the registry's store). The Win32 functions stay in the
// layer and call these. Each device is an object file of its own under
// platform/posix/devices/, which the program links; tests, tools and
// benchmarks link doubles in their place (testing/doubles/), so the program
// carries no way for a test to reach in.
#pragma once
#include "platform/posix/resources.h"
#include "platform/win32.h"

#include <string>
#include <vector>

namespace w32::devices {

// The clock (clock.cpp): GetTickCount's milliseconds, wrapping at 2^32, and
// QueryPerformanceCounter's nanoseconds, both from an unspecified start.
DWORD TickCount();
LONGLONG PerformanceCount();

// The end of the process (process_end.cpp). EndProcess ends it once
// ExitProcess has flushed stdio and closed the sound; CrashReport is
// UnhandledExceptionFilter's report and result.
[[noreturn]] void EndProcess(UINT exitCode);
LONG CrashReport(EXCEPTION_POINTERS* exception);

// The sound output (sound_output.cpp): plays what PlaySoundA was given.
BOOL PlayOnOutput(LPCSTR sound, HMODULE module, DWORD flags);

// The screen's boxes (screen_boxes.cpp): a message box whose text is on
// stderr already, and a modal dialog once DialogBoxParamA has checked its
// arguments (its result).
void ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);
INT_PTR RunModalDialog(LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param);

// Resources added at run time (added_resources.cpp), asked before the
// embedded tables with canonical names: a resource, or null; true when the
// string with this id is decided here (a null *text hides it).
const EmbeddedResource* FindAddedResource(const std::string& type, const std::string& name);
bool FindAddedString(unsigned id, const char** text);

// The registry's store (registry_store.cpp): keys below the roots by path,
// as w32::RegistryPath gives it ("80000001\CONTROL PANEL\DESKTOP"), and
// their values by upper-cased name; null when the key or the value is not
// there.
struct RegistryValue {
    DWORD type;
    std::vector<BYTE> data;
};
bool RegistryKeyExists(const std::string& path);
const RegistryValue* FindRegistryValue(const std::string& path, const std::string& upperName);

}  // namespace w32::devices
