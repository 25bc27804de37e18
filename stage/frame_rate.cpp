// The frame-rate display: three lines in the bottom-left corner of the
// stage area, just above the banner strip - frames per second, the load
// (the share of the time spent on ticks and frames rather than waiting for
// the next tick) and the triangles drawn per frame, each over the last
// second or so. Off unless the process entry asks for it; while it is off
// none of this runs.
#include "stage/scene_state.h"
#include "stage/stage.h"
#include "shell/shell.h"

#include <stdio.h>
#include <string.h>

bool showFrameRate;

enum {
    frameRateFontHeight = 16,  // pixels, character height
    frameRateLineStep = 19,
    frameRateMargin = 8,
    frameRateLineCount = 3,
};

static HFONT frameRateFont;
static LARGE_INTEGER counterFrequency;
static LARGE_INTEGER periodStart;  // when counting for the figures on show began
static LARGE_INTEGER busyStart;
static LONGLONG busyCounts;        // spent on ticks and frames since periodStart
static long periodFrames;
static long periodTriangles;
char frameRateLines[frameRateLineCount][24];

// Blank-padded to one width, so that each line covers the longer one it
// replaces in the fixed-pitch font.
static void FormatFrameRate(double framesPerSecond, double load, long triangles)
{
    char text[frameRateLineCount][19];
    snprintf(text[0], sizeof text[0], "FPS: %.1f", framesPerSecond);
    snprintf(text[1], sizeof text[1], "Load: %.1f%%", load * 100.0);
    snprintf(text[2], sizeof text[2], "Triangles: %ld", triangles);
    for (int i = 0; i < frameRateLineCount; i++)
        snprintf(frameRateLines[i], sizeof frameRateLines[i], "%-18.18s", text[i]);
}

void StartFrameRate()
{
    if (!showFrameRate)
        return;
    frameRateFont = CreateFontA(-frameRateFontHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                FIXED_PITCH | FF_MODERN, "Courier New");
    QueryPerformanceFrequency(&counterFrequency);
    QueryPerformanceCounter(&periodStart);
    busyCounts = 0;
    periodFrames = 0;
    periodTriangles = 0;
    FormatFrameRate(0.0, 0.0, 0);
}

void ReleaseFrameRate()
{
    if (frameRateFont)
        DeleteObject(frameRateFont);
    frameRateFont = NULL;
}

void BeginBusySpan()
{
    if (showFrameRate)
        QueryPerformanceCounter(&busyStart);
}

void EndBusySpan()
{
    if (!showFrameRate)
        return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    busyCounts += now.QuadPart - busyStart.QuadPart;
}

void CountFrame(long triangles)
{
    if (!showFrameRate)
        return;
    periodFrames++;
    periodTriangles += triangles;
}

// New figures once a second; the text is drawn on every tick all the same,
// since the stage passing over the corner hides it until it is drawn again.
void DrawFrameRate()
{
    if (!showFrameRate || counterFrequency.QuadPart <= 0)
        return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    double elapsed = (double)(now.QuadPart - periodStart.QuadPart) / (double)counterFrequency.QuadPart;
    if (elapsed >= 1.0) {
        double load = (double)busyCounts / (double)(now.QuadPart - periodStart.QuadPart);
        FormatFrameRate(periodFrames / elapsed, load, periodFrames ? periodTriangles / periodFrames : 0);
        periodStart = now;
        busyCounts = 0;
        periodFrames = 0;
        periodTriangles = 0;
    }

    HGDIOBJ previousFont = SelectObject(saverDC, frameRateFont);
    SetTextColor(saverDC, RGB(255, 255, 0));
    SetBkColor(saverDC, RGB(0, 0, 0));
    SetBkMode(saverDC, OPAQUE);
    // The primary monitor's corner: the banner's strip is measured there.
    int top = (int)bannerY - frameRateMargin - frameRateLineCount * frameRateLineStep;
    for (int i = 0; i < frameRateLineCount; i++)
        TextOutA(saverDC, scene.areaX + frameRateMargin, top + i * frameRateLineStep, frameRateLines[i],
                 (int)strlen(frameRateLines[i]));
    SelectObject(saverDC, previousFont);
}
