// Bitmaps from .bmp files: LoadBitmapA on the embedded bitmap resources and
// the decoder behind it, into 0x00RRGGBB pixels.
#include "platform/posix/layer_internal.h"
#include "platform/posix/resources.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace w32 {
namespace {

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

// A bitmap from a whole .bmp file in memory; null when it cannot be read.
HBITMAP BitmapFromBmp(const unsigned char* data, size_t size)
{
    Bitmap parsed;
    if (!data || !ParseBmp(data, size, &parsed)) return nullptr;
    Bitmap* bitmap = NewGdiObject<Bitmap>();
    bitmap->width = parsed.width;
    bitmap->height = parsed.height;
    bitmap->pixels = std::move(parsed.pixels);
    return (HBITMAP)bitmap;
}

}  // namespace w32

using namespace w32;

extern "C" {

HBITMAP WINAPI LoadBitmapA(HINSTANCE hInstance, LPCSTR lpBitmapName)
{
    if (!hInstance || !lpBitmapName) return nullptr;  // the system's own bitmaps are not provided
    const EmbeddedResource* res = FindEmbeddedResource("BITMAP", lpBitmapName);
    if (!res) return nullptr;
    return w32::BitmapFromBmp(res->data, res->size);
}

}  // extern "C"
