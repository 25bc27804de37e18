// The layer tests' fixture: the semantics tests' recording windows, over a
// windowing state made clean before and after each test.
#pragma once
#include "tests/semantics/semantics.h"
#include "testing/offscreen/offscreen_seams.h"
#include "testing/doubles/window_seams.h"

#include <gmock/gmock.h>

using semantics::answer;
using semantics::logged;
using semantics::Logged;

class LayerTest : public semantics::WindowSemantics {
protected:
    void SetUp() override
    {
        w32test::ResetWindowing();
        WindowSemantics::SetUp();
    }

    void TearDown() override
    {
        WindowSemantics::TearDown();
        w32test::ResetWindowing();
    }
};
