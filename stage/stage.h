// The stage: the square GL child window, its timer loop and banner, and the
// per-frame renderer.
#pragma once
#include "platform/win32.h"

extern HWND saverWindow;
extern HDC saverDC;
extern HWND stageWindow;
extern HDC stageDC;
extern HGLRC glContext;
extern HPALETTE stagePalette;
extern LONG clockStart[2];  // seconds, microseconds

extern UINT_PTR stageTimer;
extern HDC bannerDC;
extern HBITMAP bannerBitmap;
extern int bannerSize[2];
extern float bannerX;
extern float bannerY;

HWND CreateStageWindow(LPCSTR title, int x, int y, int width, int height, HWND parent);
// The GL context on stageDC, made current; NULL once the failure has been
// shown.
HGLRC CreateStageContext(HWND saver);
void InitGlState();
void SetProjection(int width, int height);
void ReadClock(LONG* seconds, LONG* microseconds);

// Number of logical palette entries for a palette format of the given depth.
int PaletteEntryCount(int colourBits);
// Overwrites the entries that the pixel format defines (the four primaries of
// a colour-index format, or every entry of an RGBA format from its bit fields).
void FillStagePalette(PALETTEENTRY* entries, int count, const PIXELFORMATDESCRIPTOR* format);

LRESULT CALLBACK StageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void OnEdgeHit(int edge);
int RollBounceSpeed();
void CentreStage();
void LoadBanner();
void DrawBanner();
void ReleaseBanner();

// The frame-rate display (frame_rate.cpp): started after the banner and
// released before it; the spans of the ticks and the frames are timed and
// the frames counted while it is on.
void StartFrameRate();
void ReleaseFrameRate();
void BeginBusySpan();
void EndBusySpan();
void CountFrame(long triangles);
void DrawFrameRate();
// Its three lines as last figured: frames per second, load, triangles.
extern char frameRateLines[][24];

void RenderFrame();
int RollFigure();
// What RenderFrame draws between: BeginFrame clears, pushes the model-view,
// moves back to the figures' place and blends while fadeAlpha is below 1;
// EndFrame undoes that and flushes. The gallery and tests draw through them.
void BeginFrame();
void EndFrame();
