// Shared fixture of the layer tests: a clean windowing state per test, a
// window class whose procedure records every message, and queue helpers.
#pragma once
#include "platform/win32.h"
#include "testing/offscreen/offscreen_seams.h"
#include "testing/doubles/window_seams.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

struct Logged {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

extern std::vector<Logged> logged;
// Lets a test answer a message itself; return true when handled (result in *result).
extern std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> answer;

// Classes: "LayerOwnDc" (CS_OWNDC, black background), "LayerPlain" (no
// background, common DCs).
class LayerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND MakeWindow(const char* cls, DWORD style, int x, int y, int w, int h, HWND parent = nullptr,
                    const char* title = "test");
    // Takes and dispatches every message available now; returns their ids.
    std::vector<UINT> Drain(HWND filter = nullptr);
    std::vector<UINT> MessagesOf(HWND hwnd) const;
};
