#include "offscreen_gl.h"

#include <zlib.h>

#include <cstdio>

namespace offscreen {

namespace {

// The stage's light: positional, above and behind the eye.
const GLfloat lightAmbient[4] = {0, 0, 0, 0};
const GLfloat lightDiffuse[4] = {1, 1, 1, 1};
const GLfloat lightSpecular[4] = {0.3f, 0.3f, 0.3f, 1};
const GLfloat lightPosition[4] = {0, 5, 5, 1};

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

bool OpenStage(Stage* stage, int side)
{
    stage->context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    if (!stage->context)
        return false;
    stage->side = side;
    stage->pixels.assign((size_t)side * side * 4, 0);
    if (!OSMesaMakeCurrent(stage->context, stage->pixels.data(), GL_UNSIGNED_BYTE, side, side))
        return false;

    glLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, lightSpecular);
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_DEPTH_TEST);

    glViewport(0, 0, side, side);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.0, 1.0, 20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return true;
}

void CloseStage(Stage* stage)
{
    if (stage->context)
        OSMesaDestroyContext(stage->context);
    stage->context = nullptr;
}

void DrawFrame(void (*draw)(), float fadeAlpha)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -5.5f);
    if (fadeAlpha < 1) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    draw();
    glDisable(GL_BLEND);
    glPopMatrix();
    glFinish();
}

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
