// The program's own procedure for the saver window: it builds the stage when
// the window is created and tears it down, in reverse, when it is destroyed.
// Everything else goes to the shell's ending rules.
#include "stage/stage.h"
#include "stage/scene_state.h"
#include "settings/settings.h"
#include "shell/shell.h"

#include <stdlib.h>
#include <time.h>

HWND saverWindow;
HDC saverDC;
HGLRC glContext;
unsigned seedSalt;

enum { bannerStripHeight = 20 };

// The part of the saver window the show keeps to. On several monitors the
// full-screen window covers them all and the show stays on the primary one,
// which starts at the origin of screen coordinates and has the screen
// metrics' size; a preview has its whole window.
static RECT ShowArea(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    if (previewMode)
        return client;
    POINT corner = {0, 0};
    ScreenToClient(window, &corner);
    RECT area;
    area.left = corner.x > client.left ? corner.x : client.left;
    area.top = corner.y > client.top ? corner.y : client.top;
    area.right = corner.x + GetSystemMetrics(SM_CXSCREEN);
    area.bottom = corner.y + GetSystemMetrics(SM_CYSCREEN);
    if (area.right > client.right)
        area.right = client.right;
    if (area.bottom > client.bottom)
        area.bottom = client.bottom;
    if (area.right <= area.left || area.bottom <= area.top)
        return client;  // no primary inside the window: keep to the window
    return area;
}

// Sets the stage geometry from the show's area; its bottom rows are the
// banner strip.
static void MeasureStageArea(HWND window)
{
    RECT area = ShowArea(window);
    scene.areaX = area.left;
    scene.areaY = area.top;
    scene.screenW = area.right - area.left;
    scene.screenH = area.bottom - area.top - bannerStripHeight;
    bannerY = (float)(area.bottom - bannerStripHeight);

    if (previewMode)
        sizeFactor = 0.75f;
    scene.stageSide = (int)(scene.screenH * (double)sizeFactor);
    // A portrait screen or a large Size would push the stage off the side,
    // and a window shorter than the strip would give it a negative size.
    if (scene.stageSide > scene.screenW)
        scene.stageSide = scene.screenW;
    if (scene.stageSide < 0)
        scene.stageSide = 0;
}

static void RollStartingState()
{
    ReadClock(&clockStart[0], &clockStart[1]);
    // The scene clock is monotonic and starts anywhere; the wall clock still
    // gives each run its own sequence.
    srand((unsigned)time(NULL) ^ seedSalt);

    scene.figure = RollFigure();
    while (scene.stageDX == 0)
        scene.stageDX = rand() % 10 - 5;
    while (scene.stageDY == 0)
        scene.stageDY = rand() % 10 - 5;
    CentreStage();
}

static void BuildStage(HWND window)
{
    LoadSettings();
    saverWindow = window;
    saverDC = GetDC(window);
    MeasureStageArea(window);
    RollStartingState();

    stageWindow = CreateStageWindow("Brackwold!", scene.areaX + scene.stageX, scene.areaY + scene.stageY,
                                    scene.stageSide, scene.stageSide, saverWindow);
    if (!stageWindow)
        ExitProcess(1);  // the failure has been shown already

    stageDC = GetDC(stageWindow);
    glContext = wglCreateContext(stageDC);
    wglMakeCurrent(stageDC, glContext);
    InitGlState();
    SetProjection(scene.stageSide, scene.stageSide);

    if (previewMode)
        soundsOn = false;  // the preview stays silent for the whole run
    LoadBanner();
    StartFrameRate();
}

static void TearDownStage()
{
    ReleaseFrameRate();
    ReleaseBanner();
    wglMakeCurrent(NULL, NULL);
    ReleaseDC(stageWindow, stageDC);
    ReleaseDC(saverWindow, saverDC);
    wglDeleteContext(glContext);
    if (stagePalette)
        DeleteObject(stagePalette);
    DestroyWindow(stageWindow);

    glContext = NULL;
    stagePalette = NULL;
    stageDC = NULL;
    stageWindow = NULL;
    saverDC = NULL;
    PostQuitMessage(0);
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        BuildStage(window);
        return 0;
    case WM_DESTROY:
        TearDownStage();
        return 0;
    }
    return DefaultSaverProc(window, message, wParam, lParam);
}
