// The mishap and the lament scene. While figure 2 is shown, one bounce in
// forty sends a four-sided spike in from the edge that was hit: it runs
// through the figure, turns once round with it while a red spray pours from
// the far side, and withdraws, carrying the figure off. A lament may follow:
// figures 3 and 4 side by side with a line each (variants 1 and 2, sides
// swapped), figure 1 alone with its tune, shut eyes and blue tears
// (variant 3), or nothing at all (variant 0).
//
// The frame renderer counts spikeSpin and calls DrawSpike after the figure
// while mishapActive, and DrawLament in place of the figure while
// lamentActive and sound is on. Figure 2 turns and leaves with the spike by
// the same mishap fields; figures 1, 3 and 4 hold their lament poses while
// lamentActive. Cues are played through PlayCue; a set talking latch keeps a
// line from starting twice.
//
// State (SceneState): mishapActive, mishapEdge, spikeHeight, spikeSpin,
// spikeLeaving, bloodOn; lamentActive, lamentStart, lamentVariant; the
// latches tavikTalking, bexloTalking, wobbloTalking, wobbloEyesShut and
// figure 4's bexloArmRaise and bexloArmRaiseStep.
#include "events/events.h"

#include <stdlib.h>

#include "figures/conventions.h"
#include "figures/figures.h"
#include "platform/win32.h"
#include "settings/settings.h"
#include "stage/scene_state.h"

// The spike is opaque whatever the fade: white base corners, reddened tip.
static const GLfloat baseWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
static const GLfloat tipRed[4] = {1.0f, 0.2f, 0.2f, 1.0f};

// One face of the spike: base corner, tip, base corner. Its axis is y; the
// base is 2.5 from the centre, the tip 1.9 past it.
static const GLfloat faceTipDown[3][3] = {{0.2f, 2.5f, 0.2f}, {0.0f, -1.9f, 0.0f}, {-0.2f, 2.5f, 0.2f}};
static const GLfloat faceTipUp[3][3] = {{-0.2f, -2.5f, 0.2f}, {0.0f, 1.9f, 0.0f}, {0.2f, -2.5f, 0.2f}};

typedef void (*SprayStep)(float red, float green, float blue, float decay);

struct SpikeEdge {
    GLfloat turnZ;  // orientation about z, applied around the whole spike
    double away;    // side of its own axis the spike comes from and leaves to: +1 or -1
    const GLfloat (*face)[3];
    GLfloat sprayY;  // where the tip comes out, in the spike's frame
    SprayStep spray;
    float sprayDecay;
};

// Left and right turn the spike's axis to +x and -x, so it comes in from
// that side; their spray steps pull along local x, which the turn points down.
static const SpikeEdge spikeEdges[4] = {
    /* top    */ {0.0f, 1.0, faceTipDown, -0.8f, SprayFall, -0.05f},
    /* bottom */ {0.0f, -1.0, faceTipUp, 0.9f, SprayFountain, -0.01f},
    /* left   */ {-90.0f, -1.0, faceTipUp, 0.75f, SprayFallPlusX, -0.025f},
    /* right  */ {90.0f, -1.0, faceTipUp, 0.75f, SprayFallMinusX, -0.025f},
};

static const double spikeStart = 5.0;    // distance of the spike from rest at start and end
static const double approachStep = 1.0;  // per frame
static const double leaveStep = 0.1;     // per frame

static const GLfloat bloodRed[3] = {1.0f, 0.0f, 0.0f};

void StartMishap(int edge)
{
    if (edge < edgeTop || edge > edgeRight)
        return;
    scene.mishapActive = true;
    scene.bloodOn = false;
    scene.spikeLeaving = false;
    scene.spikeHeight = (float)(spikeEdges[edge].away * spikeStart);
    scene.spikeSpin = 0;
    scene.mishapEdge = edge;
    ResetSpray();
    if (soundsOn)
        PlayCue("MUFFIX1");
}

static void EndMishap()
{
    scene.lamentActive = true;
    scene.lamentStart = scene.clockNow;
    scene.mishapActive = false;
    scene.fadeAlpha = 0.0f;
    scene.lamentVariant = rand() % 4;
}

// Reaches rest in the fifth frame from 5 away; the spray starts with it.
static void Approach(const SpikeEdge* edge)
{
    scene.spikeHeight = (float)(scene.spikeHeight - edge->away * approachStep);
    if (scene.spikeHeight * edge->away <= 0.0) {
        scene.spikeHeight = 0.0f;
        scene.bloodOn = true;
    }
}

// Single-precision steps of 0.1 stay just short of 5 after fifty, so the
// withdrawal takes 51 frames.
static void Withdraw(const SpikeEdge* edge)
{
    scene.spikeHeight = (float)(scene.spikeHeight + edge->away * leaveStep);
    if (scene.spikeHeight * edge->away >= spikeStart)
        EndMishap();
}

static void DrawCorner(const GLfloat colour[4], const GLfloat vertex[3])
{
    glColor4f(colour[0], colour[1], colour[2], colour[3]);
    glVertex3f(vertex[0], vertex[1], vertex[2]);
}

// Smooth-shaded from the white base to the red tip.
static void DrawFace(const GLfloat face[3][3])
{
    glBegin(GL_POLYGON);
    DrawCorner(baseWhite, face[0]);
    DrawCorner(tipRed, face[1]);
    DrawCorner(baseWhite, face[2]);
    glEnd();
    drawnTriangles += 1;
}

// Four faces, each turned a further i * 90 degrees about the axis: they
// land at 0, 90, 270 and 180 degrees and close into an open pyramid.
static void DrawSpikeFaces(const SpikeEdge* edge)
{
    glPushMatrix();
    glRotatef((GLfloat)scene.spikeSpin, 0.0f, 1.0f, 0.0f);
    for (int i = 0; i < 4; i++) {
        glRotatef(i * 90.0f, 0.0f, 1.0f, 0.0f);
        DrawFace(edge->face);
    }
    glPopMatrix();
}

// Moves with the spike but does not turn with it.
static void DrawBlood(const SpikeEdge* edge)
{
    glPushMatrix();
    glTranslatef(0.0f, edge->sprayY, 0.0f);
    edge->spray(bloodRed[0], bloodRed[1], bloodRed[2], edge->sprayDecay);
    glPopMatrix();
}

void DrawSpike()
{
    if (scene.mishapEdge < edgeTop || scene.mishapEdge > edgeRight)
        return;
    const SpikeEdge* edge = &spikeEdges[scene.mishapEdge];

    glPushMatrix();
    if (edge->turnZ != 0.0f)
        glRotatef(edge->turnZ, 0.0f, 0.0f, 1.0f);
    if (!scene.spikeLeaving)
        Approach(edge);
    else
        Withdraw(edge);  // may end the mishap; the spike is still drawn this frame

    glTranslatef(0.0f, scene.spikeHeight, 0.0f);
    DrawSpikeFaces(edge);
    if (scene.bloodOn)
        DrawBlood(edge);
    glPopMatrix();
}

// --- The lament ------------------------------------------------------------
//
// Each frame tests its variant's timeline from the latest row down and acts
// on the first row that holds.

static void RunPairTimeline(double elapsed)
{
    if (elapsed > 8.0) {
        scene.fadingOut = true;
    } else if (elapsed > 5.5) {
        scene.tavikTalking = false;
    } else if (elapsed >= 4.5 && !scene.tavikTalking) {
        PlayCue("CURSEWAIL");
        scene.tavikTalking = true;
    } else if (elapsed > 3.5) {
        scene.bexloTalking = false;
    } else if (elapsed >= 2.0 && !scene.bexloTalking) {
        PlayCue("GASPWAIL");
        scene.bexloTalking = true;
    } else if (elapsed < 2.0) {
        // Figure 4 holds its arm down until its line starts.
        scene.bexloArmRaise = 0.0f;
        scene.bexloArmRaiseStep = 2.0f;
    }
}

static void RunTuneTimeline(double elapsed)
{
    if (elapsed > 15.0) {
        scene.fadingOut = true;
    } else if (elapsed > 12.0) {
        scene.wobbloTalking = false;
    } else if (elapsed > 8.0) {
        scene.wobbloEyesShut = true;
    } else if (elapsed > 3.0 && !scene.wobbloTalking) {
        PlayCue("JOLLYTUNE");
        scene.wobbloTalking = true;
        ResetSpray();  // the tears start from the origin when the eyes shut
    } else if (elapsed < 1.0) {
        scene.wobbloEyesShut = false;
    }
}

// One pair slot: x is the side, and each figure turns 8 degrees toward the other.
static void DrawInSlot(void (*draw)(), GLfloat x)
{
    glPushMatrix();
    glTranslatef(x, 0.0f, 0.0f);
    glRotatef(-8.0f * x, 0.0f, 1.0f, 0.0f);
    draw();
    glPopMatrix();
}

void DrawLament()
{
    float elapsed = (float)((double)scene.clockNow - scene.lamentStart);
    switch (scene.lamentVariant) {
    case 1:
        RunPairTimeline(elapsed);
        DrawInSlot(DrawTavik, -1.0f);
        DrawInSlot(DrawBexlo, 1.0f);
        break;
    case 2:
        RunPairTimeline(elapsed);
        DrawInSlot(DrawTavik, 1.0f);
        DrawInSlot(DrawBexlo, -1.0f);
        break;
    case 3:
        RunTuneTimeline(elapsed);
        DrawWobblo();
        break;
    default:
        break;
    }
}
