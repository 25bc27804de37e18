// The spike against the recording GL double: the recorded transforms are
// replayed to find where its tip, its base and its spray lie for each edge,
// and what the spike and the spray are coloured with.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "events/events.h"
#include "testing/doubles/recording_gl.h"
#include "testing/doubles/scripted_rand.h"
#include "stage/scene_state.h"

using recgl::Call;
using recgl::Op;

// The cue player is the layer's business; the spike only asks for its cue.
void PlayCue(const char*) {}

namespace {

struct Vec {
    double x, y, z;
};

// A point through recorded transforms, the last one applied first.
Vec Through(const std::vector<Call>& transforms, Vec v)
{
    for (auto c = transforms.rbegin(); c != transforms.rend(); ++c) {
        if (c->op == Op::Translate) {
            v = {v.x + c->a[0], v.y + c->a[1], v.z + c->a[2]};
        } else if (c->op == Op::Scale) {
            v = {v.x * c->a[0], v.y * c->a[1], v.z * c->a[2]};
        } else {  // rotation about a unit axis k: v cos + (k x v) sin + k (k . v)(1 - cos)
            double r = c->a[0] * M_PI / 180.0, kx = c->a[1], ky = c->a[2], kz = c->a[3];
            double dot = (kx * v.x + ky * v.y + kz * v.z) * (1 - std::cos(r));
            v = {v.x * std::cos(r) + (ky * v.z - kz * v.y) * std::sin(r) + kx * dot,
                 v.y * std::cos(r) + (kz * v.x - kx * v.z) * std::sin(r) + ky * dot,
                 v.z * std::cos(r) + (kx * v.y - ky * v.x) * std::sin(r) + kz * dot};
        }
    }
    return v;
}

struct Corner {
    Vec at;
    GLfloat green, alpha;
};

// Where the spike's corners and the spray's origin land, replaying the
// matrix stack of the log.
void Replay(std::vector<Corner>* spike, std::vector<Vec>* sprays)
{
    std::vector<std::vector<Call>> stack(1);
    GLenum mode = 0;
    for (const Call& c : recgl::Calls()) {
        if (c.op == Op::PushMatrix)
            stack.push_back(stack.back());
        else if (c.op == Op::PopMatrix)
            stack.pop_back();
        else if (c.op == Op::Translate || c.op == Op::Rotate || c.op == Op::Scale)
            stack.back().push_back(c);
        else if (c.op == Op::Begin && (mode = c.e[0]) == GL_POINTS)
            sprays->push_back(Through(stack.back(), {0, 0, 0}));
        else if (c.op == Op::Vertex && mode == GL_POLYGON)
            spike->push_back({Through(stack.back(), {c.a[0], c.a[1], c.a[2]}), c.colour[1], c.colour[3]});
    }
}

double Along(const Vec& v, const Vec& unit) { return v.x * unit.x + v.y * unit.y + v.z * unit.z; }

// Distance from the line through the origin along unit.
double OffAxis(const Vec& v, const Vec& unit)
{
    double a = Along(v, unit);
    return std::hypot(std::hypot(v.x - a * unit.x, v.y - a * unit.y), v.z - a * unit.z);
}

// The first five frames from the start: four approaching, the fifth at
// rest with the spray. The counter's turn moves neither the tip, nor the
// base's corners off their square, nor the spray; the spike is opaque.
TEST(SpikeTest, ComesInFromTheEdgeHitTipFirstAndSpraysFromTheTipSide)
{
    const struct {
        const char* name;
        int edge;
        Vec pointing;  // from the base to the tip
    } edges[] = {
        {"top: from above, tip down", 0, {0, -1, 0}},
        {"bottom: from below, tip up", 1, {0, 1, 0}},
        {"left: from the left, tip right", 2, {1, 0, 0}},
        {"right: from the right, tip left", 3, {-1, 0, 0}},
    };
    for (const auto& e : edges) {
        SCOPED_TRACE(e.name);
        ResetSceneState();
        ResetRand();
        scene.fadeAlpha = 0.4f;
        scene.bloodOn = scene.spikeLeaving = true;  // left by a mishap cut short
        StartMishap(e.edge);
        for (int frame = 1; frame <= 5; frame++) {
            SCOPED_TRACE(frame);
            scene.spikeSpin = frame * 37;
            recgl::Reset();
            DrawSpike();
            std::vector<Corner> spike;
            std::vector<Vec> sprays;
            Replay(&spike, &sprays);
            ASSERT_EQ(spike.size(), 12u) << "four triangles";
            double toGo = 5 - frame;  // frames still to go to rest
            std::vector<Vec> baseCorners;
            for (const Corner& corner : spike) {
                bool tip = corner.green < 0.5f;  // red
                EXPECT_EQ(corner.alpha, 1.0f) << "opaque whatever the fade";
                EXPECT_NEAR(OffAxis(corner.at, e.pointing), tip ? 0.0 : std::sqrt(0.08), 1e-4);
                EXPECT_NEAR(Along(corner.at, e.pointing), tip ? 1.9 - toGo : -2.5 - toGo, 1e-4);
                bool seen = tip;
                for (const Vec& v : baseCorners)
                    seen = seen || std::hypot(std::hypot(v.x - corner.at.x, v.y - corner.at.y), v.z - corner.at.z) < 1e-4;
                if (!seen)
                    baseCorners.push_back(corner.at);
            }
            EXPECT_EQ(baseCorners.size(), 4u) << "four faces round the axis share four base corners";
            EXPECT_EQ(scene.bloodOn, frame == 5) << "the spray starts as the spike comes to rest";
            ASSERT_EQ(sprays.size(), frame == 5 ? 1u : 0u);
            for (const Vec& origin : sprays) {
                EXPECT_GT(Along(origin, e.pointing), 0.7);
                EXPECT_LT(Along(origin, e.pointing), 1.0);
                EXPECT_NEAR(OffAxis(origin, e.pointing), 0.0, 1e-4);
            }
            EXPECT_EQ(recgl::State().depth, 0);
            EXPECT_EQ(recgl::State().minDepth, 0);
        }
    }
}

}  // namespace
