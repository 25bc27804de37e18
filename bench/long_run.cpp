// The saver left running: the real shell, stage, figures and scenes on the
// layer's offscreen backend (OSMesa, no display), driven through the real
// message loop as fast as the machine allows. The scene clock steps 33 ms per
// frame through the stage's clock seam, so a day of scene time needs no day.
//
// After every frame it checks glGetError and the matrix stack depths, and it
// counts figure turns and the scripted scenes that start. Resident memory is
// sampled as it goes; at the end it reports frames, peak and final RSS and
// the growth over the second half of the run (the first half is the
// warm-up: Mesa builds its code for each new drawing state on first use).
//
//   long_run [--seconds N] [--screen WxH] [--resolution R] [--char-delay S]
//            [--max-growth-kb K] [--progress S]
//
// Exit status 1 on any GL error, an unbalanced stack, resident growth over
// the second half above --max-growth-kb (default 4096), or a figure that
// stays for more than ten char delays (the cycle has stalled).
#include "testing/offscreen/offscreen_seams.h"
#include "testing/doubles/sys_seams.h"
#include "platform/win32.h"
#include "settings/settings.h"
#include "shell/shell.h"
#include "stage/scene_state.h"
#include "stage/stage.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const long long frameMicroseconds = 33000;
long long sceneMicroseconds;

LONGLONG BenchCounter()
{
    return (LONGLONG)sceneMicroseconds * 1000;
}

// VmRSS and VmHWM from /proc, in kB.
void ReadResident(long* now, long* peak)
{
    *now = *peak = -1;
    FILE* status = fopen("/proc/self/status", "r");
    if (!status)
        return;
    char line[256];
    while (fgets(line, sizeof line, status)) {
        if (strncmp(line, "VmRSS:", 6) == 0)
            *now = atol(line + 6);
        else if (strncmp(line, "VmHWM:", 6) == 0)
            *peak = atol(line + 6);
    }
    fclose(status);
}

struct Options {
    long long seconds = 24 * 3600;
    int width = 1024, height = 768;
    int resolution = 15;
    int charDelay = 60;
    long maxGrowthKb = 4096;
    long long progressSeconds = 3600;
};

bool ParseOptions(int argc, char** argv, Options* o)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--seconds")
            o->seconds = atoll(value);
        else if (name == "--screen") {
            if (sscanf(value, "%dx%d", &o->width, &o->height) != 2)
                return false;
        } else if (name == "--resolution")
            o->resolution = atoi(value);
        else if (name == "--char-delay")
            o->charDelay = atoi(value);
        else if (name == "--max-growth-kb")
            o->maxGrowthKb = atol(value);
        else if (name == "--progress")
            o->progressSeconds = atoll(value);
        else
            return false;
    }
    return argc % 2 == 1 && o->seconds > 0 && o->width > 0 && o->height > 0;
}

// A private configuration folder holding the settings the run asks for.
std::string WriteSettings(const Options& o)
{
    char folder[] = "/tmp/brkw-longrun-XXXXXX";
    if (!mkdtemp(folder))
        return "";
    std::string root = folder;
    setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    mkdir((root + "/brackwold").c_str(), 0755);
    FILE* ini = fopen((root + "/brackwold/BRKW.ini").c_str(), "w");
    if (!ini)
        return "";
    fprintf(ini, "[Brackwold]\nPoly Resolution=%d\nChar Delay=%d\nSounds=1\n", o.resolution, o.charDelay);
    fclose(ini);
    return root;
}

struct Tally {
    long long frames = 0;
    long long glErrors = 0;
    long long unbalancedFrames = 0;
    long long figureTurns = 0;
    long long lastTurnFrame = 0, longestStill = 0;  // frames without a figure turn
    long long mishaps = 0, laments = 0, kicks = 0, retches = 0;
    GLenum firstError = GL_NO_ERROR;
    long long firstErrorFrame = -1;
};

// Counts a scene when its flag rises.
void CountRise(bool now, bool* before, long long* count)
{
    if (now && !*before)
        ++*count;
    *before = now;
}

void CheckFrame(Tally* t)
{
    for (GLenum error; (error = glGetError()) != GL_NO_ERROR;) {
        if (t->glErrors++ == 0) {
            t->firstError = error;
            t->firstErrorFrame = t->frames;
        }
    }
    GLint modelview = 0, projection = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelview);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projection);
    if (modelview != 1 || projection != 1)
        t->unbalancedFrames++;

    static int figure = scene.figure;
    static bool mishap, lament, kick, retch;
    if (scene.figure != figure) {
        t->figureTurns++;
        t->lastTurnFrame = t->frames;
    }
    if (t->frames - t->lastTurnFrame > t->longestStill)
        t->longestStill = t->frames - t->lastTurnFrame;
    figure = scene.figure;
    CountRise(scene.mishapActive, &mishap, &t->mishaps);
    CountRise(scene.lamentActive, &lament, &t->laments);
    CountRise(scene.kickActive, &kick, &t->kicks);
    CountRise(scene.retchActive, &retch, &t->retches);
}

// Dispatches messages until the stage has presented one more frame.
bool PumpOneFrame()
{
    int before = w32test::PresentCount(stageWindow);
    MSG message;
    while (w32test::PresentCount(stageWindow) == before) {
        if (GetMessageA(&message, NULL, 0, 0) <= 0)
            return false;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        fprintf(stderr,
                "usage: long_run [--seconds N] [--screen WxH] [--resolution R] [--char-delay S]"
                " [--max-growth-kb K] [--progress S]\n");
        return 2;
    }
    std::string configRoot = WriteSettings(options);
    if (configRoot.empty()) {
        perror("long_run: settings folder");
        return 2;
    }

    // No display and no sound card: the sounds are found and decoded as
    // usual, a pretend device takes them, so the scenes that need sound run.
    w32test::SetScreenSize(options.width, options.height);
    w32test::SetInstantTimers(true);
    w32test::SetSoundOutcome(w32test::SoundOutcome::FakeDevice);
    w32test::SetPerformanceCounter(BenchCounter);
    appInstance = GetModuleHandleA(NULL);

    WNDCLASSA saverClass = {};
    saverClass.style = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    saverClass.lpfnWndProc = ShellWindowProc;
    saverClass.hInstance = appInstance;
    saverClass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    saverClass.lpszClassName = "WindowsScreenSaverClass";
    RegisterClassA(&saverClass);
    HWND saver = CreateWindowExA(WS_EX_TOPMOST, "WindowsScreenSaverClass", "Screen Saver",
                                 WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, options.width,
                                 options.height, NULL, NULL, appInstance, NULL);
    if (!saver || !stageWindow) {
        fprintf(stderr, "long_run: the saver window was not built\n");
        return 1;
    }

    const long long frames = options.seconds * 1000000 / frameMicroseconds;
    const long long warmFrames = frames / 2;
    const long long progressFrames = options.progressSeconds * 1000000 / frameMicroseconds;
    Tally tally;
    long warmRss = -1, rss = 0, peak = 0;
    auto started = std::chrono::steady_clock::now();
    printf("long_run: %lld s of scene time (%lld frames), screen %dx%d, stage %d px, resolution %d, char delay %d s\n",
           options.seconds, frames, options.width, options.height, scene.stageSide, polyResolution, charDelay);
    fflush(stdout);

    while (tally.frames < frames) {
        sceneMicroseconds = (tally.frames + 1) * frameMicroseconds;
        if (!PumpOneFrame()) {
            fprintf(stderr, "long_run: the saver quit at frame %lld\n", tally.frames);
            return 1;
        }
        CheckFrame(&tally);
        tally.frames++;
        if (tally.frames == warmFrames)
            ReadResident(&warmRss, &peak);
        if (progressFrames > 0 && tally.frames % progressFrames == 0) {
            ReadResident(&rss, &peak);
            double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            printf("  %7.0f s scene, %8lld frames, %7.0f s wall, RSS %ld kB, turns %lld\n",
                   tally.frames * frameMicroseconds / 1e6, tally.frames, wall, rss, tally.figureTurns);
            fflush(stdout);
        }
    }
    ReadResident(&rss, &peak);
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    // The real ending: the window closes, the stage is torn down, the loop ends.
    PostMessageA(saver, WM_CLOSE, 0, 0);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    bool tornDown = stageWindow == NULL && !IsWindow(saver);

    long growth = warmRss >= 0 ? rss - warmRss : 0;
    printf("frames            %lld (%.0f s of scene time)\n", tally.frames, tally.frames * frameMicroseconds / 1e6);
    printf("wall time         %.1f s (%.0f frames/s)\n", wall, tally.frames / wall);
    printf("resident          peak %ld kB, final %ld kB, after warm-up %ld kB, growth %+ld kB\n", peak, rss, warmRss,
           growth);
    printf("GL errors         %lld", tally.glErrors);
    if (tally.glErrors)
        printf(" (first 0x%04x at frame %lld)", tally.firstError, tally.firstErrorFrame);
    printf("\nunbalanced stack  %lld frames\n", tally.unbalancedFrames);
    double longestStill = tally.longestStill * frameMicroseconds / 1e6;
    printf("figure turns      %lld (longest stay %.0f s)\n", tally.figureTurns, longestStill);
    printf("scripted scenes   mishap %lld, lament %lld, kick %lld, retch %lld\n", tally.mishaps, tally.laments,
           tally.kicks, tally.retches);
    printf("torn down         %s\n", tornDown ? "yes" : "no");

    std::string command = "rm -rf '" + configRoot + "'";
    if (system(command.c_str()) != 0)
        fprintf(stderr, "long_run: could not remove %s\n", configRoot.c_str());

    bool failed = tally.glErrors > 0 || tally.unbalancedFrames > 0 || growth > options.maxGrowthKb || !tornDown ||
                  longestStill > 10.0 * charDelay;
    printf("%s\n", failed ? "FAILED" : "passed");
    return failed ? 1 : 0;
}
