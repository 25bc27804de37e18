#include "tests/semantics/semantics.h"

#include <algorithm>
#include <cstdio>

namespace semantics {

const bool againstWindows = BRACKWOLD_SEMANTICS_AGAINST_WINDOWS;

void ReportKnownDifference(const char* why)
{
    std::printf("[  KNOWN   ] %s: %s\n", ::testing::UnitTest::GetInstance()->current_test_info()->name(), why);
}

PIXELFORMATDESCRIPTOR StageRequest()
{
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = 40;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 32;
    return pfd;
}

std::vector<Logged> logged;
std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> answer;

namespace {

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    logged.push_back(Logged{hwnd, message, wParam, lParam});
    LRESULT result = 0;
    if (answer && answer(hwnd, message, wParam, lParam, &result))
        return result;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool RegisterClasses()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RecordingProc;
    wc.style = CS_OWNDC;
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = "SemanticsOwnDc";
    if (!RegisterClassA(&wc))
        return false;
    wc.style = 0;
    wc.hbrBackground = NULL;
    wc.lpszClassName = "SemanticsPlain";
    return RegisterClassA(&wc) != 0;
}

}  // namespace

void WindowSemantics::SetUp()
{
    static const bool registered = RegisterClasses();
    ASSERT_TRUE(registered);
    Drain();
    logged.clear();
    answer = nullptr;
}

void WindowSemantics::TearDown()
{
    answer = nullptr;
    for (HWND w : made)
        if (IsWindow(w))
            DestroyWindow(w);
    Drain();
}

HWND WindowSemantics::MakeWindow(
    const char* cls, DWORD style, int x, int y, int w, int h, HWND parent, const char* title)
{
    HWND window = CreateWindowExA(0, cls, title, style, x, y, w, h, parent, NULL, NULL, NULL);
    made.push_back(window);
    return window;
}

std::vector<MSG> WindowSemantics::DrainMessages(HWND filter)
{
    std::vector<MSG> taken;
    MSG msg;
    for (int guard = 0; guard < 1000 && PeekMessageA(&msg, filter, 0, 0, PM_REMOVE); guard++) {
        taken.push_back(msg);
        if (msg.message != WM_QUIT)
            DispatchMessageA(&msg);
    }
    return taken;
}

std::vector<UINT> WindowSemantics::Ids(const std::vector<MSG>& messages)
{
    std::vector<UINT> ids;
    for (const MSG& m : messages)
        ids.push_back(m.message);
    return ids;
}

std::vector<UINT> WindowSemantics::MessagesOf(HWND hwnd, std::initializer_list<UINT> kinds)
{
    std::vector<UINT> out;
    for (const Logged& l : logged)
        if (l.hwnd == hwnd && (kinds.size() == 0 || std::find(kinds.begin(), kinds.end(), l.message) != kinds.end()))
            out.push_back(l.message);
    return out;
}

}  // namespace semantics
