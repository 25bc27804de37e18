// The stage window's procedure and its 33 ms heartbeat: each tick sweeps the
// banner along the bottom strip, moves the stage by its velocity, bounces it
// off the edges of the stage area and asks for the next frame.
#include "stage/stage.h"
#include "stage/scene_state.h"
#include "events/events.h"
#include "figures/figures.h"
#include "shell/shell.h"
#include "resources/resource_ids.h"

#include <math.h>
#include <stdlib.h>

UINT_PTR stageTimer;
HDC bannerDC;
HBITMAP bannerBitmap;
int bannerSize[2];
float bannerX;
float bannerY;

enum {
    stageTimerId = 1,
    stageTimerPeriod = 33,  // ms
    bannerSweepWidth = 230,  // the supplied banner's width, whatever the bitmap says
};

static const double pi = 3.14159265358979323846;

void LoadBanner()
{
    bannerDC = CreateCompatibleDC(saverDC);
    bannerBitmap = LoadBitmapA(appInstance, MAKEINTRESOURCE(IDB_BANNER));
    BITMAP info = {};
    GetObjectA(bannerBitmap, sizeof info, &info);
    bannerSize[0] = info.bmWidth;
    bannerSize[1] = info.bmHeight;
    SelectObject(bannerDC, bannerBitmap);
}

// One sweep back and forth every 600 s of scene clock, starting at the right.
void DrawBanner()
{
    bannerX = (float)((scene.screenW - bannerSweepWidth) * 0.5 * (cos(scene.clockNow * pi / 300.0) + 1.0));
    BitBlt(saverDC, scene.areaX + (int)bannerX, (int)bannerY, bannerSize[0], bannerSize[1], bannerDC, 0, 0, SRCCOPY);
}

void ReleaseBanner()
{
    // The DC goes first: a bitmap still selected into a DC cannot be deleted.
    DeleteDC(bannerDC);
    DeleteObject(bannerBitmap);
    bannerDC = NULL;
    bannerBitmap = NULL;
}

// Figure 2 rolls for the mishap after the spin, and only figure 2; a
// mishap takes the place of the bounce's voice cue.
void OnEdgeHit(int edge)
{
    scene.spinSpeedX = rand() % 11 - 5;
    scene.spinSpeedY = rand() % 11 - 5;
    scene.spinSpeedZ = rand() % 11 - 5;
    if (scene.figure == FIGURE_MUFFIX && rand() % 40 == 0)
        StartMishap(edge);
    else
        CueVoiceLine();
}

// The speed the stage leaves an edge with: 1 to 5 pixels per tick, away
// from that edge.
int RollBounceSpeed()
{
    return rand() % 5 + 1;
}

// Centred in the area above the banner strip.
void CentreStage()
{
    scene.stageX = (int)((scene.screenW - scene.stageSide) * 0.5);
    scene.stageY = (int)((scene.screenH - scene.stageSide) * 0.5);
}

// Later tests see the corrections of earlier ones, so a corner hit bounces
// on both axes in one tick.
static void BounceOffEdges()
{
    if (scene.stageX < 0) {
        scene.stageX = 0;
        scene.stageDX = RollBounceSpeed();
        OnEdgeHit(edgeLeft);
    }
    if (scene.stageY < 0) {
        scene.stageY = 0;
        scene.stageDY = RollBounceSpeed();
        OnEdgeHit(edgeTop);
    }
    if (scene.stageX + scene.stageSide > scene.screenW) {
        scene.stageX = scene.screenW - scene.stageSide;
        scene.stageDX = -RollBounceSpeed();
        OnEdgeHit(edgeRight);
    }
    if (scene.stageY + scene.stageSide > scene.screenH) {
        scene.stageY = scene.screenH - scene.stageSide;
        scene.stageDY = -RollBounceSpeed();
        OnEdgeHit(edgeBottom);
    }
}

static void MoveStageWindow(HWND window)
{
    MoveWindow(window, scene.areaX + scene.stageX, scene.areaY + scene.stageY, scene.stageSide, scene.stageSide,
               FALSE);
}

static void OnTick(HWND window)
{
    BeginBusySpan();
    DrawBanner();
    DrawFrameRate();
    if (!scene.kickActive) {
        scene.stageX += scene.stageDX;
        scene.stageY += scene.stageDY;
    }
    if (scene.lamentActive) {
        CentreStage();
        MoveStageWindow(window);
    } else if (!scene.mishapActive && !scene.kickActive) {
        BounceOffEdges();
        MoveStageWindow(window);
    }
    // A scene holds the window still; the position may still drift (mishap).
    InvalidateRect(window, NULL, FALSE);
    EndBusySpan();
}

static LRESULT RealiseStagePalette()
{
    if (!stagePalette)
        return 0;
    UnrealizeObject(stagePalette);
    SelectPalette(stageDC, stagePalette, FALSE);
    RealizePalette(stageDC);
    return 1;
}

static LRESULT HandleStageMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        stageTimer = SetTimer(window, stageTimerId, stageTimerPeriod, NULL);
        return 0;
    case WM_DESTROY:
        if (stageTimer != 0)
            KillTimer(window, stageTimer);
        stageTimer = 0;
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        // A resize during creation comes before the context exists; the
        // creation sets the projection itself once it is current.
        if (glContext)
            SetProjection(LOWORD(lParam), HIWORD(lParam));
        PostMessageA(window, WM_PAINT, 0, 0);
        return 0;
    case WM_PAINT: {
        RenderFrame();
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;  // the GL frame covers the whole window
    case WM_TIMER:
        OnTick(window);
        return 0;
    case WM_QUERYNEWPALETTE:
        return RealiseStagePalette();
    case WM_PALETTECHANGED:
        if ((HWND)wParam == window)
            return 1;
        return RealiseStagePalette();
    case WM_NCCREATE:
    case WM_NCDESTROY:
        // The stage's own birth and death. Handled for the saver window, the
        // default handling would give the saver the stage's title (and a
        // running saver could no longer be found by its own).
        return DefWindowProcA(window, message, wParam, lParam);
    }
    // Input over the stage ends the saver just as over the saver window.
    return DefaultSaverProc(saverWindow, message, wParam, lParam);
}

LRESULT CALLBACK StageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return GuardedProcedure(HandleStageMessage, window, message, wParam, lParam);
}
