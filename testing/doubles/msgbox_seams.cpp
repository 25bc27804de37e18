// The test double of the message box on the screen: every box recorded, and
// its dialog kept away on request. Linked into the tests, tools and benchmarks, never into
// the program.
#include "platform/posix/devices.h"
#include "platform/posix/sys_internal.h"
#include "testing/doubles/sys_seams.h"

namespace {

bool suppressDialogs = false;
std::vector<w32test::MessageBoxCall> messageBoxCalls;

}  // namespace

namespace w32::devices {

void ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    messageBoxCalls.push_back({text, caption, type});
    if (!suppressDialogs)
        ShowMessageDialog(owner, text, caption, type);
}

}  // namespace w32::devices

namespace w32test {

void SuppressMessageBoxes(bool suppress)
{
    suppressDialogs = suppress;
}

std::vector<MessageBoxCall> MessageBoxCalls()
{
    return messageBoxCalls;
}

void ClearMessageBoxCalls()
{
    messageBoxCalls.clear();
}

}  // namespace w32test
