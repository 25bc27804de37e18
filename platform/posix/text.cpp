// Fonts and text: CreateFontA's fonts, the stock system font, and TextOutA
// with its colours and background mode. Text is laid out by Pango and drawn
// by cairo into 0x00RRGGBB pixels, in the font fontconfig finds nearest the
// one asked.
#include "platform/posix/layer_internal.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace w32 {

// Windows' system font is a bold sans serif with 16-pixel cells.
Font* StockFont()
{
    static Font* font;
    if (!font) {
        font = NewGdiObject<Font>();
        font->stock = true;
        font->height = 16;
        font->weight = FW_BOLD;
        font->pitchAndFamily = VARIABLE_PITCH | FF_SWISS;
        font->face = "System";
    }
    return font;
}

namespace {

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
                pixels[(size_t)row * cell.width + col] =
                    ((const uint32_t*)(data + (size_t)row * stride))[col] & 0xFFFFFF;
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

// Whether a real font could give the cell: at most four ems a line and
// four ems a character. Fontconfig without a single font still lays text
// out, now and then in cells a million pixels tall: that is no text to
// draw, and its pixels alone would take gigabytes.
bool Plausible(const PangoRectangle& cell, PangoLayout* layout, double emPixels)
{
    double limit = 4 * std::max(emPixels, 1.0);
    return cell.height <= limit * pango_layout_get_line_count(layout) &&
           cell.width <= limit * std::max(pango_layout_get_character_count(layout), 1);
}

// Renders the layout into a cell of its own and copies that to the DC.
// False, with nothing drawn, when the cell is absurd or cairo fails.
bool DrawLayout(Dc* dc, int x, int y, PangoLayout* layout, double emPixels)
{
    PangoRectangle cell;
    pango_layout_get_pixel_extents(layout, nullptr, &cell);
    if (cell.width <= 0 || cell.height <= 0) return true;  // nothing to draw
    if (!Plausible(cell, layout, emPixels)) return false;
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
    double emPixels = EmPixels(context, font);
    PangoFontDescription* description = DescribeFont(font, emPixels);
    PangoLayout* layout = pango_layout_new(context);
    pango_layout_set_font_description(layout, description);
    pango_font_description_free(description);
    pango_layout_set_text(layout, utf8.data(), (int)utf8.size());
    bool drawn = DrawLayout(dc, x, y, layout, emPixels);
    g_object_unref(layout);
    return drawn;
}

}  // namespace
}  // namespace w32

using namespace w32;

extern "C" {

// Width, escapement, orientation, underline, strike-out, character set and
// the precision and quality hints are not used: text is drawn upright and
// antialiased, in the face fontconfig finds nearest.
HFONT WINAPI CreateFontA(int cHeight, int, int, int, int cWeight, DWORD bItalic, DWORD, DWORD, DWORD, DWORD, DWORD,
                         DWORD, DWORD iPitchAndFamily, LPCSTR pszFaceName)
{
    if (cWeight < 0 || cWeight > 1000) return nullptr;
    Font* font = NewGdiObject<Font>();
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

}  // extern "C"
