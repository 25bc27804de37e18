// LoadBitmapA on arbitrary .bmp resource bytes, then the bitmap's size and
// a blit of all of it, as the banner is loaded and drawn.
#include "platform/posix/sys_seams.h"
#include "platform/win32.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static ATOM targetClass = [] {
        WNDCLASSA plain = {};
        plain.lpfnWndProc = DefWindowProcA;
        plain.lpszClassName = "FuzzTarget";
        return RegisterClassA(&plain);
    }();
    (void)targetClass;
    w32test::AddResource("BITMAP", "#105", std::vector<unsigned char>(data, data + size));
    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(NULL), MAKEINTRESOURCE(105));
    if (bitmap) {
        BITMAP info = {};
        if (GetObjectA(bitmap, sizeof info, &info) != sizeof info || info.bmWidth <= 0 || info.bmHeight <= 0)
            abort();
        HWND window = CreateWindowExA(0, "FuzzTarget", "", WS_POPUP | WS_VISIBLE, 0, 0, 64, 64, NULL, NULL, NULL,
                                      NULL);
        HDC target = GetDC(window);
        HDC source = CreateCompatibleDC(NULL);
        SelectObject(source, bitmap);
        BitBlt(target, -3, -3, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
        DeleteDC(source);
        DeleteObject(bitmap);
        ReleaseDC(window, target);
        DestroyWindow(window);
    }
    w32test::RemoveResource("BITMAP", "#105");
    return 0;
}
