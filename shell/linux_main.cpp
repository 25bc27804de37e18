// The Linux process entry: hands over to WinMain as the Windows runtime's
// start-up code would, once StartProcess has read XScreenSaver's
// conventions.
#include "platform/posix/entry/process.h"
#include "platform/posix/entry/start_process.h"

#include <stdlib.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    w32::ProcessStart start = w32::StartProcess(argc, argv, getenv("XSCREENSAVER_WINDOW"), stdout, stderr);
    if (!start.runShell)
        return start.exitCode;
    return WinMain(GetModuleHandleA(NULL), NULL, w32::CommandLineTail(), SW_SHOWNORMAL);
}
