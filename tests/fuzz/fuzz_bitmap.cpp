// LoadBitmapA on arbitrary .bmp resource bytes, then the bitmap's size and
// a blit of all of it, as the banner is loaded and drawn. A bitmap that
// loads must have the size its header gives, within the loader's limit,
// and exactly the pixels that size needs.
#include "platform/posix/layer_internal.h"
#include "testing/doubles/sys_seams.h"
#include "platform/win32.h"

#include <cstdlib>
#include <vector>

namespace {

const int64_t sideLimit = 32768;  // the largest side the loader accepts

int64_t Read16(const uint8_t* p)
{
    return p[0] | p[1] << 8;
}

int64_t Read32Signed(const uint8_t* p)
{
    return (int32_t)(p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24);
}

// The size the header gives: the 12-byte header has unsigned 16-bit sides
// and no top-down rows; the later ones signed 32-bit sides, a negative
// height meaning top-down rows.
void HeaderSize(const uint8_t* data, size_t size, int64_t* width, int64_t* height)
{
    *width = *height = -1;
    if (size < 14 + 12)  // both sides lie within the first 12 bytes of any header
        return;
    if (Read32Signed(data + 14) == 12) {
        *width = Read16(data + 18);
        *height = Read16(data + 20);
    } else {
        *width = Read32Signed(data + 18);
        *height = std::llabs(Read32Signed(data + 22));
    }
}

void CheckDecoded(HBITMAP bitmap, const uint8_t* data, size_t size)
{
    BITMAP info = {};
    if (GetObjectA(bitmap, sizeof info, &info) != sizeof info)
        abort();
    if (info.bmWidth <= 0 || info.bmHeight <= 0 || info.bmWidth > sideLimit || info.bmHeight > sideLimit)
        abort();
    int64_t width, height;
    HeaderSize(data, size, &width, &height);
    if (info.bmWidth != width || info.bmHeight != height)
        abort();
    const auto* decoded = static_cast<const w32::Bitmap*>(static_cast<void*>(bitmap));
    if (decoded->pixels.size() * sizeof(uint32_t) != (size_t)info.bmWidthBytes * (size_t)info.bmHeight ||
        info.bmWidthBytes < info.bmWidth * info.bmBitsPixel / 8)
        abort();
}

}  // namespace

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
        CheckDecoded(bitmap, data, size);
        BITMAP info = {};
        GetObjectA(bitmap, sizeof info, &info);
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
