// Renders every figure offscreen at a few poses, and moments of the scripted
// scenes, and writes one PNG per picture, for the docs and for checking the
// models by eye.
//
//   render_figures <docs folder> [side]
//
// Poses land in <folder>/figures, scenes in <folder>/scenes. The rolls the
// figures make are scripted and the scene clock is stepped, so every run
// gives the same pictures.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "events/events.h"
#include "figures/figures.h"
#include "testing/doubles/sys_seams.h"
#include "settings/settings.h"
#include "stage/scene_state.h"
#include "stage/stage.h"
#include "testing/doubles/scene_seams.h"
#include "testing/doubles/scripted_rand.h"
#include "tools/offscreen_gl.h"

namespace {

struct Pose {
    std::string file;
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

// Figures 1, 3 and 4 roll once for the eyes and once for the mouth (figure
// 1 mouth first): 1 for both keeps the eyes open in any order.
void EyesOpen(int frames)
{
    for (int i = 0; i < frames; i++)
        ScriptRand({1, 1});
}

std::string Lower(std::string name)
{
    for (char& c : name)
        c = (char)tolower((unsigned char)c);
    return name;
}

// Every figure in the list gets a front and a spun picture; its own poses
// follow. Figure 1 is modelled facing +x and turns -90 to face the viewer.
std::vector<Pose> Poses()
{
    std::vector<Pose> poses;
    for (const FigureRoutine& figure : figureRoutines) {
        const int n = figure.number;
        const int faceY = n == 1 ? -90 : 0;
        poses.push_back({Lower(figure.name) + "-front", figure.draw, [=] { Hold(n, 0, faceY, 0); EyesOpen(1); }, 0});
        poses.push_back(
            {Lower(figure.name) + "-spun", figure.draw, [=] { Hold(n, 20, faceY + 35, 10); EyesOpen(1); }, 0});
    }
    const std::vector<Pose> own = {
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
        {"tavik-talking", DrawTavik,
         [] {
             Hold(3, 0, 15, 0);
             scene.tavikTalking = true;
             scene.clockNow = 2.5f;
             scene.lastCueTime = 2.0f;
             ScriptRand({1, 1});
         },
         0},
        {"tavik-arms-out", DrawTavik, [] { Hold(3, 0, 0, 0); EyesOpen(50); }, 49},
        {"tavik-blinking", DrawTavik, [] { Hold(3, 0, 0, 0); ScriptRand({0, 0}); }, 0},
        {"bexlo-talking", DrawBexlo,
         [] {
             Hold(4, 0, -15, 0);
             scene.bexloTalking = true;
             scene.clockNow = 2.5f;
             scene.lastCueTime = 2.0f;
             ScriptRand({1, 1});
         },
         0},
        {"bexlo-retching", DrawBexlo,
         [] {
             Hold(4, 10, 35, 0);
             scene.retchActive = true;
             scene.clockNow = 1.0f;
             ResetSpray();
             EyesOpen(25);
         },
         24},
        {"bexlo-lament-arm", DrawBexlo,
         [] {
             Hold(4, 0, 0, 0);
             scene.lamentActive = true;
             EyesOpen(40);
         },
         39},
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
    poses.insert(poses.end(), own.begin(), own.end());
    return poses;
}

// The scene clock of the real renderer, stepped one timer tick per frame.
long sceneMilliseconds = 0;
LONGLONG SteppedCounter()
{
    return (LONGLONG)sceneMilliseconds * 1000000;
}

struct Moment {
    const char* file;
    const char* caption;
    std::function<bool()> reached;
};

bool Save(const offscreen::Stage& stage, const std::string& path)
{
    if (!offscreen::WritePng(stage, path)) {
        fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    printf("%s\n", path.c_str());
    return true;
}

// The real renderer from a fresh scene, with sound that always plays.
void StartScene()
{
    ResetSceneState();
    ResetRand();
    polyResolution = 30;
    soundsOn = true;
    sceneMilliseconds = 0;
    w32test::SetPerformanceCounter(SteppedCounter);
    w32test::SetSoundOutcome(w32test::SoundOutcome::Succeed);
}

// One frame, finished, with the clock one tick on.
void RenderSteppedFrame()
{
    RenderFrame();
    glFinish();
    sceneMilliseconds += 33;
}

// The kick scene through the real frame renderer, from the request to the
// hand-over to figure 5; one picture at the first frame of each moment.
int RenderKick(const offscreen::Stage& stage, const std::string& folder)
{
    StartScene();
    scene.spinSpeedX = 2;
    scene.spinSpeedY = -3;
    scene.spinSpeedZ = 1;
    scene.spinAngleX[3] = 12;
    scene.spinAngleY[3] = -20;
    scene.spinAngleZ[3] = 6;
    ForceKick();

    const Moment moments[] = {
        {"kick-approach", "figure 3 winds back", [] { return scene.kickPending && !scene.kickActive && scene.fadeAlpha >= 1.0f; }},
        {"kick-fade-in", "figure 5 fades in", [] { return scene.kickActive && scene.kickFade > 0.45f && scene.kickFade < 0.55f; }},
        {"kick-ready", "figure 3 speaks", [] { return scene.kickActive && scene.tavikTalking && !scene.kickLeaving; }},
        {"kick-plea", "figure 5 speaks", [] { return scene.kickActive && scene.nibboTalking; }},
        {"kick-leaving", "figure 3 fades out", [] { return scene.kickLeaving && scene.kickFade < 0.55f; }},
        {"kick-after", "figure 5 stays", [] { return !scene.kickPending && scene.figure == 5; }},
    };
    int failures = 0;
    size_t next = 0;
    for (int frame = 0; frame < 2000 && next < sizeof moments / sizeof moments[0]; frame++) {
        RenderSteppedFrame();
        if (moments[next].reached()) {
            if (!Save(stage, folder + "/" + moments[next].file + ".png"))
                failures++;
            next++;
        }
    }
    w32test::SetPerformanceCounter(nullptr);
    if (next < sizeof moments / sizeof moments[0]) {
        fprintf(stderr, "the kick scene never reached \"%s\"\n", moments[next].caption);
        failures++;
    }
    return failures;
}

// A spike moment per edge, through the real frame renderer: figure 2 turned
// 30 degrees on the spike, the red spray running for 25 frames.
int RenderSpikes(const offscreen::Stage& stage, const std::string& folder)
{
    const char* const edgeNames[4] = {"top", "bottom", "left", "right"};
    int failures = 0;
    for (int edge = 0; edge < 4; edge++) {
        StartScene();
        ForceMishap(edge, 0);
        while (scene.mishapActive && scene.spikeSpin < 30)
            RenderSteppedFrame();
        if (!Save(stage, folder + "/spike-" + edgeNames[edge] + ".png"))
            failures++;
    }
    w32test::SetPerformanceCounter(nullptr);
    return failures;
}

// Each lament that shows figures, from the spike's withdrawal on, kept at
// a moment of its timeline: the pair at the second line with figure 4's
// arm raised, figure 1 with its eyes shut and its tears running.
int RenderLaments(const offscreen::Stage& stage, const std::string& folder)
{
    const double keptAt[4] = {0.0, 4.8, 4.8, 8.7};  // seconds into the lament
    int failures = 0;
    for (int variant = 1; variant <= 3; variant++) {
        StartScene();
        ForceMishap(1, variant);
        scene.spikeSpin = 358;  // the withdrawal starts in the next frame
        while ((scene.mishapActive || scene.lamentActive) &&
               !(scene.lamentActive && scene.clockNow - scene.lamentStart >= keptAt[variant]))
            RenderSteppedFrame();
        if (!scene.lamentActive) {
            fprintf(stderr, "lament %d ended before its picture\n", variant);
            failures++;
        } else if (!Save(stage, folder + "/lament-" + std::to_string(variant) + ".png")) {
            failures++;
        }
    }
    w32test::SetPerformanceCounter(nullptr);
    return failures;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: %s <docs folder> [side]\n", argv[0]);
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
    for (const Pose& pose : Poses()) {
        ResetSceneState();
        ResetRand();
        scene.fadeAlpha = 1.0f;
        pose.arrange();
        for (int i = 0; i < pose.frames; i++)
            offscreen::DrawFrame(pose.draw);
        offscreen::DrawFrame(pose.draw);
        if (!Save(stage, folder + "/figures/" + pose.file + ".png"))
            failures++;
    }
    failures += RenderKick(stage, folder + "/scenes");
    failures += RenderSpikes(stage, folder + "/scenes");
    failures += RenderLaments(stage, folder + "/scenes");
    offscreen::CloseStage(&stage);
    return failures ? 1 : 0;
}
