// The test double of the registry: read-only keys that a test registered
// in-process, nothing stored between runs. Linked into the tests, tools and
// benchmarks; the program's registry is empty (platform/posix/registry.cpp).
#include "platform/posix/sys_internal.h"
#include "testing/doubles/sys_seams.h"

#include <string.h>

#include <map>

namespace {

struct Value {
    DWORD type;
    std::vector<BYTE> data;
};

// A key's path is its root's number and its upper-cased components, joined
// by backslashes: "80000001\CONTROL PANEL\DESKTOP".
std::map<std::string, std::map<std::string, Value>> keys;  // path -> upper-case value name -> value
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

bool KeyExists(const std::string& path)
{
    return keys.count(path) > 0 || path.find('\\') == std::string::npos;
}

void CreateKeyWithParents(const std::string& path)
{
    for (size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', slash + 1))
        keys[path.substr(0, slash)];
    keys[path];
}

}  // namespace

namespace w32test {

void SetRegistryValue(HKEY root, const std::string& keyPath, const std::string& valueName, DWORD type,
                      const std::vector<BYTE>& data)
{
    std::string path = JoinPath(RootPath(root), keyPath.c_str());
    CreateKeyWithParents(path);
    keys[path][w32::UpperCase(valueName)] = Value{type, data};
}

void SetRegistryDword(HKEY root, const std::string& keyPath, const std::string& valueName, DWORD value)
{
    std::vector<BYTE> bytes(sizeof value);
    memcpy(bytes.data(), &value, sizeof value);
    SetRegistryValue(root, keyPath, valueName, REG_DWORD, bytes);
}

void RemoveRegistryValue(HKEY root, const std::string& keyPath, const std::string& valueName)
{
    auto key = keys.find(JoinPath(RootPath(root), keyPath.c_str()));
    if (key != keys.end())
        key->second.erase(w32::UpperCase(valueName));
}

void RemoveRegistryKey(HKEY root, const std::string& keyPath)
{
    std::string path = JoinPath(RootPath(root), keyPath.c_str());
    for (auto key = keys.begin(); key != keys.end();) {
        bool inside = key->first == path || key->first.compare(0, path.size() + 1, path + "\\") == 0;
        key = inside ? keys.erase(key) : std::next(key);
    }
}

void ClearRegistry()
{
    keys.clear();
}

}  // namespace w32test

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
    auto key = keys.find(path);
    if (key == keys.end())
        return KeyExists(path) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    auto value = key->second.find(w32::UpperCase(lpValueName ? lpValueName : ""));
    if (value == key->second.end())
        return ERROR_FILE_NOT_FOUND;
    if (lpType)
        *lpType = value->second.type;
    DWORD needed = static_cast<DWORD>(value->second.data.size());
    if (!lpcbData)
        return ERROR_SUCCESS;
    if (lpData && *lpcbData < needed) {
        *lpcbData = needed;
        return ERROR_MORE_DATA;
    }
    if (lpData && needed > 0)
        memcpy(lpData, value->second.data.data(), needed);
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
