// The registry. There is no system registry on Linux and the program stores
// nothing in one, so it answers as an empty registry: the predefined roots
// exist and hold no key and no value. Tests link a registry they can fill
// (testing/doubles/registry_double.cpp) instead of this file.
#include "platform/posix/sys_internal.h"

#include <stdint.h>

namespace {

bool IsPredefinedRoot(HKEY key)
{
    for (int32_t i = 0; i <= 6; ++i)
        if (key == reinterpret_cast<HKEY>(static_cast<intptr_t>(INT32_MIN + i)))
            return true;
    return false;
}

}  // namespace

extern "C" {

LONG WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult)
{
    (void)ulOptions;
    (void)samDesired;
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    if (!IsPredefinedRoot(hKey))
        return ERROR_INVALID_HANDLE;
    // An empty subkey opens the root itself, as on Windows.
    bool root = true;
    for (const char* p = lpSubKey ? lpSubKey : ""; *p; ++p)
        root = root && *p == '\\';
    if (!root)
        return ERROR_FILE_NOT_FOUND;
    *phkResult = hKey;
    return ERROR_SUCCESS;
}

LONG WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                             LPDWORD lpcbData)
{
    (void)lpValueName;
    (void)lpType;
    if (lpReserved || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    return IsPredefinedRoot(hKey) ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_HANDLE;
}

LONG WINAPI RegCloseKey(HKEY hKey)
{
    return IsPredefinedRoot(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // extern "C"
