// The end of the process: the leak check of sanitizer builds, then _exit;
// and a crash reported on stderr, after which the caller's handler runs.
#include "platform/posix/devices.h"
#include "platform/posix/sys_internal.h"

#include <unistd.h>

namespace w32::devices {

void EndProcess(UINT exitCode)
{
    CheckLeaksBeforeExit();
    _exit(static_cast<int>(exitCode));
}

LONG CrashReport(EXCEPTION_POINTERS* exception)
{
    WriteCrashReport(exception);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace w32::devices
