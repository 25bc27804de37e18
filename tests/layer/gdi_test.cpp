// GDI where the pixels are read back or the display is steered: .bmp
// bitmaps, the source copy into a window, text as drawn, and palette
// displays. DCs, object lifetimes and a DC's text state run against Windows
// too (tests/semantics).
#include "layer_fixture.h"
#include "platform/posix/resources.h"
#include "resources/resource_ids.h"

#include <cstring>

namespace {

using GdiTest = LayerTest;

void Put16(std::vector<unsigned char>& b, size_t at, unsigned v)
{
    b[at] = (unsigned char)v;
    b[at + 1] = (unsigned char)(v >> 8);
}

void Put32(std::vector<unsigned char>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; i++) b[at + i] = (unsigned char)(v >> (8 * i));
}

// A .bmp file with a 40-byte info header; rows as given (bottom-up unless
// height is negative), each already padded to 4 bytes by the caller.
std::vector<unsigned char> Bmp(int width, int height, int bpp, const std::vector<uint32_t>& palette,
                               const std::vector<unsigned char>& rows)
{
    size_t offset = 14 + 40 + palette.size() * 4;
    std::vector<unsigned char> b(offset + rows.size(), 0);
    b[0] = 'B', b[1] = 'M';
    Put32(b, 2, (uint32_t)b.size());
    Put32(b, 10, (uint32_t)offset);
    Put32(b, 14, 40);
    Put32(b, 18, (uint32_t)width);
    Put32(b, 22, (uint32_t)height);
    Put16(b, 26, 1);
    Put16(b, 28, (unsigned)bpp);
    Put32(b, 46, (uint32_t)palette.size());
    for (size_t i = 0; i < palette.size(); i++) Put32(b, 54 + i * 4, palette[i]);
    std::memcpy(b.data() + offset, rows.data(), rows.size());
    return b;
}

// The same with the 12-byte OS/2 header: 16-bit sides, 3-byte palette entries.
std::vector<unsigned char> CoreBmp(int width, int height, int bpp, const std::vector<uint32_t>& palette,
                                   const std::vector<unsigned char>& rows)
{
    size_t offset = 14 + 12 + palette.size() * 3;
    std::vector<unsigned char> b(offset + rows.size(), 0);
    b[0] = 'B', b[1] = 'M';
    Put32(b, 2, (uint32_t)b.size());
    Put32(b, 10, (uint32_t)offset);
    Put32(b, 14, 12);
    Put16(b, 18, (unsigned)width);
    Put16(b, 20, (unsigned)height);
    Put16(b, 22, 1);
    Put16(b, 24, (unsigned)bpp);
    for (size_t i = 0; i < palette.size(); i++)
        for (int c = 0; c < 3; c++) b[26 + i * 3 + c] = (unsigned char)(palette[i] >> (8 * c));
    std::memcpy(b.data() + offset, rows.data(), rows.size());
    return b;
}

// The same with a 124-byte V5 header whose colour masks (red, green, blue)
// sit inside the header.
std::vector<unsigned char> V5Bmp(int width, int height, int bpp, const uint32_t (&masks)[3],
                                 const std::vector<unsigned char>& rows)
{
    size_t offset = 14 + 124;
    std::vector<unsigned char> b(offset + rows.size(), 0);
    b[0] = 'B', b[1] = 'M';
    Put32(b, 2, (uint32_t)b.size());
    Put32(b, 10, (uint32_t)offset);
    Put32(b, 14, 124);
    Put32(b, 18, (uint32_t)width);
    Put32(b, 22, (uint32_t)height);
    Put16(b, 26, 1);
    Put16(b, 28, (unsigned)bpp);
    Put32(b, 30, 3);  // BI_BITFIELDS
    for (int i = 0; i < 3; i++) Put32(b, 54 + 4 * i, masks[i]);
    std::memcpy(b.data() + offset, rows.data(), rows.size());
    return b;
}

// Blits a bitmap into a fresh window at (0, 0) and reads the window back.
w32test::Picture Show(HBITMAP bitmap, int width, int height)
{
    HWND w = CreateWindowExA(0, "SemanticsOwnDc", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                             (HINSTANCE)1, nullptr);
    HDC windowDc = GetDC(w);
    HDC memory = CreateCompatibleDC(windowDc);
    SelectObject(memory, bitmap);
    EXPECT_TRUE(BitBlt(windowDc, 0, 0, width, height, memory, 0, 0, SRCCOPY));
    DeleteDC(memory);
    w32test::Picture p;
    w32test::ReadWindowPixels(w, &p);
    DestroyWindow(w);
    return p;
}

TEST_F(GdiTest, ReadsTheBitmapFormatsItMeetsInResourceFiles)
{
    const uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF;
    struct Case {
        const char* name;
        std::vector<unsigned char> file;
        std::vector<uint32_t> topRow, bottomRow;  // expected, 0x00RRGGBB
    } cases[] = {
        {"24 bits, bottom-up", Bmp(2, 2, 24, {}, {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0}),
         {blue, white}, {red, green}},
        {"24 bits, top-down", Bmp(2, -2, 24, {}, {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0}),
         {red, green}, {blue, white}},
        {"32 bits", Bmp(1, 2, 32, {}, {255, 0, 0, 0, 0, 0, 255, 0}), {red}, {blue}},
        {"8 bits with a palette", Bmp(3, 1, 8, {red, green, blue}, {2, 1, 0, 0}), {blue, green, red}, {blue, green, red}},
        {"4 bits", Bmp(3, 1, 4, {red, green, blue}, {0x12, 0x00, 0, 0}), {green, blue, red}, {green, blue, red}},
        {"1 bit", Bmp(3, 1, 1, {0, white}, {0xA0, 0, 0, 0}), {white, 0, white}, {white, 0, white}},
        {"index past the palette is black", Bmp(1, 1, 8, {red}, {7, 0, 0, 0}), {0}, {0}},
        {"OS/2 header, 1 bit", CoreBmp(3, 1, 1, {0, white}, {0xA0, 0, 0, 0}), {white, 0, white}, {white, 0, white}},
        {"OS/2 header, 24 bits", CoreBmp(1, 2, 24, {}, {0, 0, 255, 0, 255, 0, 0, 0}), {blue}, {red}},
        {"V5 header, 5-6-5 masks", V5Bmp(2, 1, 16, {0xF800, 0x07E0, 0x001F}, {0x00, 0xF8, 0x1F, 0x00}), {red, blue},
         {red, blue}},
        {"V5 header, full 32-bit mask", V5Bmp(1, 1, 32, {0xFFFFFFFF, 0, 0}, {0xFF, 0xFF, 0xFF, 0xFF}), {red}, {red}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HBITMAP bitmap = w32test::LoadBitmapFromMemory(c.file.data(), c.file.size());
        ASSERT_TRUE(bitmap);
        BITMAP bm{};
        ASSERT_EQ(GetObjectA(bitmap, sizeof bm, &bm), (int)sizeof bm);
        int width = (int)c.topRow.size();
        int height = bm.bmHeight;
        EXPECT_EQ(bm.bmWidth, width);
        w32test::Picture p = Show(bitmap, width, height);
        for (int x = 0; x < width; x++) {
            EXPECT_EQ(p.At(x, 0), c.topRow[x]) << "x " << x;
            EXPECT_EQ(p.At(x, height - 1), c.bottomRow[x]) << "x " << x;
        }
        EXPECT_TRUE(DeleteObject(bitmap));
    }
}

TEST_F(GdiTest, RefusesDamagedBitmapFiles)
{
    std::vector<unsigned char> good = Bmp(2, 2, 24, {}, std::vector<unsigned char>(16, 0));
    ASSERT_TRUE(w32test::LoadBitmapFromMemory(good.data(), good.size()));
    struct Case {
        const char* name;
        std::function<void(std::vector<unsigned char>&)> damage;
    } cases[] = {
        {"not a bitmap", [](auto& b) { b[0] = 'X'; }},
        {"cut short in the pixels", [](auto& b) { b.resize(b.size() - 1); }},
        {"cut short in the header", [](auto& b) { b.resize(30); }},
        {"pixels offset past the end", [](auto& b) { Put32(b, 10, 100000); }},
        {"huge width", [](auto& b) { Put32(b, 18, 0x7FFFFFFF); }},
        {"zero width", [](auto& b) { Put32(b, 18, 0); }},
        {"odd bit count", [](auto& b) { Put16(b, 28, 7); }},
        {"run-length compressed", [](auto& b) { Put32(b, 30, 1); }},
        {"palette larger than the file", [](auto& b) { Put16(b, 28, 8), Put32(b, 46, 200); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> file = good;
        c.damage(file);
        EXPECT_EQ(w32test::LoadBitmapFromMemory(file.data(), file.size()), nullptr);
    }
    // The OS/2 header's height is unsigned: 65535 rows, past the limit, not one top-down row.
    std::vector<unsigned char> tall = CoreBmp(1, 0xFFFF, 24, {}, std::vector<unsigned char>(4, 0));
    EXPECT_EQ(w32test::LoadBitmapFromMemory(tall.data(), tall.size()), nullptr);
}

TEST_F(GdiTest, BannerResourceBlitsIntoTheSaverWindow)
{
    const w32::EmbeddedResource* res = w32::FindEmbeddedResource("BITMAP", MAKEINTRESOURCE(IDB_BANNER));
    ASSERT_TRUE(res) << "the banner is listed in brackwold.rc";
    HBITMAP banner = LoadBitmapA((HINSTANCE)1, MAKEINTRESOURCE(IDB_BANNER));
    ASSERT_TRUE(banner);
    BITMAP bm{};
    ASSERT_TRUE(GetObjectA(banner, sizeof bm, &bm));

    HWND saver = MakeWindow("SemanticsOwnDc", WS_POPUP | WS_VISIBLE, 0, 0, 400, 100);
    Drain();  // erased to black
    HDC saverDc = GetDC(saver);
    HDC bannerDc = CreateCompatibleDC(saverDc);
    SelectObject(bannerDc, banner);
    ASSERT_TRUE(BitBlt(saverDc, 100, 80, bm.bmWidth, bm.bmHeight, bannerDc, 0, 0, SRCCOPY));
    w32test::Picture p;
    ASSERT_TRUE(w32test::ReadWindowPixels(saver, &p));

    // Compare with the file itself: 24 bits, bottom-up rows.
    const unsigned char* d = res->data;
    uint32_t offset = d[10] | d[11] << 8 | d[12] << 16 | (uint32_t)d[13] << 24;
    int stride = (230 * 3 + 3) & ~3;
    int lit = 0;
    for (int y = 0; y < 10; y++)
        for (int x = 0; x < 230; x++) {
            const unsigned char* px = d + offset + (size_t)(9 - y) * stride + x * 3;
            uint32_t expected = (uint32_t)px[2] << 16 | px[1] << 8 | px[0];
            ASSERT_EQ(p.At(100 + x, 80 + y), expected) << x << "," << y;
            lit += expected != 0;
        }
    EXPECT_GT(lit, 0) << "the banner has text on it";
    EXPECT_EQ(p.At(99, 85), 0u);
    EXPECT_EQ(p.At(100, 79), 0u);
    DeleteObject(banner);
    DeleteDC(bannerDc);
    ReleaseDC(saver, saverDc);
}

TEST_F(GdiTest, BlitsAreClippedToBothSurfaces)
{
    std::vector<unsigned char> rows;
    for (int i = 0; i < 4 * 4; i++) rows.insert(rows.end(), {255, 255, 255, 0});
    std::vector<unsigned char> file = Bmp(4, 4, 32, {}, rows);
    HBITMAP white = w32test::LoadBitmapFromMemory(file.data(), file.size());
    HWND w = MakeWindow("SemanticsOwnDc", WS_POPUP | WS_VISIBLE, 0, 0, 6, 6);
    Drain();
    HDC dc = GetDC(w);
    HDC memory = CreateCompatibleDC(dc);
    SelectObject(memory, white);
    EXPECT_TRUE(BitBlt(dc, -2, -2, 4, 4, memory, 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(dc, 4, 4, 10, 10, memory, 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(dc, 100, 100, 4, 4, memory, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(dc, 0, 0, 4, 4, memory, 0, 0, 0x00EE0086 /*SRCPAINT*/));
    w32test::Picture p;
    w32test::ReadWindowPixels(w, &p);
    const char* expected[] = {"WW....", "WW....", "......", "......", "....WW", "....WW"};
    for (int y = 0; y < 6; y++)
        for (int x = 0; x < 6; x++)
            EXPECT_EQ(p.At(x, y), expected[y][x] == 'W' ? 0xFFFFFFu : 0u) << x << "," << y;
    DeleteDC(memory);
    DeleteObject(white);
}

// The smallest box around the pixels of p that are exactly `pixel`.
RECT Extent(const w32test::Picture& p, uint32_t pixel, int width, int height)
{
    RECT box{width, height, -1, -1};
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            if (p.At(x, y) == pixel) {
                box.left = std::min<LONG>(box.left, x), box.right = std::max<LONG>(box.right, x + 1);
                box.top = std::min<LONG>(box.top, y), box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box;
}

TEST_F(GdiTest, TextInTheDcsColoursModeAndFont)
{
    const int width = 300, height = 60;
    HWND w = MakeWindow("SemanticsOwnDc", WS_POPUP | WS_VISIBLE, 0, 0, width, height);
    Drain();  // erased to black
    HDC dc = GetDC(w);
    SetTextColor(dc, RGB(255, 255, 0));
    SetBkColor(dc, RGB(0, 0, 255));

    HFONT font = CreateFontA(-16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
    ASSERT_TRUE(font);
    SelectObject(dc, font);

    // Opaque: the cell in the background colour at (x, y), the glyphs in the
    // text colour inside it, nothing around it; a fixed pitch gives narrow
    // and wide letters one width.
    int cellWidths[2];
    const char* lines[2] = {"iiiiii", "MMMMMM"};
    for (int i = 0; i < 2; i++) {
        SCOPED_TRACE(lines[i]);
        InvalidateRect(w, NULL, TRUE);
        Drain();  // back to black
        ASSERT_TRUE(TextOutA(dc, 10, 20, lines[i], 6));
        w32test::Picture p;
        ASSERT_TRUE(w32test::ReadWindowPixels(w, &p));
        RECT cell = Extent(p, 0x0000FF, width, height), ink = Extent(p, 0xFFFF00, width, height);
        EXPECT_EQ(cell.left, 10);
        EXPECT_EQ(cell.top, 20);
        EXPECT_GE(cell.bottom - cell.top, 16) << "a 16-pixel character height and more for the cell";
        EXPECT_LE(cell.bottom - cell.top, 24);
        EXPECT_TRUE(ink.left > cell.left && ink.right < cell.right && ink.top > cell.top && ink.bottom < cell.bottom)
            << "text inside its cell";
        cellWidths[i] = cell.right - cell.left;
    }
    EXPECT_EQ(cellWidths[0], cellWidths[1]);

    // Transparent: only the glyphs, in the text colour; the black stays.
    SetBkMode(dc, TRANSPARENT);
    InvalidateRect(w, NULL, TRUE);
    Drain();
    ASSERT_TRUE(TextOutA(dc, 10, 20, "MMMMMM", 6));
    w32test::Picture p;
    ASSERT_TRUE(w32test::ReadWindowPixels(w, &p));
    EXPECT_EQ(Extent(p, 0x0000FF, width, height).right, -1) << "no background";
    EXPECT_GT(Extent(p, 0xFFFF00, width, height).right, 10);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

TEST_F(GdiTest, PalettesOnPaletteAndTrueColourDisplays)
{
    HWND w = MakeWindow("SemanticsOwnDc", WS_POPUP, 0, 0, 10, 10);
    HDC dc = GetDC(w);
    PALETTEENTRY entries[256];
    EXPECT_EQ(GetSystemPaletteEntries(dc, 0, 256, entries), 0u) << "true colour has no system palette";

    w32test::SetPaletteDisplay(true);
    EXPECT_EQ(GetSystemPaletteEntries(dc, 0, 256, entries), 256u);
    EXPECT_EQ(entries[0].peRed, 0);
    EXPECT_EQ(entries[255].peRed, 255);
    EXPECT_EQ(entries[255].peBlue, 255);
    EXPECT_EQ(GetSystemPaletteEntries(dc, 250, 256, entries), 6u);

    std::vector<unsigned char> buffer(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = 256;
    HPALETTE palette = CreatePalette(logical);
    ASSERT_TRUE(palette);
    WORD count = 0;
    EXPECT_EQ(GetObjectA(palette, sizeof count, &count), 2);
    EXPECT_EQ(count, 256);
    EXPECT_TRUE(SelectPalette(dc, palette, FALSE)) << "returns the previous (default) palette";
    EXPECT_EQ(RealizePalette(dc), 256u);
    EXPECT_TRUE(UnrealizeObject(palette));
    EXPECT_EQ(SelectPalette(dc, palette, FALSE), palette);
    EXPECT_TRUE(DeleteObject(palette));

    logical->palVersion = 0x200;
    EXPECT_EQ(CreatePalette(logical), nullptr);
}

}  // namespace
