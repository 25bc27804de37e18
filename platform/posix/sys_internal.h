// Shared between the layer's system-service files; not for the program.
#pragma once
#include "platform/win32.h"

#include <string>

namespace w32 {

// The executable's own module handle (GetModuleHandleA(NULL)).
HMODULE ExecutableModule();

// True for NULL and the executable's handle: the modules whose resources
// are the embedded tables.
bool IsExecutableModule(HMODULE module);

// A registered module that is currently loaded, found by name; NULL if none.
HMODULE FindLoadedModule(const char* name);

// ASCII case-insensitive equality, as Win32 compares names.
bool EqualNoCase(const std::string& a, const std::string& b);
std::string UpperCase(std::string text);

// Stops the sound and closes the audio device; ExitProcess calls it so the
// device never outlives the process's ordinary end.
void CloseSound();

// Sets the thread's last error to the Win32 code closest to an errno value.
void SetLastErrorFromErrno(int error);

}  // namespace w32
