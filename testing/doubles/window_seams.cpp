// The windowing core's test doubles: a reset of every window, class and GL
// context between tests, and bitmaps from memory.
// Linked into the tests, tools and benchmarks, never into the program.
#include "testing/doubles/window_seams.h"

#include "platform/posix/backend.h"

namespace w32test {

void ResetWindowing()
{
    auto& t = w32::windowTable();
    std::vector<HWND> roots;
    for (auto& [h, w] : t.windows)
        if (!w->parent || w->foreignParent) roots.push_back(h);
    for (HWND h : roots) w32::FreeWindowTree(h, false);
    t.windows.clear();
    w32::ResetQueue();
    w32::ResetGl();
    w32::ResetGdi();
    t.cursor = (HCURSOR)w32::SystemImageHandle(IDC_ARROW);
    w32::be::SetCursorVisible(true);
    ResetBackendState();
}

void UnregisterAllClasses()
{
    w32::windowTable().classes.clear();
}

HBITMAP LoadBitmapFromMemory(const unsigned char* data, size_t size)
{
    return w32::BitmapFromBmp(data, size);
}

}  // namespace w32test
