// GDI: device contexts, bitmaps loaded from the embedded .bmp files, the
// source copy from a memory DC into a window, stock brushes, fonts and text,
// and the palette calls. Bitmaps are held as 32-bit 0x00RRGGBB pixels, as a
// true-colour screen holds them; text is laid out by Pango and drawn by
// cairo into such pixels, in the font fontconfig finds nearest the one asked.
#include "platform/posix/backend.h"
#include "platform/posix/resources.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_set>

namespace w32 {
namespace {

constexpr int stockWhiteBrush = 0;
constexpr int stockNullBrush = 5;
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

template <class T> T* Make()
{
    T* obj = new T;
    live().insert(obj);
    return obj;
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
        brushes[index] = Make<Brush>();
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
        palette = Make<Palette>();
        palette->stock = true;
        palette->entries.assign(20, PALETTEENTRY{0, 0, 0, 0});
    }
    return palette;
}

Bitmap* StockBitmap()
{
    static Bitmap* bitmap;
    if (!bitmap) {
        bitmap = Make<Bitmap>();
        bitmap->stock = true;
        bitmap->pixels.assign(1, 0);
    }
    return bitmap;
}

constexpr int stockSystemFont = 13;

// Windows' system font is a bold sans serif with 16-pixel cells.
Font* StockFont()
{
    static Font* font;
    if (!font) {
        font = Make<Font>();
        font->stock = true;
        font->height = 16;
        font->weight = FW_BOLD;
        font->pitchAndFamily = VARIABLE_PITCH | FF_SWISS;
        font->face = "System";
    }
    return font;
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

// .bmp parsing ------------------------------------------------------------

uint32_t Read32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24; }
uint16_t Read16(const unsigned char* p) { return (uint16_t)(p[0] | p[1] << 8); }

// Scales a masked channel to 8 bits.
uint32_t Channel(uint32_t value, uint32_t mask)
{
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) shift++;
    uint64_t bits = mask >> shift;
    uint64_t v = (value & mask) >> shift;
    return (uint32_t)(v * 255 / bits);  // 64-bit: a 32-bit mask must not wrap
}

// Reads a whole .bmp file (file header included). Every offset and size is
// checked against the data, so a damaged resource gives no bitmap rather
// than a read past its end.
bool ParseBmp(const unsigned char* data, size_t size, Bitmap* out)
{
    constexpr size_t fileHeader = 14;
    if (size < fileHeader + 12 || data[0] != 'B' || data[1] != 'M') return false;
    size_t bitsOffset = Read32(data + 10);
    size_t headerSize = Read32(data + 14);
    if (headerSize < 12 || fileHeader + headerSize > size) return false;
    const unsigned char* h = data + fileHeader;

    int64_t width, height;
    int bpp;
    uint32_t compression = 0, coloursUsed = 0;
    size_t entrySize = 4;
    if (headerSize == 12) {  // the OS/2 header: unsigned sides, rows always bottom-up
        width = Read16(h + 4);
        height = Read16(h + 6);
        bpp = Read16(h + 10);
        entrySize = 3;
    } else if (headerSize >= 40) {
        width = (int32_t)Read32(h + 4);
        height = (int32_t)Read32(h + 8);
        bpp = Read16(h + 14);
        compression = Read32(h + 16);
        coloursUsed = Read32(h + 32);
    } else {
        return false;
    }
    bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > 32768 || height > 32768) return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;

    constexpr uint32_t biRgb = 0, biBitfields = 3;
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bpp == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    size_t tableOffset = fileHeader + headerSize;
    if (compression == biBitfields && (bpp == 16 || bpp == 32)) {
        if (headerSize == 40) {
            if (tableOffset + 12 > size) return false;
            for (int i = 0; i < 3; i++) masks[i] = Read32(data + tableOffset + 4 * i);
            tableOffset += 12;
        } else if (headerSize >= 52) {
            for (int i = 0; i < 3; i++) masks[i] = Read32(h + 40 + 4 * i);
        }
    } else if (compression != biRgb) {
        return false;  // run-length and embedded formats are not needed here
    }

    std::vector<uint32_t> table;
    if (bpp <= 8) {
        size_t count = coloursUsed ? coloursUsed : (size_t)1 << bpp;
        if (count > 256 || tableOffset + count * entrySize > size) return false;
        for (size_t i = 0; i < count; i++) {
            const unsigned char* e = data + tableOffset + i * entrySize;
            table.push_back((uint32_t)e[2] << 16 | (uint32_t)e[1] << 8 | e[0]);
        }
    }

    size_t stride = (size_t)((width * bpp + 31) / 32) * 4;
    if (bitsOffset > size || stride * (size_t)height > size - bitsOffset) return false;

    out->width = (int)width;
    out->height = (int)height;
    out->pixels.assign((size_t)width * height, 0);
    for (int64_t row = 0; row < height; row++) {
        const unsigned char* src = data + bitsOffset + stride * (size_t)(topDown ? row : height - 1 - row);
        uint32_t* dst = &out->pixels[(size_t)row * width];
        for (int64_t x = 0; x < width; x++) {
            uint32_t pixel = 0;
            switch (bpp) {
            case 1:
            case 4:
            case 8: {
                size_t bit = (size_t)x * bpp;
                unsigned index = (src[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                pixel = index < table.size() ? table[index] : 0;
                break;
            }
            case 16: {
                uint32_t v = Read16(src + x * 2);
                pixel = Channel(v, masks[0]) << 16 | Channel(v, masks[1]) << 8 | Channel(v, masks[2]);
                break;
            }
            case 24:
                pixel = (uint32_t)src[x * 3 + 2] << 16 | (uint32_t)src[x * 3 + 1] << 8 | src[x * 3];
                break;
            case 32: {
                uint32_t v = Read32(src + x * 4);
                pixel = Channel(v, masks[0]) << 16 | Channel(v, masks[1]) << 8 | Channel(v, masks[2]);
                break;
            }
            }
            dst[x] = pixel;
        }
    }
    return true;
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
    Dc* dc = Make<Dc>();
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

}  // namespace w32

using namespace w32;

namespace w32 {
namespace {

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

// Fonts and text ----------------------------------------------------------

// The largest text cell drawn, either side. Fontconfig without a single
// font still lays text out, with cells a million pixels tall: that is no
// text to draw, and its pixels alone would take gigabytes.
constexpr int maxCellPixels = 4096;

// One Pango context for measuring, for the whole process: fontconfig's
// set-up is the slow part and is done once. Null when cairo cannot make one.
PangoContext* TextContext()
{
    static PangoContext* context;
    if (!context) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
        cairo_t* cr = cairo_create(surface);
        if (cairo_status(cr) == CAIRO_STATUS_SUCCESS)
            context = pango_cairo_create_context(cr);
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    return context;
}

// The face asked for first, then the generic family its pitch and family
// bits name, so fontconfig falls back to the nearest kind of font.
PangoFontDescription* DescribeFont(const Font& font, double emPixels)
{
    std::string families = font.face;
    const char* generic = "sans";
    if ((font.pitchAndFamily & 0x03) == FIXED_PITCH || (font.pitchAndFamily & 0xF0) == FF_MODERN)
        generic = "monospace";
    else if ((font.pitchAndFamily & 0xF0) == FF_ROMAN)
        generic = "serif";
    families += families.empty() ? generic : std::string(",") + generic;

    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, families.c_str());
    int weight = font.weight == FW_DONTCARE ? FW_NORMAL : std::clamp(font.weight, 100, 1000);
    pango_font_description_set_weight(description, (PangoWeight)weight);
    pango_font_description_set_style(description, font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_font_description_set_absolute_size(description, emPixels * PANGO_SCALE);
    return description;
}

// A negative height is the character (em) height, a positive one the cell
// height (ascent plus descent), 0 a default cell of 16 pixels.
// A measured cell more than four times the em or less than a quarter of it
// is a font gone wrong, and the em is taken for the cell.
double EmPixels(PangoContext* context, const Font& font)
{
    if (font.height < 0) return -font.height;
    double cell = font.height ? font.height : 16;
    PangoFontDescription* probe = DescribeFont(font, cell);
    PangoFontMetrics* metrics = pango_context_get_metrics(context, probe, nullptr);
    pango_font_description_free(probe);
    if (!metrics) return cell;
    double probeCell = (double)(pango_font_metrics_get_ascent(metrics) + pango_font_metrics_get_descent(metrics)) /
                       PANGO_SCALE;
    pango_font_metrics_unref(metrics);
    return probeCell > cell / 4 && probeCell < cell * 4 ? cell * cell / probeCell : cell;
}

// The ANSI code page read as Latin-1 (Windows-1252's 0x80..0x9F knowingly
// differ): enough for the digits and words the system writes.
std::string AnsiToUtf8(LPCSTR text, int count)
{
    std::string out;
    for (int i = 0; i < count; i++) {
        unsigned char c = (unsigned char)text[i];
        if (c < 0x80) {
            out += (char)c;
        } else {
            out += (char)(0xC0 | c >> 6);
            out += (char)(0x80 | (c & 0x3F));
        }
    }
    return out;
}

void SetSourceColour(cairo_t* cr, COLORREF colour)
{
    cairo_set_source_rgb(cr, (colour & 0xFF) / 255.0, (colour >> 8 & 0xFF) / 255.0, (colour >> 16 & 0xFF) / 255.0);
}

uint32_t PixelOf(COLORREF colour)
{
    return (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}

// Copies the rendered cell to the DC. Opaque: the whole cell. Transparent:
// only the pixels a glyph covers at least half, in the text colour, since
// what lies beneath a window's pixels cannot be read back to blend with.
bool PutCell(Dc* dc, int x, int y, const PangoRectangle& cell, cairo_surface_t* surface, bool opaque)
{
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    if (!data || stride <= 0) return false;
    if (opaque) {
        // cairo leaves the unused top byte of its pixels undefined.
        std::vector<uint32_t> pixels((size_t)cell.width * cell.height);
        for (int row = 0; row < cell.height; row++)
            for (int col = 0; col < cell.width; col++)
                pixels[(size_t)row * cell.width + col] = ((const uint32_t*)(data + (size_t)row * stride))[col] & 0xFFFFFF;
        return PutPixels(dc, x, y, cell.width, cell.height, pixels.data(), cell.width);
    }
    bool drawn = true;
    std::vector<uint32_t> ink((size_t)cell.width, PixelOf(dc->textColour));
    for (int row = 0; row < cell.height && drawn; row++) {
        const unsigned char* coverage = data + (size_t)row * stride;
        for (int col = 0; col < cell.width && drawn;) {
            int end = col;
            while (end < cell.width && coverage[end] >= 128) end++;
            if (end > col) drawn = PutPixels(dc, x + col, y + row, end - col, 1, ink.data(), cell.width);
            col = end + 1;
        }
    }
    return drawn;
}

// Renders the layout into a cell of its own and copies that to the DC.
// False, with nothing drawn, when the cell is absurd or cairo fails.
bool DrawLayout(Dc* dc, int x, int y, PangoLayout* layout)
{
    PangoRectangle cell;
    pango_layout_get_pixel_extents(layout, nullptr, &cell);
    if (cell.width <= 0 || cell.height <= 0) return true;  // nothing to draw
    if (cell.width > maxCellPixels || cell.height > maxCellPixels) return false;
    bool opaque = dc->backMode == OPAQUE;
    cairo_surface_t* surface =
        cairo_image_surface_create(opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_A8, cell.width, cell.height);
    cairo_t* cr = cairo_create(surface);  // on a failed surface, a context in the error state
    if (opaque) {
        SetSourceColour(cr, dc->backColour);
        cairo_paint(cr);
        SetSourceColour(cr, dc->textColour);
    }
    cairo_move_to(cr, -cell.x, -cell.y);
    pango_cairo_show_layout(cr, layout);
    cairo_surface_flush(surface);
    bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS &&
                 PutCell(dc, x, y, cell, surface, opaque);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return drawn;
}

// Draws nothing and returns false when the system has no usable font.
bool DrawText(Dc* dc, int x, int y, const std::string& utf8)
{
    PangoContext* context = TextContext();
    if (!context) return false;
    const Font& font = dc->font ? *dc->font : *StockFont();
    PangoFontDescription* description = DescribeFont(font, EmPixels(context, font));
    PangoLayout* layout = pango_layout_new(context);
    pango_layout_set_font_description(layout, description);
    pango_font_description_free(description);
    pango_layout_set_text(layout, utf8.data(), (int)utf8.size());
    bool drawn = DrawLayout(dc, x, y, layout);
    g_object_unref(layout);
    return drawn;
}

}  // namespace

// A bitmap from a whole .bmp file in memory; null when it cannot be read.
HBITMAP BitmapFromBmp(const unsigned char* data, size_t size)
{
    Bitmap parsed;
    if (!data || !ParseBmp(data, size, &parsed)) return nullptr;
    Bitmap* bitmap = Make<Bitmap>();
    bitmap->width = parsed.width;
    bitmap->height = parsed.height;
    bitmap->pixels = std::move(parsed.pixels);
    return (HBITMAP)bitmap;
}

}  // namespace w32

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
    Dc* dc = Make<Dc>();
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

// Width, escapement, orientation, underline, strike-out, character set and
// the precision and quality hints are not used: text is drawn upright and
// antialiased, in the face fontconfig finds nearest.
HFONT WINAPI CreateFontA(int cHeight, int, int, int, int cWeight, DWORD bItalic, DWORD, DWORD, DWORD, DWORD, DWORD,
                         DWORD, DWORD iPitchAndFamily, LPCSTR pszFaceName)
{
    if (cWeight < 0 || cWeight > 1000) return nullptr;
    Font* font = Make<Font>();
    font->height = cHeight;
    font->weight = cWeight;
    font->italic = bItalic != 0;
    font->pitchAndFamily = iPitchAndFamily;
    if (pszFaceName) font->face.assign(pszFaceName, strnlen(pszFaceName, 31));  // LF_FACESIZE less the terminator
    return (HFONT)font;
}

// Left-aligned with (x, y) the top of the text's cell, as with the default
// alignment.
BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c)
{
    Dc* dc = CheckDc(hdc);
    if (!dc || c < 0 || (c > 0 && !lpString)) return FALSE;
    if (!dc->memory && !FindWindowRecord(dc->window)) return FALSE;
    if (c == 0) return TRUE;
    return DrawText(dc, x, y, AnsiToUtf8(lpString, c));
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color)
{
    Dc* dc = CheckDc(hdc);
    if (!dc) return CLR_INVALID;
    COLORREF previous = dc->textColour;
    dc->textColour = color & 0xFFFFFF;
    return previous;
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color)
{
    Dc* dc = CheckDc(hdc);
    if (!dc) return CLR_INVALID;
    COLORREF previous = dc->backColour;
    dc->backColour = color & 0xFFFFFF;
    return previous;
}

int WINAPI SetBkMode(HDC hdc, int mode)
{
    Dc* dc = CheckDc(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    int previous = dc->backMode;
    dc->backMode = mode;
    return previous;
}

HBITMAP WINAPI LoadBitmapA(HINSTANCE hInstance, LPCSTR lpBitmapName)
{
    if (!hInstance || !lpBitmapName) return nullptr;  // the system's own bitmaps are not provided
    const EmbeddedResource* res = FindEmbeddedResource("BITMAP", lpBitmapName);
    if (!res) return nullptr;
    return w32::BitmapFromBmp(res->data, res->size);
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
    Palette* palette = Make<Palette>();
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
