// An OSMesa stage for programs that draw figures without a window: a square
// RGBA buffer with depth, the stage's light and projection, and frames drawn
// through the renderer's own frame preamble.
#pragma once
#include <GL/osmesa.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace offscreen {

struct Stage {
    OSMesaContext context = nullptr;
    int side = 0;
    std::vector<uint8_t> pixels;  // RGBA, row 0 at the bottom
};

// Creates the context, makes it current and sets the stage's GL state.
bool OpenStage(Stage* stage, int side);
void CloseStage(Stage* stage);

// One frame through the renderer's own BeginFrame/EndFrame around draw,
// finished so the pixels are in the buffer.
void DrawFrame(void (*draw)());

// Writes the buffer as an 8-bit RGB PNG, top row first (png_file.cpp).
bool WritePng(const Stage& stage, const std::string& path);

}  // namespace offscreen
