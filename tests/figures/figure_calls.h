// What the figure tests against the recording GL share: a fixture that starts
// every case from a fresh scene, and readers of the call log.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "figures/conventions.h"
#include "figures/figures.h"
#include "settings/settings.h"
#include "stage/scene_state.h"
#include "testing/doubles/recording_gl.h"
#include "testing/doubles/scripted_rand.h"

namespace figtest {

using recgl::Call;
using recgl::Op;

class FigureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSceneState();
        ResetRand();
        recgl::Reset();
        polyResolution = 15;
        scene.fadeAlpha = 1.0f;
    }
};

inline void Draw(void (*draw)())
{
    recgl::Reset();
    draw();
}

inline int CountSpheres(double radius)
{
    int count = 0;
    for (const Call& c : recgl::Of(Op::Sphere))
        if (std::fabs(c.a[0] - radius) < 1e-6)
            count++;
    return count;
}

inline int CountCylinders(double height)
{
    int count = 0;
    for (const Call& c : recgl::Of(Op::Cylinder))
        if (std::fabs(c.a[2] - height) < 1e-6)
            count++;
    return count;
}

inline bool ColourIs(const Call& c, float r, float g, float b)
{
    return std::fabs(c.colour[0] - r) < 1e-6 && std::fabs(c.colour[1] - g) < 1e-6 &&
           std::fabs(c.colour[2] - b) < 1e-6;
}

// The transforms from the base push up to the first nested push.
inline std::vector<Call> BaseTransforms()
{
    std::vector<Call> out;
    bool started = false;
    for (const Call& c : recgl::Calls()) {
        if (c.op == Op::PushMatrix) {
            if (started)
                break;
            started = true;
            continue;
        }
        if (started && (c.op == Op::Rotate || c.op == Op::Translate || c.op == Op::Scale))
            out.push_back(c);
    }
    return out;
}

inline void ExpectCall(const Call& c, Op op, double a0, double a1, double a2, double a3 = 0)
{
    EXPECT_EQ(c.op, op);
    EXPECT_NEAR(c.a[0], a0, 1e-5);
    EXPECT_NEAR(c.a[1], a1, 1e-5);
    EXPECT_NEAR(c.a[2], a2, 1e-5);
    if (op == Op::Rotate) {
        EXPECT_NEAR(c.a[3], a3, 1e-5);
    }
}

// The turns that follow each shoulder's offset of figures 3 and 4 (their
// shared arm model): the swing about y, or for a lifted arm the lift about x.
inline std::vector<double> ArmTurns(bool lifts)
{
    std::vector<double> turns;
    const auto& calls = recgl::Calls();
    for (size_t i = 0; i + 2 < calls.size(); i++) {
        const Call& c = calls[i];
        if (c.op != Op::Translate || std::fabs(std::fabs(c.a[0]) - 0.5) > 1e-6 || std::fabs(c.a[2] - 0.1) > 1e-6)
            continue;
        if (!lifts)
            turns.push_back(calls[i + 1].a[0]);
        else if (calls[i + 2].op == Op::Rotate && calls[i + 2].a[1] == 1)
            turns.push_back(calls[i + 2].a[0]);
    }
    return turns;
}

}  // namespace figtest
