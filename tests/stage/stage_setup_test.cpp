// Building and tearing down the stage through SaverWindowProc with the real
// figures and real GL (OSMesa behind the layer's offscreen backend): the
// geometry, the fixed GL state, the projection, the failure messages, the
// palette rules and the scene clock's source.
#include "tests/stage/stage_fixture.h"
#include "figures/figures.h"
#include "testing/offscreen/offscreen_seams.h"
// The palette's entries, which the Win32 subset gives no call to read back.
#include "platform/posix/layer_internal.h"

#include <algorithm>
#include <chrono>

namespace {

class StageSetupTest : public StageFixture {};

TEST_F(StageSetupTest, FullScreenGeometry)
{
    struct Case {
        const char* name;
        int width, height;
        const char* settings;
        int screenH, side, x, y;
    };
    const Case cases[] = {
        {"1024 x 768, Size 50", 1024, 768, "", 748, 374, 325, 187},
        {"1024 x 768, Size 30", 1024, 768, "[Brackwold]\nSize=30\n", 748, 224, 400, 262},
        {"1024 x 768, Size 90", 1024, 768, "[Brackwold]\nSize=90\n", 748, 673, 175, 37},
        // Portrait: the side is capped at the width so the stage fits.
        {"600 x 1000, Size 90", 600, 1000, "[Brackwold]\nSize=90\n", 980, 600, 0, 190},
        {"600 x 1000, Size 50", 600, 1000, "", 980, 490, 55, 245},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteIni(c.settings);
        ResetSceneState();
        BuildStage(c.width, c.height);
        EXPECT_EQ(scene.screenW, c.width);
        EXPECT_EQ(scene.screenH, c.screenH);
        EXPECT_EQ(scene.stageSide, c.side);
        EXPECT_EQ(scene.stageX, c.x);
        EXPECT_EQ(scene.stageY, c.y);
        EXPECT_EQ(bannerY, (float)(c.height - 20));
        RECT client = {};
        GetClientRect(stageWindow, &client);
        EXPECT_EQ(client.right, c.side);
        EXPECT_EQ(client.bottom, c.side);
        EXPECT_TRUE(soundsOn);
        SaverWindowProc(saver, WM_DESTROY, 0, 0);
        built = false;
        DestroyWindow(saver);
    }
}

TEST_F(StageSetupTest, PreviewIgnoresSizeAndStaysSilent)
{
    WriteIni("[Brackwold]\nSize=90\nSounds=1\n");
    previewMode = true;
    BuildStage(152, 112);
    previewMode = false;
    EXPECT_EQ(scene.screenW, 152);
    EXPECT_EQ(scene.screenH, 92);
    EXPECT_EQ(sizeFactor, 0.75f);
    EXPECT_EQ(scene.stageSide, 69);
    EXPECT_EQ(scene.stageX, 41);
    EXPECT_EQ(scene.stageY, 11);
    EXPECT_FALSE(soundsOn);
}

TEST_F(StageSetupTest, FirstFigureAndVelocityAreRolledInRange)
{
    BuildStage(1024, 768);
    EXPECT_GE(scene.figure, 1);
    EXPECT_LE(scene.figure, 4);
    for (int v : {scene.stageDX, scene.stageDY}) {
        EXPECT_GE(v, -5);
        EXPECT_LE(v, 4);
        EXPECT_NE(v, 0);
    }
    EXPECT_EQ(stageTimer, 1u) << "the stage's 33 ms timer, id 1";
    // Its period as the layer keeps it: with the clock moved only by the
    // waits, the shortest gap between ticks is the period (give or take the
    // millisecond the clock may turn over between two readings).
    w32test::SetInstantTimers(true);
    MSG tick;
    DWORD last = 0, shortest = 0xFFFFFFFF;
    for (int i = 0; i < 4 && GetMessageA(&tick, stageWindow, WM_TIMER, WM_TIMER) > 0; i++) {
        if (i > 0)
            shortest = std::min(shortest, tick.time - last);
        last = tick.time;
    }
    EXPECT_GE(shortest, 32u);
    EXPECT_LE(shortest, 34u);
}

TEST_F(StageSetupTest, VelocityIsRolledOnlyWhileZero)
{
    scene.stageDX = 7;
    scene.stageDY = -9;
    BuildStage(1024, 768);
    EXPECT_EQ(scene.stageDX, 7);
    EXPECT_EQ(scene.stageDY, -9);
}

TEST_F(StageSetupTest, FixedGlState)
{
    BuildStage(1024, 768);
    struct Light {
        GLenum parameter;
        GLfloat expected[4];
    };
    const Light lights[] = {
        {GL_AMBIENT, {0, 0, 0, 0}},
        {GL_DIFFUSE, {1, 1, 1, 1}},
        {GL_SPECULAR, {0.3f, 0.3f, 0.3f, 1}},
        {GL_POSITION, {0, 5, 5, 1}},  // eye coordinates: set under an identity model-view
    };
    for (const Light& light : lights) {
        GLfloat value[4] = {-1, -1, -1, -1};
        glGetLightfv(GL_LIGHT0, light.parameter, value);
        for (int i = 0; i < 4; i++)
            EXPECT_FLOAT_EQ(value[i], light.expected[i]) << "parameter " << light.parameter << " [" << i << "]";
    }
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_NORMALIZE));
    GLint face = 0, mode = 0;
    glGetIntegerv(GL_COLOR_MATERIAL_FACE, &face);
    glGetIntegerv(GL_COLOR_MATERIAL_PARAMETER, &mode);
    EXPECT_EQ(face, GL_FRONT_AND_BACK);
    EXPECT_EQ(mode, GL_AMBIENT_AND_DIFFUSE);
    GLint depthFunction = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunction);
    EXPECT_EQ(depthFunction, GL_LESS);
}

// gluPerspective(45°, aspect, 1, 20) written out.
void ExpectPerspective(double aspect)
{
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    double f = 1.0 / tan(22.5 * 3.14159265358979323846 / 180.0);
    const double expected[16] = {f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, -21.0 / 19.0, -1, 0, 0, -40.0 / 19.0, 0};
    for (int i = 0; i < 16; i++)
        EXPECT_NEAR(m[i], expected[i], 1e-5) << "element " << i;
}

TEST_F(StageSetupTest, ProjectionOfTheStage)
{
    BuildStage(1024, 768);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 374);
    EXPECT_EQ(viewport[3], 374);
    ExpectPerspective(1.0);
    GLint matrixMode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    EXPECT_EQ(matrixMode, GL_MODELVIEW);
    GLfloat modelView[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(modelView[i], i % 5 == 0 ? 1.0f : 0.0f);
}

TEST_F(StageSetupTest, ProjectionOfOtherShapes)
{
    BuildStage(1024, 768);
    SetProjection(300, 150);
    ExpectPerspective(2.0);
    // No height: an aspect of 1 instead of a division by zero.
    SetProjection(120, 0);
    ExpectPerspective(1.0);
}

TEST_F(StageSetupTest, PixelFormatAndContextFailuresShowOneErrorAndExitWithOne)
{
    struct Case {
        const char* name;
        void (*fail)(bool);
        const char* text;
    };
    const Case cases[] = {
        {"choose", w32test::FailChoosePixelFormat, "ChoosePixelFormat() failed:  Cannot find a suitable pixel format."},
        {"set", w32test::FailSetPixelFormat, "SetPixelFormat() failed:  Cannot set format specified."},
        {"context", w32test::FailCreateContext,
         "wglCreateContext() failed:  Cannot create an OpenGL rendering context."},
        {"current", w32test::FailMakeCurrent, "wglMakeCurrent() failed:  Cannot activate the OpenGL rendering context."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        w32test::ClearMessageBoxCalls();
        ResetSceneState();
        ASSERT_NE(CreateSaver(1024, 768), nullptr);
        c.fail(true);
        UINT exitCode = 0;
        try {
            SaverWindowProc(saver, WM_CREATE, 0, 0);
            ADD_FAILURE() << "stage creation returned";
        } catch (const ProcessExit& exit) {
            exitCode = exit.code;
        }
        c.fail(false);
        EXPECT_EQ(exitCode, 1u);
        std::vector<w32test::MessageBoxCall> boxes = w32test::MessageBoxCalls();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "Error");
        EXPECT_EQ(boxes[0].text, c.text);
        EXPECT_EQ(boxes[0].type, (UINT)MB_OK);
        w32test::ResetWindowing();
    }
}

TEST_F(StageSetupTest, TeardownReleasesEverythingAndPostsQuit)
{
    BuildStage(1024, 768);
    HWND stage = stageWindow;
    MSG message;
    for (int i = 0; i < 100 && PeekMessageA(&message, NULL, 0, 0, PM_REMOVE); i++)
        DispatchMessageA(&message);
    EXPECT_EQ(SaverWindowProc(saver, WM_DESTROY, 0, 0), 0);
    built = false;
    EXPECT_FALSE(IsWindow(stage));
    EXPECT_EQ(stageWindow, nullptr);
    EXPECT_EQ(glContext, nullptr);
    EXPECT_EQ(stageTimer, 0u);
    EXPECT_EQ(bannerDC, nullptr);
    bool quit = false;
    while (!quit && PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        quit = message.message == WM_QUIT;
        if (quit)
            EXPECT_EQ(message.wParam, 0u);
        else
            DispatchMessageA(&message);
    }
    EXPECT_TRUE(quit);
}

int LitPixels(const w32test::Picture& picture, int left, int top, int right, int bottom)
{
    int lit = 0;
    for (int y = top; y < bottom && y < picture.height; y++)
        for (int x = left; x < right && x < picture.width; x++) {
            uint32_t p = picture.At(x, y);
            lit += ((p >> 16) & 0xff) + ((p >> 8) & 0xff) + (p & 0xff) > 60;
        }
    return lit;
}

TEST_F(StageSetupTest, FramesReachTheStage)
{
    BuildStage(1024, 768);
    scene.figure = 1;
    int presentsBefore = w32test::PresentCount(stageWindow);
    for (int frame = 0; frame < 12; frame++) {
        FakeClockSeconds() += 0.033;
        RenderFrame();
        GLint depth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        ASSERT_EQ(depth, 1);
        ASSERT_FALSE(glIsEnabled(GL_CLIP_PLANE0));
    }
    EXPECT_EQ(w32test::PresentCount(stageWindow), presentsBefore + 12) << "one swap per frame";
    EXPECT_GE(scene.fadeAlpha, 1.0f);
    w32test::Picture frame;
    ASSERT_TRUE(w32test::ReadPresentedFrame(stageWindow, &frame));
    ASSERT_EQ(frame.width, 374);
    ASSERT_EQ(frame.height, 374);
    EXPECT_GT(LitPixels(frame, 0, 0, 374, 374), 374 * 374 / 50) << "figure 1 covers a good part of the stage";
    EXPECT_EQ(LitPixels(frame, 0, 0, 10, 10), 0) << "the corners stay black";
}

TEST_F(StageSetupTest, TickBlitsTheBannerIntoTheStrip)
{
    BuildStage(1024, 768);
    struct Case {
        float clock;
        int x;
    };
    const Case cases[] = {{0.0f, 794}, {150.0f, 397}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clock);
        scene.clockNow = c.clock;
        StageWindowProc(stageWindow, WM_TIMER, 1, 0);
        w32test::Picture picture;
        ASSERT_TRUE(w32test::ReadWindowPixels(saver, &picture));
        EXPECT_GT(LitPixels(picture, c.x, 748, c.x + 230, 758), 50);
        EXPECT_EQ(LitPixels(picture, c.x + 230, 748, 794, 768), 0) << "nothing between this blit and the first";
        EXPECT_EQ(LitPixels(picture, 0, 758, 1024, 768), 0) << "the banner is 10 rows high";
    }
    // The strip is not cleared: the first blit is still there.
    w32test::Picture picture;
    ASSERT_TRUE(w32test::ReadWindowPixels(saver, &picture));
    EXPECT_GT(LitPixels(picture, 794, 748, 1024, 758), 50);
}

TEST_F(StageSetupTest, PaletteDisplayGetsItsOwnPalette)
{
    w32test::SetPaletteDisplay(true);
    BuildStage(1024, 768);
    w32test::SetPaletteDisplay(false);
    ASSERT_NE(stagePalette, nullptr);
    const w32::Palette* palette = (const w32::Palette*)stagePalette;
    ASSERT_EQ(palette->entries.size(), 256u);
    struct Case {
        int index;
        BYTE red, green, blue;
    };
    const Case cases[] = {{0, 0, 0, 0}, {7, 255, 0, 0}, {56, 0, 255, 0}, {192, 0, 0, 255}, {255, 255, 255, 255}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(palette->entries[c.index].peRed, c.red);
        EXPECT_EQ(palette->entries[c.index].peGreen, c.green);
        EXPECT_EQ(palette->entries[c.index].peBlue, c.blue);
    }
    EXPECT_EQ(StageWindowProc(stageWindow, WM_QUERYNEWPALETTE, 0, 0), 1);
    EXPECT_EQ(StageWindowProc(stageWindow, WM_PALETTECHANGED, (WPARAM)saver, 0), 1);
    EXPECT_NE(StageWindowProc(stageWindow, WM_PALETTECHANGED, (WPARAM)stageWindow, 0), 0);
}

TEST_F(StageSetupTest, PaletteSizes)
{
    struct Case {
        int bits, entries;
    };
    const Case cases[] = {{1, 2}, {4, 16}, {7, 128}, {8, 256}, {16, 256}, {24, 256}, {32, 256}, {40, 256},
                          {255, 256}};
    for (const Case& c : cases)
        EXPECT_EQ(PaletteEntryCount(c.bits), c.entries) << c.bits << " bits";
}

TEST_F(StageSetupTest, OddPaletteFieldsDoNotFault)
{
    // Empty fields, oversized fields and shifts beyond the index's 8 bits.
    PIXELFORMATDESCRIPTOR format = {};
    format.iPixelType = PFD_TYPE_RGBA;
    format.cRedBits = 0;
    format.cGreenBits = 200;
    format.cGreenShift = 0;
    format.cBlueBits = 8;
    format.cBlueShift = 40;
    PALETTEENTRY entries[256];
    FillStagePalette(entries, 256, &format);
    EXPECT_EQ(entries[255].peRed, 0);
    EXPECT_EQ(entries[255].peGreen, 255);
    EXPECT_EQ(entries[128].peGreen, 128);
    EXPECT_EQ(entries[255].peBlue, 0);
}

TEST_F(StageSetupTest, ColourIndexPaletteSetsOnlyThePrimaries)
{
    PIXELFORMATDESCRIPTOR format = {};
    format.iPixelType = PFD_TYPE_COLORINDEX;
    format.cColorBits = 8;
    PALETTEENTRY entries[256];
    for (PALETTEENTRY& entry : entries)
        entry = PALETTEENTRY{9, 8, 7, 0};
    FillStagePalette(entries, 256, &format);
    const PALETTEENTRY primaries[4] = {{0, 0, 0, PC_NOCOLLAPSE}, {255, 0, 0, PC_NOCOLLAPSE},
                                       {0, 255, 0, PC_NOCOLLAPSE}, {0, 0, 255, PC_NOCOLLAPSE}};
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(entries[i].peRed, primaries[i].peRed);
        EXPECT_EQ(entries[i].peGreen, primaries[i].peGreen);
        EXPECT_EQ(entries[i].peBlue, primaries[i].peBlue);
        EXPECT_EQ(entries[i].peFlags, PC_NOCOLLAPSE);
    }
    EXPECT_EQ(entries[4].peRed, 9) << "the system colours stay";
    EXPECT_EQ(entries[255].peBlue, 7);
}

TEST_F(StageSetupTest, SceneClockIsMonotonic)
{
    w32test::SetPerformanceCounter(nullptr);
    LONG seconds = 0, microseconds = 0;
    ReadClock(&seconds, &microseconds);
    long long steady = std::chrono::duration_cast<std::chrono::seconds>(
                           std::chrono::steady_clock::now().time_since_epoch())
                           .count();
    EXPECT_LE(llabs(seconds - steady), 1) << "the sample comes from the monotonic clock, not the wall clock";
    EXPECT_GE(microseconds, 0);
    EXPECT_LT(microseconds, 1000000);
    EXPECT_EQ(microseconds % 1000, 0);

    LONG laterSeconds = 0, laterMicroseconds = 0;
    ReadClock(&laterSeconds, &laterMicroseconds);
    EXPECT_GE(laterSeconds * 1000000LL + laterMicroseconds, seconds * 1000000LL + microseconds);
}

}  // namespace
