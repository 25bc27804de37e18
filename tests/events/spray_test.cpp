// The particle pool against the recording GL: reset, the four step
// variants' thresholds and respawns, and how the pool is drawn.
#include <gtest/gtest.h>

#include "events/events.h"
#include "testing/doubles/recording_gl.h"
#include "testing/doubles/scripted_rand.h"
#include "stage/scene_state.h"

using recgl::Call;
using recgl::Op;

namespace {

typedef void (*StepVariant)(float, float, float, float);

class SprayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSceneState();
        ResetRand();
        recgl::Reset();
        scene.fadeAlpha = 1.0f;
        for (SprayParticle& particle : sprayPool)
            particle = SprayParticle{0, 0, 0, 0, 0, 0, 1};
    }
};

struct VariantCase {
    const char* name;
    StepVariant step;
    int verticalRange;  // rand range of a respawned particle's vy
};

const VariantCase variants[] = {
    {"fountain", SprayFountain, 1500},
    {"fall", SprayFall, 1000},
    {"minus x", SprayFallMinusX, 800},
    {"plus x", SprayFallPlusX, 800},
};

}  // namespace

TEST_F(SprayTest, ResetPutsEveryParticleAtTheOriginWithFullLife)
{
    for (SprayParticle& particle : sprayPool)
        particle = SprayParticle{3, -4, 5, 1, 1, 1, -0.5f};
    ScriptRand({1499, 0, 0});  // first particle: vx 0.749, vy 0, vz -0.75
    ResetSpray();
    EXPECT_EQ(RandCalls(), 3 * sprayPoolSize);
    for (const SprayParticle& particle : sprayPool) {
        EXPECT_EQ(particle.x, 0.0f);
        EXPECT_EQ(particle.y, 0.0f);
        EXPECT_EQ(particle.z, 0.0f);
        EXPECT_EQ(particle.life, 1.0f);
        EXPECT_GE(particle.vx, -0.75f);
        EXPECT_LE(particle.vx, 0.749f);
        EXPECT_GE(particle.vy, 0.0f);
        EXPECT_LE(particle.vy, 1.499f);
        EXPECT_GE(particle.vz, -0.75f);
        EXPECT_LE(particle.vz, 0.749f);
    }
    EXPECT_FLOAT_EQ(sprayPool[0].vx, 0.749f);
    EXPECT_FLOAT_EQ(sprayPool[0].vy, 0.0f);
    EXPECT_FLOAT_EQ(sprayPool[0].vz, -0.75f);

    // Point state for every spray: size 2, smoothed, don't-care hint.
    auto sizes = recgl::Of(Op::PointSize);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].a[0], 2.0);
    auto hints = recgl::Of(Op::Hint);
    ASSERT_EQ(hints.size(), 1u);
    EXPECT_EQ(hints[0].e[0], (GLenum)GL_POINT_SMOOTH_HINT);
    EXPECT_EQ(hints[0].e[1], (GLenum)GL_DONT_CARE);
    auto enables = recgl::Of(Op::Enable);
    ASSERT_EQ(enables.size(), 1u);
    EXPECT_EQ(enables[0].e[0], (GLenum)GL_POINT_SMOOTH);
}

TEST_F(SprayTest, FirstStepMovesEachParticleByItsOwnVelocity)
{
    ScriptRand({1000, 200, 250});  // vx 0.25, vy 0.2, vz -0.5
    ResetSpray();
    SprayFallPlusX(1, 0, 0, -0.025f);
    EXPECT_FLOAT_EQ(sprayPool[0].x, 0.3f);  // pull first: vx 0.3
    EXPECT_FLOAT_EQ(sprayPool[0].y, 0.2f);
    EXPECT_FLOAT_EQ(sprayPool[0].z, -0.5f);
    EXPECT_FLOAT_EQ(sprayPool[0].life, 0.975f);  // vx > 0: falling
}

TEST_F(SprayTest, ThresholdsAreStrict)
{
    struct {
        const char* name;
        StepVariant step;
        SprayParticle start;
        bool fades;
        bool respawns;
    } rows[] = {
        // A pull that brings the speed to exactly 0 leaves the position where it is.
        {"fountain at -50 with vy 0", SprayFountain, {0, -50, 0, 0, 0.05f, 0, 1}, false, false},
        {"fountain just past -50", SprayFountain, {0, -50.01f, 0, 0, 0.05f, 0, 1}, false, true},
        {"fountain falling", SprayFountain, {0, 0, 0, 0, 0.04f, 0, 1}, true, false},
        {"minus x at -50 with vx 0", SprayFallMinusX, {-50, 0, 0, 0.05f, 0, 0, 1}, false, false},
        {"minus x just past -50", SprayFallMinusX, {-50.01f, 0, 0, 0.05f, 0, 0, 1}, false, true},
        {"minus x falling", SprayFallMinusX, {0, 0, 0, 0.04f, 0, 0, 1}, true, false},
        {"plus x at 50 with vx 0", SprayFallPlusX, {50, 0, 0, -0.05f, 0, 0, 1}, false, false},
        {"plus x past 50", SprayFallPlusX, {50.01f, 0, 0, -0.05f, 0, 0, 1}, false, true},
        {"fall at -5", SprayFall, {0, -5, 0, 0, -0.05f, 0, 1}, false, false},
        {"fall past -5", SprayFall, {0, -5.01f, 0, 0, -0.05f, 0, 1}, true, false},
        {"fall at -30", SprayFall, {0, -30, 0, 0, -0.05f, 0, 1}, true, false},
        {"fall past -30", SprayFall, {0, -30.01f, 0, 0, -0.05f, 0, 1}, true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        sprayPool[0] = row.start;
        sprayPool[0].life = 0.5f;
        row.step(1, 0, 0, -0.125f);
        if (row.respawns) {
            EXPECT_EQ(sprayPool[0].x, 0.0f);
            EXPECT_EQ(sprayPool[0].y, 0.0f);
            EXPECT_EQ(sprayPool[0].life, 1.0f);
        } else {
            EXPECT_EQ(sprayPool[0].life, row.fades ? 0.375f : 0.5f);
        }
    }
}

TEST_F(SprayTest, LifeIsNeverClampedAndDrawsAsItsProductWithFade)
{
    sprayPool[0] = SprayParticle{0, 0, 0, 0.5f, 0, 0, 0.02f};
    sprayPool[1] = SprayParticle{99, 0, 0, 1, 0, 0, 0.1f};  // respawns in the first step
    scene.fadeAlpha = 0.5f;
    SprayFallPlusX(0, 0, 1, -0.025f);
    EXPECT_FLOAT_EQ(sprayPool[0].life, -0.005f);
    SprayFallPlusX(0, 0, 1, -0.025f);
    EXPECT_FLOAT_EQ(sprayPool[0].life, -0.03f);
    auto blocks = recgl::PointBlocks();
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_FLOAT_EQ(blocks[1][0].colour[3], -0.015f);
    // A freshly respawned particle draws at the scene's alpha.
    EXPECT_FLOAT_EQ(blocks[0][1].colour[3], 0.5f);
    EXPECT_EQ(blocks[0][1].colour[2], 1.0f);
}

TEST_F(SprayTest, RespawnDrawsThreeVelocitiesInOrder)
{
    for (const VariantCase& variant : variants) {
        SCOPED_TRACE(variant.name);
        SetUp();
        // Far past every variant's limit.
        sprayPool[7] = SprayParticle{-99, -99, 0, -1, 1, 0, 0.25f};
        if (variant.step == SprayFallPlusX)
            sprayPool[7] = SprayParticle{99, 0, 0, 1, 0, 0, 0.25f};
        // Particles before index 7 stay put and draw nothing.
        ScriptRand({1700, 1300, 100});
        variant.step(1, 0, 0, -0.01f);
        EXPECT_EQ(RandCalls(), 3);
        const SprayParticle& p = sprayPool[7];
        EXPECT_EQ(p.x, 0.0f);
        EXPECT_EQ(p.y, 0.0f);
        EXPECT_EQ(p.z, 0.0f);
        EXPECT_EQ(p.life, 1.0f);
        EXPECT_FLOAT_EQ(p.vx, 0.2f);
        EXPECT_FLOAT_EQ(p.vy, (1300 % variant.verticalRange) * 0.001f);
        EXPECT_FLOAT_EQ(p.vz, -0.4f);
    }
}

TEST_F(SprayTest, DrawScalesBlendsAndLeavesBlendingOff)
{
    scene.fadeAlpha = 0.8f;
    sprayPool[3] = SprayParticle{1, 2, 3, 0, 0, 0, 0.5f};
    DrawSpray(0.25f, 0.5f, 0.75f);
    const auto& calls = recgl::Calls();
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(calls[0].op, Op::PushMatrix);
    EXPECT_EQ(calls.back().op, Op::PopMatrix);
    auto scales = recgl::Of(Op::Scale);
    ASSERT_EQ(scales.size(), 1u);
    EXPECT_FLOAT_EQ((float)scales[0].a[0], 0.05f);
    auto blends = recgl::Of(Op::BlendFunc);
    ASSERT_EQ(blends.size(), 1u);
    EXPECT_EQ(blends[0].e[0], (GLenum)GL_SRC_ALPHA);
    EXPECT_EQ(blends[0].e[1], (GLenum)GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_FALSE(recgl::State().blendEnabled);
    EXPECT_EQ(recgl::State().depth, 0);

    auto blocks = recgl::PointBlocks();
    ASSERT_EQ(blocks.size(), 1u);
    ASSERT_EQ(blocks[0].size(), (size_t)sprayPoolSize);
    const Call& v = blocks[0][3];
    EXPECT_EQ(v.a[0], 1.0);
    EXPECT_EQ(v.a[1], 2.0);
    EXPECT_EQ(v.a[2], 3.0);
    EXPECT_FLOAT_EQ(v.colour[0], 0.25f);
    EXPECT_FLOAT_EQ(v.colour[1], 0.5f);
    EXPECT_FLOAT_EQ(v.colour[2], 0.75f);
    EXPECT_FLOAT_EQ(v.colour[3], 0.4f);
}

TEST_F(SprayTest, FallingVariantsFadeOverTheirExpectedSpan)
{
    // Fountain at the bottom-edge decay: from the top of the arc, 100 steps to 0.
    sprayPool[0] = SprayParticle{0, 1000, 0, 0, 0.05f, 0, 1};  // high enough not to respawn
    int steps = 0;
    while (sprayPool[0].life > 0.0f && steps < 1000) {
        SprayFountain(1, 0, 0, -0.01f);
        steps++;
    }
    EXPECT_NEAR(steps, 101, 1);  // the first step only reaches vy 0
}
