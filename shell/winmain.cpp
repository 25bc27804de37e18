// The program's main entry, as the runtime's start-up code calls it. The
// arguments are ignored: the shell reads the command line itself.
#include "shell/shell.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    ShellEntry();
    return 0;
}
