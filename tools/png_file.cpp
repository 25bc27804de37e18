// PNG output for the offscreen stage: 8-bit RGB, one zlib-packed IDAT.
#include <zlib.h>

#include <cstdio>

#include "tools/offscreen_gl.h"

namespace offscreen {

namespace {

void PutBigEndian(std::vector<uint8_t>* out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out->push_back((uint8_t)(value >> shift));
}

void PutChunk(std::vector<uint8_t>* file, const char* type, const std::vector<uint8_t>& data)
{
    PutBigEndian(file, (uint32_t)data.size());
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    file->insert(file->end(), body.begin(), body.end());
    PutBigEndian(file, (uint32_t)crc32(0, body.data(), (uInt)body.size()));
}

}  // namespace

bool WritePng(const Stage& stage, const std::string& path)
{
    const int side = stage.side;
    std::vector<uint8_t> raw;
    raw.reserve((size_t)side * (side * 3 + 1));
    for (int row = side - 1; row >= 0; row--) {
        raw.push_back(0);  // no filter
        const uint8_t* pixel = &stage.pixels[(size_t)row * side * 4];
        for (int x = 0; x < side; x++, pixel += 4)
            raw.insert(raw.end(), pixel, pixel + 3);
    }
    uLongf packedSize = compressBound((uLong)raw.size());
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), (uLong)raw.size(), 9) != Z_OK)
        return false;
    packed.resize(packedSize);

    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<uint8_t> header;
    PutBigEndian(&header, (uint32_t)side);
    PutBigEndian(&header, (uint32_t)side);
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
    PutChunk(&file, "IHDR", header);
    PutChunk(&file, "IDAT", packed);
    PutChunk(&file, "IEND", {});

    FILE* out = fopen(path.c_str(), "wb");
    if (!out)
        return false;
    bool written = fwrite(file.data(), 1, file.size(), out) == file.size();
    return fclose(out) == 0 && written;
}

}  // namespace offscreen
