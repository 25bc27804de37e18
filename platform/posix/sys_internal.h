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

// PlaySoundA's own work (sound.cpp), for the sound output and its double: finds and
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

// Stops the sound and closes the audio device and SDL's audio subsystem, so
// that the next sound opens everything anew.
void CloseSound();
// ExitProcess's part: the device is closed, so the sound server sees the
// stream end, and the subsystem is left to the process's end.
void CloseSoundOnExit();

// The platform id GetVersionExA reports (the NT family) and the flag behind
// SystemParametersInfoA(SPI_SCREENSAVERRUNNING).
extern DWORD platformId;
extern bool screenSaverRunning;

// The end and the crash report as the program has them, shared by the
// process device and its double: the leak check of sanitizer builds (a leak
// ends the process there), and the crash's line on stderr.
void CheckLeaksBeforeExit();
void WriteCrashReport(const EXCEPTION_POINTERS* exception);

// A message box's dialog; none in hack mode or without a display.
void ShowMessageDialog(HWND owner, const char* text, const char* caption, UINT type);

// A registry key's path as the registry's store knows it: the root's number
// and the subkey's upper-cased components, joined by backslashes
// ("80000001\CONTROL PANEL\DESKTOP"); empty components are ignored.
std::string RegistryPath(HKEY root, const char* subKey);

// Sets the thread's last error to the Win32 code closest to an errno value.
void SetLastErrorFromErrno(int error);

}  // namespace w32
