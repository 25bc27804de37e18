// The spike against the recording GL double: the recorded transforms are
// replayed to find where its tip, its base and its spray lie for each edge,
// and what the spike and the spray are coloured with.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "events/events.h"
#include "tools/doubles/recording_gl.h"
#include "tools/doubles/scripted_rand.h"
#include "stage/scene_state.h"

using recgl::Call;
using recgl::Op;

// The cue player is the layer's business; the spike only asks for its cue.
void PlayCue(const char*) {}

namespace {

struct Vec {
    double x, y, z;
};

// Column-major 4 x 4, as GL keeps it.
struct Matrix {
    double m[16];
};

Matrix Identity()
{
    Matrix r = {};
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.0;
    return r;
}

Matrix Times(const Matrix& a, const Matrix& b)
{
    Matrix r = {};
    for (int col = 0; col < 4; col++)
        for (int row = 0; row < 4; row++)
            for (int k = 0; k < 4; k++)
                r.m[col * 4 + row] += a.m[k * 4 + row] * b.m[col * 4 + k];
    return r;
}

Matrix FromCall(const Call& c)
{
    Matrix r = Identity();
    if (c.op == Op::Translate) {
        r.m[12] = c.a[0];
        r.m[13] = c.a[1];
        r.m[14] = c.a[2];
    } else if (c.op == Op::Scale) {
        r.m[0] = c.a[0];
        r.m[5] = c.a[1];
        r.m[10] = c.a[2];
    } else if (c.op == Op::Rotate) {
        double length = std::sqrt(c.a[1] * c.a[1] + c.a[2] * c.a[2] + c.a[3] * c.a[3]);
        double x = c.a[1] / length, y = c.a[2] / length, z = c.a[3] / length;
        double s = std::sin(c.a[0] * M_PI / 180.0), k = 1.0 - std::cos(c.a[0] * M_PI / 180.0);
        r.m[0] = 1 - k * (y * y + z * z);
        r.m[1] = k * x * y + s * z;
        r.m[2] = k * x * z - s * y;
        r.m[4] = k * x * y - s * z;
        r.m[5] = 1 - k * (x * x + z * z);
        r.m[6] = k * y * z + s * x;
        r.m[8] = k * x * z + s * y;
        r.m[9] = k * y * z - s * x;
        r.m[10] = 1 - k * (x * x + y * y);
    }
    return r;
}

Vec Apply(const Matrix& m, double x, double y, double z)
{
    return {m.m[0] * x + m.m[4] * y + m.m[8] * z + m.m[12], m.m[1] * x + m.m[5] * y + m.m[9] * z + m.m[13],
            m.m[2] * x + m.m[6] * y + m.m[10] * z + m.m[14]};
}

struct Corner {
    Vec at;  // where the vertex lands, in the frame DrawSpike was called in
    GLfloat colour[4];
};

struct Drawn {
    std::vector<Corner> spike;  // vertices of GL_POLYGON blocks
    std::vector<Vec> sprayOrigins;  // the frame's origin at each GL_POINTS block
};

// Replays the log: the matrix stack, and each vertex through it.
Drawn Replay()
{
    Drawn drawn;
    std::vector<Matrix> stack{Identity()};
    GLenum mode = 0;
    for (const Call& c : recgl::Calls()) {
        switch (c.op) {
        case Op::PushMatrix: stack.push_back(stack.back()); break;
        case Op::PopMatrix: stack.pop_back(); break;
        case Op::Translate:
        case Op::Rotate:
        case Op::Scale: stack.back() = Times(stack.back(), FromCall(c)); break;
        case Op::Begin:
            mode = c.e[0];
            if (mode == GL_POINTS)
                drawn.sprayOrigins.push_back(Apply(stack.back(), 0, 0, 0));
            break;
        case Op::Vertex:
            if (mode == GL_POLYGON)
                drawn.spike.push_back({Apply(stack.back(), c.a[0], c.a[1], c.a[2]),
                                       {c.colour[0], c.colour[1], c.colour[2], c.colour[3]}});
            break;
        default: break;
        }
    }
    return drawn;
}

void ExpectNear(const Vec& v, const Vec& expected)
{
    EXPECT_NEAR(v.x, expected.x, 1e-4);
    EXPECT_NEAR(v.y, expected.y, 1e-4);
    EXPECT_NEAR(v.z, expected.z, 1e-4);
}

struct EdgeCase {
    const char* name;
    int edge;
    Vec pointing;  // unit direction from the base to the tip
};

const EdgeCase edgeCases[] = {
    {"top: from above, tip down", 0, {0, -1, 0}},
    {"bottom: from below, tip up", 1, {0, 1, 0}},
    {"left: from the left, tip right", 2, {1, 0, 0}},
    {"right: from the right, tip left", 3, {-1, 0, 0}},
};

class SpikeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSceneState();
        ResetRand();
        recgl::Reset();
    }
};

// Frames from the start, the first four approaching, the fifth at rest; a
// turn of the counter changes neither the tip nor where the base is centred.
TEST_F(SpikeTest, TipAndBaseLieOnTheEdgesAxisAndTheSpikeComesInFromThatEdge)
{
    for (const EdgeCase& e : edgeCases) {
        SCOPED_TRACE(e.name);
        SetUp();
        scene.bloodOn = scene.spikeLeaving = true;  // left by a mishap cut short
        StartMishap(e.edge);
        for (int frame = 1; frame <= 5; frame++) {
            SCOPED_TRACE(frame);
            scene.spikeSpin = frame * 37;
            recgl::Reset();
            DrawSpike();
            double back = 5 - frame;  // distance still to go to rest
            Drawn drawn = Replay();
            ASSERT_EQ(drawn.spike.size(), 12u) << "four triangles";
            Vec baseSum = {0, 0, 0};
            for (const Corner& corner : drawn.spike) {
                bool tip = corner.colour[1] < 0.5f;
                if (tip) {
                    ExpectNear(corner.at, {e.pointing.x * (1.9 - back), e.pointing.y * (1.9 - back),
                                           e.pointing.z * (1.9 - back)});
                    EXPECT_EQ(corner.colour[2], 0.2f);
                } else {
                    baseSum = {baseSum.x + corner.at.x, baseSum.y + corner.at.y, baseSum.z + corner.at.z};
                }
            }
            double base = -2.5 - back;
            ExpectNear({baseSum.x / 8, baseSum.y / 8, baseSum.z / 8},
                       {e.pointing.x * base, e.pointing.y * base, e.pointing.z * base});
            EXPECT_EQ(scene.bloodOn, frame == 5) << "the spray starts as the spike comes to rest";
            EXPECT_EQ(drawn.sprayOrigins.size(), frame == 5 ? 1u : 0u);
        }
    }
}

// At rest the spray comes out where the tip does, and stays there whatever
// the spike's turn; the spike is opaque, the spray is faded with the figure.
TEST_F(SpikeTest, SprayPoursFromTheTipSideOpaqueSpikeFadedSpray)
{
    for (const EdgeCase& e : edgeCases) {
        for (int spin : {0, 90, 200}) {
            SCOPED_TRACE(e.name);
            SCOPED_TRACE(spin);
            SetUp();
            StartMishap(e.edge);
            scene.spikeHeight = 0.0f;
            scene.bloodOn = true;
            scene.spikeSpin = spin;
            scene.fadeAlpha = 0.4f;
            recgl::Reset();
            DrawSpike();
            Drawn drawn = Replay();
            ASSERT_EQ(drawn.sprayOrigins.size(), 1u);
            const Vec& o = drawn.sprayOrigins[0];
            double along = o.x * e.pointing.x + o.y * e.pointing.y + o.z * e.pointing.z;
            EXPECT_GT(along, 0.7);
            EXPECT_LT(along, 1.0);
            EXPECT_NEAR(std::hypot(o.x - along * e.pointing.x, o.y - along * e.pointing.y), 0.0, 1e-4)
                << "on the spike's axis";

            for (const Corner& corner : drawn.spike)
                EXPECT_EQ(corner.colour[3], 1.0f);
            for (const std::vector<Call>& block : recgl::PointBlocks())
                for (const Call& point : block) {
                    EXPECT_EQ(point.colour[0], 1.0f);
                    EXPECT_EQ(point.colour[1], 0.0f);
                    EXPECT_LE(point.colour[3], 0.4f + 1e-6);
                    EXPECT_GT(point.colour[3], 0.0f);
                }
            EXPECT_EQ(recgl::State().depth, 0);
            EXPECT_EQ(recgl::State().minDepth, 0);
            EXPECT_FALSE(recgl::State().insideBegin);
        }
    }
}

}  // namespace
