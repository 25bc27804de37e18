// The stage window: a square GL child of the saver window, with its pixel
// format, its palette on palette displays, and the scene clock's source.
#include "stage/stage.h"
#include "shell/shell.h"

HWND stageWindow;
HDC stageDC;
HPALETTE stagePalette;
LONG clockStart[2];

static bool stageClassRegistered;

// Shows why the stage cannot be built; the caller then ends the process.
// A saver window that has gone meanwhile, with the window it lives in (a
// preview's host, a daemon's) or with the display, is the ordinary end of
// the run and no failure: nothing is shown and the process ends with 0.
static void ShowStageError(HWND saver, LPCSTR text)
{
    if (!IsWindow(saver))
        ExitProcess(0);
    MessageBoxA(NULL, text, "Error", MB_OK);
}

static bool RegisterStageClass()
{
    if (stageClassRegistered)
        return true;
    WNDCLASSA stageClass = {};
    stageClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    stageClass.lpfnWndProc = StageWindowProc;
    stageClass.hInstance = appInstance;
    stageClass.hIcon = LoadIconA(NULL, IDI_WINLOGO);
    stageClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    stageClass.lpszClassName = "OpenGL";
    // Only a success counts: a failed first attempt must not pass for a
    // registration the next time round.
    stageClassRegistered = RegisterClassA(&stageClass) != 0;
    return stageClassRegistered;
}

int PaletteEntryCount(int colourBits)
{
    // 2^bits, capped at 256 before shifting so that deep formats never shift
    // by the width of the integer.
    if (colourBits <= 0)
        return 1;
    if (colourBits >= 8)
        return 256;
    return 1 << colourBits;
}

// One colour channel of palette entry `index`, scaled to 0..255 from the
// channel's bit field. Entries only have 8 bits of index, so a shift of 8 or
// more leaves nothing, and an empty field has no levels to scale.
static BYTE PaletteLevel(int index, int bits, int shift)
{
    if (bits <= 0 || shift >= 8)
        return 0;
    if (bits > 8)
        bits = 8;
    int mask = (1 << bits) - 1;
    return (BYTE)(((index >> shift) & mask) * 255 / mask);
}

void FillStagePalette(PALETTEENTRY* entries, int count, const PIXELFORMATDESCRIPTOR* format)
{
    if (format->iPixelType == PFD_TYPE_COLORINDEX) {
        static const BYTE primaries[4][3] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
        for (int i = 0; i < 4 && i < count; i++) {
            entries[i].peRed = primaries[i][0];
            entries[i].peGreen = primaries[i][1];
            entries[i].peBlue = primaries[i][2];
            entries[i].peFlags = PC_NOCOLLAPSE;
        }
        return;
    }
    for (int i = 0; i < count; i++) {
        entries[i].peRed = PaletteLevel(i, format->cRedBits, format->cRedShift);
        entries[i].peGreen = PaletteLevel(i, format->cGreenBits, format->cGreenShift);
        entries[i].peBlue = PaletteLevel(i, format->cBlueBits, format->cBlueShift);
        entries[i].peFlags = 0;
    }
}

static void CreateStagePalette(const PIXELFORMATDESCRIPTOR* format)
{
    // The largest palette fits on the stack, so no buffer is allocated.
    struct {
        WORD palVersion;
        WORD palNumEntries;
        PALETTEENTRY palPalEntry[256];
    } palette;
    int count = PaletteEntryCount(format->cColorBits);
    palette.palVersion = 0x300;
    palette.palNumEntries = (WORD)count;
    for (int i = 0; i < count; i++)
        palette.palPalEntry[i] = PALETTEENTRY{};
    GetSystemPaletteEntries(stageDC, 0, count, palette.palPalEntry);
    FillStagePalette(palette.palPalEntry, count, format);

    stagePalette = CreatePalette((const LOGPALETTE*)&palette);
    if (stagePalette) {
        SelectPalette(stageDC, stagePalette, FALSE);
        RealizePalette(stageDC);
    }
}

HWND CreateStageWindow(LPCSTR title, int x, int y, int width, int height, HWND parent)
{
    if (!RegisterStageClass()) {
        ShowStageError(parent, "RegisterClass() failed:  Cannot register window class.");
        return NULL;
    }

    HWND window = CreateWindowExA(0, "OpenGL", title, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, x, y,
                                  width, height, parent, NULL, appInstance, NULL);
    if (!window) {
        ShowStageError(parent, "CreateWindow() failed:  Cannot create a window.");
        return NULL;
    }

    stageDC = GetDC(window);
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = (WORD)sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 32;
    format.cDepthBits = 32;

    // On failure the window stays: the caller ends the process.
    int formatIndex = ChoosePixelFormat(stageDC, &format);
    if (formatIndex == 0) {
        ShowStageError(parent, "ChoosePixelFormat() failed:  Cannot find a suitable pixel format.");
        return NULL;
    }
    if (!SetPixelFormat(stageDC, formatIndex, &format)) {
        ShowStageError(parent, "SetPixelFormat() failed:  Cannot set format specified.");
        return NULL;
    }

    DescribePixelFormat(stageDC, formatIndex, sizeof format, &format);
    if ((format.dwFlags & PFD_NEED_PALETTE) || format.iPixelType == PFD_TYPE_COLORINDEX)
        CreateStagePalette(&format);

    // The class owns its DC, so stageDC stays valid after the release.
    ReleaseDC(window, stageDC);
    return window;
}

// Without a context nothing would ever be drawn (GLX without direct
// rendering refuses one): a failure like the pixel format's, never a black
// stage that claims to run.
HGLRC CreateStageContext(HWND saver)
{
    HGLRC context = wglCreateContext(stageDC);
    if (!context) {
        ShowStageError(saver, "wglCreateContext() failed:  Cannot create an OpenGL rendering context.");
        return NULL;
    }
    if (!wglMakeCurrent(stageDC, context)) {
        wglDeleteContext(context);
        ShowStageError(saver, "wglMakeCurrent() failed:  Cannot activate the OpenGL rendering context.");
        return NULL;
    }
    return context;
}

void ReadClock(LONG* seconds, LONG* microseconds)
{
    // The performance counter is monotonic, so that setting the system time
    // neither stalls nor rushes the scene. Whole milliseconds are plenty at
    // one frame per 33 ms.
    LARGE_INTEGER count, frequency;
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 || !QueryPerformanceCounter(&count)) {
        *seconds = 0;
        *microseconds = 0;
        return;
    }
    LONGLONG milliseconds = count.QuadPart % frequency.QuadPart * 1000 / frequency.QuadPart;
    *seconds = (LONG)(count.QuadPart / frequency.QuadPart);
    *microseconds = (LONG)(milliseconds * 1000);
}
