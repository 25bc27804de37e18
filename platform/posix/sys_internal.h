// Shared between the layer's system-service files; not for the program.
#pragma once
#include "platform/win32.h"

#include <string>
#include <string_view>
#include <vector>

namespace w32 {

// The executable's own module handle (GetModuleHandleA(NULL)).
HMODULE ExecutableModule();

// True for NULL and the executable's handle: the modules whose resources
// are the embedded tables.
bool IsExecutableModule(HMODULE module);

// A registered module that is currently loaded, found by name; NULL if none.
HMODULE FindLoadedModule(const char* name);

// ASCII case-insensitive equality, as Win32 compares names.
bool EqualNoCase(std::string_view a, std::string_view b);
std::string UpperCase(std::string text);

// PlaySoundA's own work (sound.cpp), shared with its test double: finds and
// decodes the sound and hands it to the audio device. With fakeDevice, the
// sound is found and decoded all the same but no device is opened: its name
// goes into *fakeDevice instead, and a stop clears it.
BOOL PlayWave(LPCSTR sound, HMODULE module, DWORD flags, std::string* fakeDevice = nullptr);
// The name PlaySoundA's sound goes by: "#<id>" for an integer resource,
// "<memory>" for an image in memory, "" for NULL.
std::string SoundName(LPCSTR sound, DWORD flags);
// The sound the device still has bytes of, "" when silent; the SDL driver of
// the open device, "" when none is open.
std::string SoundOnDevice();
std::string SoundDeviceDriver();

// Stops the sound and closes the audio device; ExitProcess calls it so the
// device never outlives the process's ordinary end.
void CloseSound();

// The platform id GetVersionExA reports (the NT family) and the flag behind
// SystemParametersInfoA(SPI_SCREENSAVERRUNNING).
extern DWORD platformId;
extern bool screenSaverRunning;

// Hooks that replace a call's whole work or result. Only the test doubles
// (platform/posix/seams/) set them; in the program they stay null.
extern DWORD (*tickCountHook)(DWORD tickCount);
extern LONGLONG (*performanceCounterHook)();
// ExitProcess calls it after stdio is flushed; it must not return, so a hook
// that wants control back throws.
extern void (*exitProcessHook)(UINT exitCode);
// True when it decided UnhandledExceptionFilter's result.
extern bool (*unhandledExceptionHook)(EXCEPTION_POINTERS* exception, LONG* result);
extern BOOL (*playSoundHook)(LPCSTR sound, HMODULE module, DWORD flags);
// Called for every message box once its text is on stderr; false keeps the
// dialog from showing.
extern bool (*messageBoxHook)(LPCSTR text, LPCSTR caption, UINT type);

// Sets the thread's last error to the Win32 code closest to an errno value.
void SetLastErrorFromErrno(int error);

}  // namespace w32
