// The figures drawn by software GL (OSMesa) with the stage's own
// light and projection: each lands where its model puts it, in its colours.
#include <gtest/gtest.h>

#include <GL/osmesa.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "figures/figures.h"
#include "settings/settings.h"
#include "stage/scene_state.h"
#include "stage/stage.h"

namespace {

const int side = 256;

enum Hue { Other, Cyan, Skin, Red, Orange, Yellow, White, Green, Blue, hueCount };

// Lighting scales a colour but keeps its ratios (no specular material, white
// light), so parts are told apart by the ratios of their channels.
Hue Classify(const uint8_t* rgba)
{
    const double r = rgba[0], g = rgba[1], b = rgba[2];
    if (r + g + b < 60)
        return Other;
    if (r < 0.2 * g && g > 40 && b > 0.8 * g && b < 1.2 * g)
        return Cyan;
    if (r > 60 && g > 0.88 * r && g < r && b > 0.62 * r && b < 0.82 * r)
        return Skin;
    if (r > 60 && g < 0.2 * r && b < 0.2 * r)
        return Red;
    if (r > 60 && g > 0.40 * r && g < 0.48 * r && b < 0.08 * r)
        return Orange;
    if (r > 60 && g > 0.92 * r && b < 0.15 * r)
        return Yellow;
    if (r > 120 && g > 0.95 * r && g < 1.05 * r && b > 0.95 * r && b < 1.05 * r)
        return White;
    if (g > 40 && r < 0.2 * g && b < 0.2 * g)
        return Green;
    if (b > 40 && r < 0.2 * b && g > 0.55 * b && g < 0.8 * b)
        return Blue;
    return Other;
}

struct Region {
    int count = 0;
    double x = 0, y = 0;  // centroid, y counted from the top
    int top = side, bottom = -1;
};

class FigurePixelsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        pixels.assign((size_t)side * side * 4, 0);
        context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
        ASSERT_NE(context, nullptr);
        ASSERT_TRUE(OSMesaMakeCurrent(context, pixels.data(), GL_UNSIGNED_BYTE, side, side));
        InitGlState();
        SetProjection(side, side);
    }
    static void TearDownTestSuite() { OSMesaDestroyContext(context); }

    void SetUp() override
    {
        ResetSceneState();
        scene.spinSpeedX = scene.spinSpeedY = scene.spinSpeedZ = 0;
        scene.fadeAlpha = 1.0f;
        polyResolution = 15;
        srand(7);
    }

    // One frame through the renderer's own frame preamble.
    void DrawFrame(void (*draw)())
    {
        BeginFrame();
        draw();
        EndFrame();
        glFinish();
        for (int i = 0; i < hueCount; i++)
            regions[i] = Region{};
        brightness = 0;
        for (int row = 0; row < side; row++) {
            for (int x = 0; x < side; x++) {
                const uint8_t* p = &pixels[((size_t)row * side + x) * 4];
                brightness += p[0] + p[1] + p[2];
                Region& region = regions[Classify(p)];
                int y = side - 1 - row;  // OSMesa's row 0 is the bottom
                region.count++;
                region.x += x;
                region.y += y;
                region.top = std::min(region.top, y);
                region.bottom = std::max(region.bottom, y);
            }
        }
        for (Region& region : regions) {
            if (region.count) {
                region.x /= region.count;
                region.y /= region.count;
            }
        }
    }

    const Region& Of(Hue hue) const { return regions[hue]; }

    static OSMesaContext context;
    static std::vector<uint8_t> pixels;
    Region regions[hueCount];
    double brightness = 0;
};

OSMesaContext FigurePixelsTest::context = nullptr;
std::vector<uint8_t> FigurePixelsTest::pixels;

const double centre = side / 2.0;
const int minimumPart = side * side / 200;  // half a percent of the stage

}  // namespace

TEST_F(FigurePixelsTest, WobbloHatAboveFaceAboveBodyOnTheCentreLine)
{
    scene.spinAngleY[1] = -90;  // facing the viewer
    DrawFrame(DrawWobblo);
    const Region& hat = Of(Cyan);
    const Region& face = Of(Skin);
    const Region& body = Of(Red);
    ASSERT_GT(hat.count, minimumPart);
    ASSERT_GT(face.count, minimumPart);
    ASSERT_GT(body.count, minimumPart);
    EXPECT_GT(Of(Yellow).count, 50) << "band and hands";
    EXPECT_LT(hat.y, face.y);
    EXPECT_LT(face.y, body.y);
    EXPECT_LT(hat.top, face.top);
    for (const Region* part : {&hat, &face, &body})
        EXPECT_NEAR(part->x, centre, side * 0.03);
    // The head is the upper part of the stage, the body the lower.
    EXPECT_LT(face.y, centre);
    EXPECT_GT(body.y, centre);
}

TEST_F(FigurePixelsTest, WobbloEyesShowOnlyWhileItFacesTheViewer)
{
    scene.spinAngleY[1] = -90;
    DrawFrame(DrawWobblo);
    EXPECT_GT(Of(White).count, 200);
    EXPECT_LT(Of(White).y, Of(Skin).y) << "eyes in the upper face";

    SetUp();
    scene.spinAngleY[1] = 90;  // the face now looks away along -z
    DrawFrame(DrawWobblo);
    EXPECT_GT(Of(Cyan).count, minimumPart);
    EXPECT_LT(Of(White).count, 10);
}

TEST_F(FigurePixelsTest, MuffixFaceCapInsideItsHoodAboveTheCentre)
{
    DrawFrame(DrawMuffix);
    const Region& suit = Of(Orange);
    const Region& face = Of(Skin);
    ASSERT_GT(suit.count, minimumPart * 4);
    ASSERT_GT(face.count, 100);  // a small cap, framed by the rim
    EXPECT_NEAR(suit.x, centre, side * 0.03);
    EXPECT_NEAR(face.x, centre, side * 0.03);
    EXPECT_LT(face.y, centre);  // the head sits 0.5 up
    EXPECT_GT(face.top, suit.top) << "hood above the face";
    EXPECT_LT(face.bottom, suit.bottom) << "body below the face";
    EXPECT_EQ(Of(Cyan).count, 0);
    EXPECT_EQ(Of(Red).count, 0);
}

TEST_F(FigurePixelsTest, NibboBodyBelowItsHeadRightOfAndBelowTheCentre)
{
    DrawFrame(DrawNibbo);
    const Region& head = Of(Skin);
    const Region& body = Of(Cyan);
    ASSERT_GT(head.count, minimumPart);
    ASSERT_GT(body.count, minimumPart);
    EXPECT_LT(head.y, body.y);
    EXPECT_GT(head.x, centre + side * 0.03);  // 0.25 to the right
    EXPECT_GT(head.y, centre);                // 0.75 down
    EXPECT_NEAR(head.x, body.x, side * 0.03);
    EXPECT_EQ(Of(Orange).count, 0);
}

// Two heads cut in two: figure 3's hat over its face, figure 4's crown over
// its face, both on the head whose centre is the centre of the stage.
TEST_F(FigurePixelsTest, TavikHatAndBexloCrownSitAboveTheirFaces)
{
    const std::pair<void (*)(), Hue> rows[] = {{DrawTavik, Green}, {DrawBexlo, Blue}};
    for (auto [draw, headwear] : rows) {
        SCOPED_TRACE(headwear == Green ? "tavik" : "bexlo");
        SetUp();
        DrawFrame(draw);
        const Region& top = Of(headwear);
        const Region& face = Of(Skin);
        ASSERT_GT(top.count, minimumPart);
        ASSERT_GT(face.count, minimumPart);
        EXPECT_LT(top.y, face.y);
        EXPECT_LT(top.top, face.top);
        EXPECT_LT(top.y, centre);
        EXPECT_LT(face.top, centre);
        EXPECT_GT(face.bottom, centre);
        EXPECT_NEAR(top.x, centre, side * 0.03);
        EXPECT_NEAR(face.x, centre, side * 0.03);
    }
    // Figure 4's red band and ball sit on its crown.
    EXPECT_GT(Of(Red).count, 100);
    EXPECT_LT(Of(Red).top, Of(Skin).top);
}

TEST_F(FigurePixelsTest, FadeAlphaDimsTheWholeFigure)
{
    for (const FigureRoutine& figure : figureRoutines) {
        void (*draw)() = figure.draw;
        SCOPED_TRACE(figure.name);
        SetUp();
        scene.spinAngleY[1] = -90;
        DrawFrame(draw);
        double opaque = brightness;
        SetUp();
        scene.spinAngleY[1] = -90;
        scene.fadeAlpha = 0.3f;
        DrawFrame(draw);
        EXPECT_GT(opaque, 0);
        // Parts blend over each other, so the ratio is not exactly 0.3.
        EXPECT_GT(brightness / opaque, 0.2);
        EXPECT_LT(brightness / opaque, 0.45);
    }
}
