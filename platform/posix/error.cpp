// The thread's last error, in Win32's numbers, and the texts FormatMessageA
// gives for the ones this layer reports. Failures of the C library arrive
// as errno values and are translated once, here.
#include "platform/posix/sys_internal.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

namespace {

thread_local DWORD lastError = 0;

struct ErrorText {
    DWORD code;
    const char* text;
};

// Worded as Windows words them, so a message reads the same on both builds.
const ErrorText errorTexts[] = {
    {0, "The operation completed successfully."},
    {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
    {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified."},
    {ERROR_ACCESS_DENIED, "Access is denied."},
    {ERROR_INVALID_HANDLE, "The handle is invalid."},
    {ERROR_WRITE_PROTECT, "The media is write protected."},
    {ERROR_GEN_FAILURE, "A device attached to the system is not functioning."},
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
    {ERROR_DISK_FULL, "There is not enough space on the disk."},
    {ERROR_FILENAME_EXCED_RANGE, "The filename or extension is too long."},
    {ERROR_FILE_TOO_LARGE, "The file size exceeds the limit allowed and cannot be saved."},
};

}  // namespace

namespace w32 {

void SetLastErrorFromErrno(int error)
{
    switch (error) {
    case ENOENT: lastError = ERROR_FILE_NOT_FOUND; break;
    case ENOTDIR:
    case ELOOP: lastError = ERROR_PATH_NOT_FOUND; break;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EBUSY: lastError = ERROR_ACCESS_DENIED; break;
    case EROFS: lastError = ERROR_WRITE_PROTECT; break;
    case ENOSPC:
    case EDQUOT: lastError = ERROR_DISK_FULL; break;
    case EFBIG: lastError = ERROR_FILE_TOO_LARGE; break;
    case ENAMETOOLONG: lastError = ERROR_FILENAME_EXCED_RANGE; break;
    case EINVAL: lastError = ERROR_INVALID_PARAMETER; break;
    default: lastError = ERROR_GEN_FAILURE; break;
    }
}

}  // namespace w32

extern "C" {

DWORD WINAPI GetLastError(void)
{
    return lastError;
}

void WINAPI SetLastError(DWORD dwErrCode)
{
    lastError = dwErrCode;
}

// Only system messages exist here; the text ends with CR LF as on Windows.
// Returns the length written, 0 (with ERROR_INVALID_PARAMETER) when the
// code is unknown or the buffer too small.
DWORD WINAPI FormatMessageA(DWORD dwFlags, LPCVOID, DWORD dwMessageId, DWORD, LPSTR lpBuffer, DWORD nSize,
                            va_list*)
{
    if (!(dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) || !lpBuffer) {
        lastError = ERROR_INVALID_PARAMETER;
        return 0;
    }
    for (const ErrorText& entry : errorTexts) {
        if (entry.code != dwMessageId)
            continue;
        int length = snprintf(lpBuffer, nSize, "%s\r\n", entry.text);
        if (length < 0 || (DWORD)length >= nSize) {
            if (nSize)
                lpBuffer[0] = '\0';
            lastError = ERROR_INVALID_PARAMETER;
            return 0;
        }
        return (DWORD)length;
    }
    lastError = ERROR_INVALID_PARAMETER;  // Windows: ERROR_MR_MID_NOT_FOUND
    return 0;
}

}  // extern "C"
