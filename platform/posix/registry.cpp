// The registry: keys opened by path below the predefined roots, and their
// values read, over the registry store (devices/registry_store.cpp). There
// is no system registry on Linux and the program stores nothing in one, so
// the program's store is empty: the roots exist and hold no key and no
// value. Tests link a store they can fill in its place.
#include "platform/posix/devices.h"
#include "platform/posix/sys_internal.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <map>

namespace {

std::map<uintptr_t, std::string> openKeys;  // handle -> path
uintptr_t nextKeyHandle = 0x1000;

bool IsPredefinedRoot(HKEY key)
{
    for (int32_t i = 0; i <= 6; ++i)
        if (key == reinterpret_cast<HKEY>(static_cast<intptr_t>(INT32_MIN + i)))
            return true;
    return false;
}

std::string RootPath(HKEY root)
{
    char text[16];
    snprintf(text, sizeof text, "%08X", static_cast<unsigned>(reinterpret_cast<uintptr_t>(root) & 0xFFFFFFFFu));
    return text;
}

// Empty components ("a\\b", a leading or trailing backslash) are ignored.
std::string JoinPath(const std::string& base, const char* subKey)
{
    std::string path = base;
    std::string part;
    for (const char* p = subKey ? subKey : "";; ++p) {
        if (*p == '\\' || *p == '\0') {
            if (!part.empty())
                path += "\\" + w32::UpperCase(part);
            part.clear();
            if (*p == '\0')
                break;
        } else {
            part += *p;
        }
    }
    return path;
}

// The path of an open key or a root; false for anything else.
bool PathOfHandle(HKEY key, std::string* path)
{
    if (IsPredefinedRoot(key)) {
        *path = RootPath(key);
        return true;
    }
    auto found = openKeys.find(reinterpret_cast<uintptr_t>(key));
    if (found == openKeys.end())
        return false;
    *path = found->second;
    return true;
}

// The roots always exist; a key below them only while the store has it.
bool KeyExists(const std::string& path)
{
    return path.find('\\') == std::string::npos || w32::devices::RegistryKeyExists(path);
}

}  // namespace

namespace w32 {

std::string RegistryPath(HKEY root, const char* subKey)
{
    return JoinPath(RootPath(root), subKey);
}

}  // namespace w32

extern "C" {

// Options and access rights are accepted and not checked: every key is
// readable by everyone.
LONG WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult)
{
    (void)ulOptions;
    (void)samDesired;
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    std::string base;
    if (!PathOfHandle(hKey, &base))
        return ERROR_INVALID_HANDLE;
    std::string path = JoinPath(base, lpSubKey);
    if (!KeyExists(path))
        return ERROR_FILE_NOT_FOUND;
    // An empty subkey opens a root itself, as on Windows.
    if (IsPredefinedRoot(hKey) && path == base) {
        *phkResult = hKey;
        return ERROR_SUCCESS;
    }
    uintptr_t handle = nextKeyHandle;
    nextKeyHandle += 4;
    openKeys[handle] = path;
    *phkResult = reinterpret_cast<HKEY>(handle);
    return ERROR_SUCCESS;
}

LONG WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                             LPDWORD lpcbData)
{
    if (lpReserved || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    std::string path;
    if (!PathOfHandle(hKey, &path))
        return ERROR_INVALID_HANDLE;
    if (!KeyExists(path))
        return ERROR_KEY_DELETED;
    const w32::devices::RegistryValue* value =
        w32::devices::FindRegistryValue(path, w32::UpperCase(lpValueName ? lpValueName : ""));
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (lpType)
        *lpType = value->type;
    DWORD needed = static_cast<DWORD>(value->data.size());
    if (!lpcbData)
        return ERROR_SUCCESS;
    if (lpData && *lpcbData < needed) {
        *lpcbData = needed;
        return ERROR_MORE_DATA;
    }
    if (lpData && needed > 0)
        memcpy(lpData, value->data.data(), needed);
    *lpcbData = needed;
    return ERROR_SUCCESS;
}

LONG WINAPI RegCloseKey(HKEY hKey)
{
    if (IsPredefinedRoot(hKey))
        return ERROR_SUCCESS;
    return openKeys.erase(reinterpret_cast<uintptr_t>(hKey)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // extern "C"
