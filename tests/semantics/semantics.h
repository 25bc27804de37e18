// What the Win32 semantics tests share: the mark for a known difference
// between our layer and Windows, and a window fixture that records what
// each window's procedure receives, and the pixel format the stage asks for.
#pragma once
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <vector>

namespace semantics {

// Which side this binary runs against: set by the build (our layer on Linux,
// Windows itself in the MinGW build, run under Wine).
extern const bool againstWindows;

// Our layer's own result where it knowingly differs from Windows, and why.
// As with Wine's todo marks the case still runs: against Windows it must give
// Windows' result, against our layer the layer's (so a fault there still
// fails), and a layer that starts giving Windows' result fails too, so that
// the mark is noticed and removed.
template <typename T> struct Differs {
    T layer;
    const char* why = nullptr;
};

void ReportKnownDifference(const char* why);

template <typename T> T Expected(const T& windows, const Differs<T>& known = {})
{
    if (known.why && known.layer == windows)
        ADD_FAILURE() << "marked as a difference, but the layer's result is Windows' own: " << known.why;
    if (!known.why || againstWindows)
        return windows;
    ReportKnownDifference(known.why);
    return known.layer;
}

// The pixel format the stage window asks for.
PIXELFORMATDESCRIPTOR StageRequest();

struct Logged {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
extern std::vector<Logged> logged;
extern std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> answer;

// Classes "SemanticsOwnDc" (CS_OWNDC, black background) and "SemanticsPlain"
// (no background); both procedures log every message into `logged` and let
// `answer` decide before DefWindowProcA (true: handled, result in *result).
// Windows sends many more messages than the ones a case is about, so cases
// look at the messages they name.
class WindowSemantics : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND MakeWindow(
        const char* cls, DWORD style, int x, int y, int w, int h, HWND parent = NULL, const char* title = "semantics");
    // Takes and dispatches every message available now (but WM_QUIT).
    static std::vector<MSG> DrainMessages(HWND filter = NULL);
    static std::vector<UINT> Drain(HWND filter = NULL) { return Ids(DrainMessages(filter)); }
    static std::vector<UINT> Ids(const std::vector<MSG>& messages);
    // The messages of `hwnd` logged so far, of the kinds named (all without a list).
    static std::vector<UINT> MessagesOf(HWND hwnd, std::initializer_list<UINT> kinds = {});

private:
    std::vector<HWND> made;
};

}  // namespace semantics
