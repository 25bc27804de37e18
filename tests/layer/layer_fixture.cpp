#include "layer_fixture.h"

std::vector<Logged> logged;
std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> answer;

static LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    logged.push_back(Logged{hwnd, message, wParam, lParam});
    LRESULT result = 0;
    if (answer && answer(hwnd, message, wParam, lParam, &result)) return result;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

static void RegisterTestClasses()
{
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = "LayerOwnDc";
    ASSERT_NE(RegisterClassA(&wc), 0);
    wc.style = 0;
    wc.hbrBackground = nullptr;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "LayerPlain";
    ASSERT_NE(RegisterClassA(&wc), 0);
}

void LayerTest::SetUp()
{
    w32test::ResetWindowing();
    RegisterTestClasses();
    logged.clear();
    answer = nullptr;
}

void LayerTest::TearDown()
{
    answer = nullptr;
    w32test::ResetWindowing();
}

HWND LayerTest::MakeWindow(const char* cls, DWORD style, int x, int y, int w, int h, HWND parent, const char* title)
{
    return CreateWindowExA(0, cls, title, style, x, y, w, h, parent, nullptr, (HINSTANCE)1, nullptr);
}

std::vector<UINT> LayerTest::Drain(HWND filter)
{
    std::vector<UINT> out;
    MSG msg;
    for (int guard = 0; guard < 1000 && PeekMessageA(&msg, filter, 0, 0, PM_REMOVE); guard++) {
        out.push_back(msg.message);
        if (msg.message != WM_QUIT) DispatchMessageA(&msg);
    }
    return out;
}

std::vector<UINT> LayerTest::MessagesOf(HWND hwnd) const
{
    std::vector<UINT> out;
    for (const Logged& l : logged)
        if (l.hwnd == hwnd) out.push_back(l.message);
    return out;
}
