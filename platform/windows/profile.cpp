// Private-profile files of the 64-bit Windows saver. Windows turns a write
// to its own folder into a per-user copy only for 32-bit programs, so a
// 64-bit saver run by an ordinary user could never save there. A bare
// profile name therefore lives in %APPDATA%\Brackwold, made at the first
// write; until that file exists, reads fall back to the Windows folder's
// file, so settings that an administrator or an older install left there
// still count. A name with a folder part is used as given, and without a
// usable APPDATA (a service account) everything stays in the Windows folder.
#include "platform/windows/profile.h"

#include <string.h>

#include <string>

namespace {

bool IsBareName(LPCSTR name)
{
    return name && *name && !strpbrk(name, "\\/:");
}

// %APPDATA%\Brackwold, or empty when APPDATA is unset or not a full path.
std::string UserFolder()
{
    DWORD size = GetEnvironmentVariableA("APPDATA", nullptr, 0);
    if (size == 0)
        return {};
    std::string folder(size, '\0');
    DWORD length = GetEnvironmentVariableA("APPDATA", &folder[0], size);
    if (length == 0 || length >= size)
        return {};
    folder.resize(length);
    bool full = folder.size() >= 3 && ((folder[1] == ':' && folder[2] == '\\') || folder.compare(0, 2, "\\\\") == 0);
    if (!full)
        return {};
    if (folder.back() != '\\')
        folder += '\\';
    return folder + "Brackwold";
}

}  // namespace

UINT WINAPI PerUserGetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault, LPCSTR lpFileName)
{
    std::string folder = IsBareName(lpFileName) ? UserFolder() : std::string();
    if (!folder.empty()) {
        std::string path = folder + "\\" + lpFileName;
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            return GetPrivateProfileIntA(lpAppName, lpKeyName, nDefault, path.c_str());
    }
    return GetPrivateProfileIntA(lpAppName, lpKeyName, nDefault, lpFileName);
}

BOOL WINAPI PerUserWritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                              LPCSTR lpFileName)
{
    std::string folder = IsBareName(lpFileName) ? UserFolder() : std::string();
    if (folder.empty())
        return WritePrivateProfileStringA(lpAppName, lpKeyName, lpString, lpFileName);
    // Its parent is the user's own; one already there is fine, and any other
    // failure shows in the write's own error.
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string path = folder + "\\" + lpFileName;
    return WritePrivateProfileStringA(lpAppName, lpKeyName, lpString, path.c_str());
}

UINT WINAPI PerUserProfileFolderA(LPSTR lpBuffer, UINT uSize)
{
    std::string folder = UserFolder();
    if (folder.empty())
        return GetWindowsDirectoryA(lpBuffer, uSize);
    if (!lpBuffer || uSize <= folder.size())
        return static_cast<UINT>(folder.size() + 1);
    memcpy(lpBuffer, folder.c_str(), folder.size() + 1);
    return static_cast<UINT>(folder.size());
}
