// Renders figures 1, 2 and 5 offscreen at a few poses and writes one PNG per
// pose, for the docs and for checking the models by eye.
//
//   render_figures <output folder> [side]
//
// The rolls the figures make are scripted, so every run gives the same
// pictures.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "events/events.h"
#include "figures/figures.h"
#include "offscreen_gl.h"
#include "scripted_rand.h"
#include "settings/settings.h"
#include "stage/scene_state.h"

namespace {

struct Pose {
    const char* file;
    void (*draw)();
    std::function<void()> arrange;
    int frames;  // frames drawn before the one that is kept
};

void Hold(int figure, int x, int y, int z)
{
    scene.spinSpeedX = scene.spinSpeedY = scene.spinSpeedZ = 0;
    scene.spinAngleX[figure] = x;
    scene.spinAngleY[figure] = y;
    scene.spinAngleZ[figure] = z;
}

// Mouth roll k, then eyes roll; 1 keeps the eyes open.
void EyesOpen(int frames)
{
    for (int i = 0; i < frames; i++)
        ScriptRand({0, 1});
}

const Pose poses[] = {
    {"wobblo-front", DrawWobblo, [] { Hold(1, 0, -90, 0); EyesOpen(1); }, 0},
    {"wobblo-spun", DrawWobblo, [] { Hold(1, 20, -40, 10); EyesOpen(1); }, 0},
    {"wobblo-talking", DrawWobblo,
     [] {
         Hold(1, 0, -75, 0);
         scene.wobbloTalking = true;
         scene.clockNow = 3.5f;
         scene.lastCueTime = 3.0f;
         ScriptRand({1, 1});
     },
     0},
    {"wobblo-blinking", DrawWobblo, [] { Hold(1, 0, -90, 0); ScriptRand({0, 30}); }, 0},
    {"wobblo-lament", DrawWobblo,
     [] {
         Hold(1, 0, 0, 0);
         scene.lamentActive = true;
         scene.wobbloEyesShut = true;
         ResetSpray();
     },
     20},
    {"muffix-front", DrawMuffix, [] { Hold(2, 0, 0, 0); }, 0},
    {"muffix-spun", DrawMuffix, [] { Hold(2, 20, 35, 10); }, 30},
    {"muffix-arms-out", DrawMuffix, [] { Hold(2, 0, 0, 0); }, 49},
    {"muffix-lids-shut", DrawMuffix,
     [] {
         Hold(2, 0, 0, 0);
         scene.mishapActive = true;
         scene.bloodOn = true;
         scene.mishapEdge = 1;
         scene.spikeSpin = 20;
     },
     25},
    {"nibbo-front", DrawNibbo, [] { Hold(5, 0, 0, 0); }, 44},
    {"nibbo-spun", DrawNibbo, [] { Hold(5, 20, 35, 10); }, 0},
    {"nibbo-talking", DrawNibbo,
     [] {
         Hold(5, 0, 0, 0);
         scene.nibboTalking = true;
         scene.clockNow = 1.0f;
         ScriptRand({19});
     },
     0},
    {"nibbo-arms-forward", DrawNibbo, [] { Hold(5, 0, 0, 0); }, 89},
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: %s <output folder> [side]\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const int side = argc > 2 ? atoi(argv[2]) : 256;
    offscreen::Stage stage;
    if (!offscreen::OpenStage(&stage, side)) {
        fprintf(stderr, "cannot create an OSMesa context\n");
        return 1;
    }
    polyResolution = 30;
    int failures = 0;
    for (const Pose& pose : poses) {
        ResetSceneState();
        ResetRand();
        scene.fadeAlpha = 1.0f;
        pose.arrange();
        for (int i = 0; i < pose.frames; i++)
            offscreen::DrawFrame(pose.draw, scene.fadeAlpha);
        offscreen::DrawFrame(pose.draw, scene.fadeAlpha);
        std::string path = folder + "/" + pose.file + ".png";
        if (!offscreen::WritePng(stage, path)) {
            fprintf(stderr, "cannot write %s\n", path.c_str());
            failures++;
        } else {
            printf("%s\n", path.c_str());
        }
    }
    offscreen::CloseStage(&stage);
    return failures ? 1 : 0;
}
