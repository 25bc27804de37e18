// The Linux process entry: hands over to WinMain as the Windows runtime's
// start-up code would.
#include "platform/posix/entry/process.h"

int main(int argc, char** argv)
{
    w32::SetProcessArguments(argc, argv);
    return WinMain(GetModuleHandleA(NULL), NULL, w32::CommandLineTail(), SW_SHOWNORMAL);
}
