// The test double of MessageBoxA: every box recorded, and its dialog kept
// away on request. Linked into the tests, tools and benchmarks, never into
// the program.
#include "platform/posix/sys_internal.h"
#include "testing/doubles/sys_seams.h"

namespace {

bool suppressDialogs = false;
std::vector<w32test::MessageBoxCall> messageBoxCalls;

bool MessageBoxDouble(LPCSTR text, LPCSTR caption, UINT type)
{
    messageBoxCalls.push_back({text, caption, type});
    return !suppressDialogs;
}

const bool installed = (w32::messageBoxHook = MessageBoxDouble, true);

}  // namespace

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
