// Run-time loaded modules. Nothing is loaded from disk and no module is
// built in, so the program's table is empty: LoadLibraryA finds nothing, as
// Windows does for a module that is not installed, and the callers take
// their paths for a missing module. Tests link a table they can fill
// (testing/doubles/module_double.cpp) instead of this file.
#include "platform/posix/sys_internal.h"

namespace w32 {

HMODULE FindLoadedModule(const char* name)
{
    (void)name;
    return nullptr;
}

}  // namespace w32

extern "C" {

HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName)
{
    (void)lpLibFileName;
    return nullptr;
}

// No handle but the executable's is valid, and it exports nothing.
FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName)
{
    (void)hModule;
    (void)lpProcName;
    return nullptr;
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule)
{
    if (w32::IsExecutableModule(hLibModule))
        return hLibModule != nullptr;
    return FALSE;
}

}  // extern "C"
