// The 64-bit Windows saver's private-profile functions: the Win32 ones with
// bare file names resolved per user (see profile.cpp). platform/win32.h
// gives the system's code these under the Win32 names when the build
// defines BRACKWOLD_PER_USER_PROFILE.
#pragma once

#include <windows.h>

UINT WINAPI PerUserGetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault, LPCSTR lpFileName);
BOOL WINAPI PerUserWritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                              LPCSTR lpFileName);
// The folder a bare profile name is written to, with GetWindowsDirectoryA's
// contract: the length without the zero, or the size needed with it.
UINT WINAPI PerUserProfileFolderA(LPSTR lpBuffer, UINT uSize);
