// GDI objects and device contexts: the set of live handles every call
// checks, the stock objects, window and memory DCs, selection and deletion,
// the source copy from a memory DC into a window, and the palette calls.
// Bitmaps are held as 32-bit 0x00RRGGBB pixels, as a true-colour screen
// holds them. Fonts and text are in text.cpp, .bmp files in bitmap_file.cpp.
#include "platform/posix/backend.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace w32 {
namespace {

constexpr int stockWhiteBrush = 0;
constexpr int stockNullBrush = 5;
constexpr int stockSystemFont = 13;
constexpr int stockDefaultPalette = 15;
constexpr WORD paletteVersion = 0x300;

std::unordered_set<GdiObject*>& live()
{
    static std::unordered_set<GdiObject*> objects;
    return objects;
}

template <class T> T* Check(HANDLE h, GdiKind kind)
{
    auto* obj = static_cast<GdiObject*>(h);
    if (!h || !live().count(obj) || obj->kind != kind) return nullptr;
    return static_cast<T*>(obj);
}

void Free(GdiObject* obj)
{
    live().erase(obj);
    delete obj;
}

Brush* StockBrush(int index)
{
    static Brush* brushes[6];
    if (!brushes[index]) {
        static const COLORREF colours[6] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000, 0};
        brushes[index] = NewGdiObject<Brush>();
        brushes[index]->stock = true;
        brushes[index]->colour = colours[index];
        brushes[index]->hollow = index == stockNullBrush;
    }
    return brushes[index];
}

Palette* StockPalette()
{
    static Palette* palette;
    if (!palette) {
        palette = NewGdiObject<Palette>();
        palette->stock = true;
        palette->entries.assign(20, PALETTEENTRY{0, 0, 0, 0});
    }
    return palette;
}

Bitmap* StockBitmap()
{
    static Bitmap* bitmap;
    if (!bitmap) {
        bitmap = NewGdiObject<Bitmap>();
        bitmap->stock = true;
        bitmap->pixels.assign(1, 0);
    }
    return bitmap;
}

// Drops one selection of obj; an object deleted while selected goes now.
void Deselect(GdiObject* obj)
{
    if (!obj || obj->stock) return;
    if (obj->selectCount > 0) obj->selectCount--;
    if (obj->selectCount == 0 && obj->deletePending) Free(obj);
}

// The colour of the 256-entry system palette of a palette display: the 20
// static colours at both ends and a grey ramp in between.
PALETTEENTRY SystemPaletteEntry(UINT i)
{
    static const BYTE statics[20][3] = {
        {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
        {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
        {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
        {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    if (i < 10) return PALETTEENTRY{statics[i][0], statics[i][1], statics[i][2], 0};
    if (i >= 246) return PALETTEENTRY{statics[i - 236][0], statics[i - 236][1], statics[i - 236][2], 0};
    BYTE grey = (BYTE)((i - 10) * 255 / 235);
    return PALETTEENTRY{grey, grey, grey, 0};
}

}  // namespace

Dc* CheckDc(HDC hdc)
{
    return Check<Dc>(hdc, GdiKind::Dc);
}

Brush* CheckBrush(HBRUSH h)
{
    return Check<Brush>(h, GdiKind::Brush);
}

Dc* CreateWindowDc(Window* w, bool owned)
{
    Dc* dc = NewGdiObject<Dc>();
    dc->window = w ? w->handle : nullptr;
    dc->owned = owned;
    if (owned && w) w->ownDc = dc;
    return dc;
}

void FreeDc(Dc* dc)
{
    if (!dc || !live().count(dc)) return;
    Deselect(dc->bitmap);
    Deselect(dc->palette);
    Deselect(dc->brush);
    Deselect(dc->font);
    Free(dc);
}

void FillWindowRect(Window* w, const RECT& r, Brush* brush)
{
    if (!w || !brush || brush->hollow) return;
    RECT c{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, (LONG)w->width),
           std::min(r.bottom, (LONG)w->height)};
    if (c.left >= c.right || c.top >= c.bottom) return;
    be::FillRect(w, c, brush->colour);
}

void ResetGdi()
{
    std::vector<GdiObject*> doomed;
    for (GdiObject* obj : live())
        if (!obj->stock) doomed.push_back(obj);
    for (GdiObject* obj : doomed) Free(obj);
    for (Window* w : AllWindows()) w->ownDc = nullptr;
}

void AddGdiObject(GdiObject* obj)
{
    live().insert(obj);
}

// Copies rows of 0x00RRGGBB pixels into a window or a memory DC's bitmap at
// (x, y), clipped to that surface.
bool PutPixels(Dc* dst, int x, int y, int cx, int cy, const uint32_t* pixels, int stride)
{
    int dstW, dstH;
    Window* window = nullptr;
    if (dst->memory) {
        dstW = dst->bitmap->width;
        dstH = dst->bitmap->height;
    } else if ((window = FindWindowRecord(dst->window))) {
        dstW = window->width;
        dstH = window->height;
    } else {
        return false;
    }
    if (x < 0) cx += x, pixels -= x, x = 0;
    if (y < 0) cy += y, pixels -= (ptrdiff_t)y * stride, y = 0;
    cx = std::min(cx, dstW - x);
    cy = std::min(cy, dstH - y);
    if (cx <= 0 || cy <= 0) return true;

    if (window) {
        be::PutImage(window, x, y, cx, cy, pixels, stride);
        return true;
    }
    Bitmap* to = dst->bitmap;
    if (to->stock) return true;
    for (int row = 0; row < cy; row++)
        std::memmove(&to->pixels[(size_t)(y + row) * to->width + x], pixels + (size_t)row * stride,
                     (size_t)cx * sizeof(uint32_t));
    return true;
}

}  // namespace w32

using namespace w32;

extern "C" {

HDC WINAPI GetDC(HWND hWnd)
{
    if (!hWnd) return (HDC)CreateWindowDc(nullptr, false);  // the screen
    Window* w = FindWindowRecord(hWnd);
    if (!w) return nullptr;
    if (w->ownDc) return (HDC)w->ownDc;
    return (HDC)CreateWindowDc(w, (w->cls->wc.style & CS_OWNDC) != 0);
}

int WINAPI ReleaseDC(HWND, HDC hDC)
{
    Dc* dc = CheckDc(hDC);
    if (!dc || dc->memory) return 0;
    if (!dc->owned) FreeDc(dc);  // a class's own DC stays with its window
    return 1;
}

HDC WINAPI CreateCompatibleDC(HDC hdc)
{
    if (hdc && !CheckDc(hdc)) return nullptr;
    Dc* dc = NewGdiObject<Dc>();
    dc->memory = true;
    dc->bitmap = StockBitmap();
    return (HDC)dc;
}

BOOL WINAPI DeleteDC(HDC hdc)
{
    Dc* dc = CheckDc(hdc);
    if (!dc || dc->owned) return FALSE;
    FreeDc(dc);
    return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h)
{
    Dc* dc = CheckDc(hdc);
    auto* obj = static_cast<GdiObject*>(h);
    if (!dc || !h || !live().count(obj)) return nullptr;
    switch (obj->kind) {
    case GdiKind::Bitmap: {
        auto* bitmap = static_cast<Bitmap*>(obj);
        if (!dc->memory) return nullptr;
        if (bitmap == dc->bitmap) return bitmap;
        if (!bitmap->stock && bitmap->selectCount > 0) return nullptr;  // one DC at a time
        Bitmap* previous = dc->bitmap;
        dc->bitmap = bitmap;
        if (!bitmap->stock) bitmap->selectCount++;
        Deselect(previous);
        return previous;
    }
    case GdiKind::Brush: {
        auto* brush = static_cast<Brush*>(obj);
        HGDIOBJ previous = dc->brush ? (HGDIOBJ)dc->brush : (HGDIOBJ)StockBrush(stockWhiteBrush);
        if (brush == dc->brush) return previous;
        Brush* old = dc->brush;
        dc->brush = brush;
        if (!brush->stock) brush->selectCount++;
        Deselect(old);
        return previous;
    }
    case GdiKind::Font: {
        auto* font = static_cast<Font*>(obj);
        HGDIOBJ previous = dc->font ? (HGDIOBJ)dc->font : (HGDIOBJ)StockFont();
        if (font == dc->font) return previous;
        Font* old = dc->font;
        dc->font = font->stock ? nullptr : font;
        if (!font->stock) font->selectCount++;
        Deselect(old);
        return previous;
    }
    default:
        return nullptr;  // DCs cannot be selected, palettes go through SelectPalette
    }
}

// Deleting an object that is still selected succeeds, and the object is
// freed when its DC lets go of it.
BOOL WINAPI DeleteObject(HGDIOBJ ho)
{
    auto* obj = static_cast<GdiObject*>(ho);
    if (!ho || !live().count(obj) || obj->kind == GdiKind::Dc) return FALSE;
    if (obj->stock) return TRUE;
    if (obj->selectCount > 0) {
        obj->deletePending = true;
        return TRUE;
    }
    Free(obj);
    return TRUE;
}

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv)
{
    auto* obj = static_cast<GdiObject*>(h);
    if (!h || !live().count(obj)) return 0;
    if (obj->kind == GdiKind::Bitmap) {
        if (!pv) return sizeof(BITMAP);
        if (c < (int)sizeof(BITMAP)) return 0;
        auto* bitmap = static_cast<Bitmap*>(obj);
        BITMAP bm{0, bitmap->width, bitmap->height, bitmap->width * 4, 1, 32, nullptr};
        std::memcpy(pv, &bm, sizeof bm);
        return sizeof(BITMAP);
    }
    if (obj->kind == GdiKind::Palette) {
        if (!pv) return sizeof(WORD);
        if (c < (int)sizeof(WORD)) return 0;
        WORD count = (WORD)static_cast<Palette*>(obj)->entries.size();
        std::memcpy(pv, &count, sizeof count);
        return sizeof(WORD);
    }
    return 0;
}

HGDIOBJ WINAPI GetStockObject(int i)
{
    if (i >= 0 && i <= stockNullBrush) return StockBrush(i);
    if (i == stockDefaultPalette) return StockPalette();
    if (i == stockSystemFont) return StockFont();
    return nullptr;
}

// Only the plain source copy is supported, from a memory DC into a window
// or another memory DC; the copy is clipped to both surfaces.
BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop)
{
    Dc* dst = CheckDc(hdc);
    Dc* src = CheckDc(hdcSrc);
    if (!dst || !src || rop != SRCCOPY || !src->memory || !src->bitmap) return FALSE;
    const Bitmap* from = src->bitmap;
    if (!dst->memory && !FindWindowRecord(dst->window)) return FALSE;

    // Clip against the source here, against the destination as it is drawn.
    if (x1 < 0) cx += x1, x -= x1, x1 = 0;
    if (y1 < 0) cy += y1, y -= y1, y1 = 0;
    cx = std::min(cx, from->width - x1);
    cy = std::min(cy, from->height - y1);
    if (cx <= 0 || cy <= 0) return TRUE;
    return PutPixels(dst, x, y, cx, cy, &from->pixels[(size_t)y1 * from->width + x1], from->width);
}

// Palettes only matter on a palette display, which a true-colour X server
// never is; there these calls succeed and change nothing on screen.
UINT WINAPI GetSystemPaletteEntries(HDC hdc, UINT iStart, UINT cEntries, LPPALETTEENTRY pPalEntries)
{
    constexpr UINT systemEntries = 256;
    if (!CheckDc(hdc) || !be::IsPaletteDevice()) return 0;
    if (!pPalEntries) return systemEntries;
    if (iStart >= systemEntries) return 0;
    UINT n = std::min(cEntries, systemEntries - iStart);
    for (UINT i = 0; i < n; i++) pPalEntries[i] = SystemPaletteEntry(iStart + i);
    return n;
}

HPALETTE WINAPI CreatePalette(const LOGPALETTE* plpal)
{
    if (!plpal || plpal->palVersion != paletteVersion || plpal->palNumEntries == 0) return nullptr;
    Palette* palette = NewGdiObject<Palette>();
    palette->entries.assign(plpal->palPalEntry, plpal->palPalEntry + plpal->palNumEntries);
    return (HPALETTE)palette;
}

HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE hPal, BOOL)
{
    Dc* dc = CheckDc(hdc);
    Palette* palette = Check<Palette>(hPal, GdiKind::Palette);
    if (!dc || !palette) return nullptr;
    Palette* previous = dc->palette ? dc->palette : StockPalette();
    if (palette == dc->palette) return (HPALETTE)previous;
    Palette* old = dc->palette;
    dc->palette = palette;
    if (!palette->stock) palette->selectCount++;
    Deselect(old);
    return (HPALETTE)previous;
}

UINT WINAPI RealizePalette(HDC hdc)
{
    Dc* dc = CheckDc(hdc);
    if (!dc || !be::IsPaletteDevice() || !dc->palette) return 0;
    return (UINT)dc->palette->entries.size();
}

BOOL WINAPI UnrealizeObject(HGDIOBJ h)
{
    auto* obj = static_cast<GdiObject*>(h);
    return h && live().count(obj) && (obj->kind == GdiKind::Palette || obj->kind == GdiKind::Brush);
}

}  // extern "C"
