// The Linux process entry: hands over to WinMain as the Windows runtime's
// start-up code would, once StartProcess has read XScreenSaver's
// conventions.
#include "platform/posix/process.h"
#include "shell/start_process.h"

#include <stdlib.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    ProcessStart start = StartProcess(argc, argv, getenv("XSCREENSAVER_WINDOW"), stdout, stderr);
    if (!start.runShell)
        return start.exitCode;
    return WinMain(GetModuleHandleA(NULL), NULL, w32::CommandLineTail(), SW_SHOWNORMAL);
}
