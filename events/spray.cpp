// The one particle pool behind every spray: the mishap's red spray, figure
// 1's blue tears and figure 4's retch. A spray starts with ResetSpray; its
// effect then calls one step variant per frame, which moves all 250
// particles one step under a constant pull, fades the falling ones,
// respawns those past a limit at the origin and draws the pool as blended
// points. Particles never die and life is never clamped (GL clamps the
// colour). The effects never overlap, so one pool is enough.
#include "events/events.h"

#include <stdlib.h>

#include "platform/win32.h"
#include "stage/scene_state.h"
#include "figures/conventions.h"

SprayParticle sprayPool[sprayPoolSize];

static const double drawScale = 0.05;
// Added in single precision, so a pull can bring a speed to exactly 0.
static const float pull = 0.05f;

// rand() % range shifted by offset, in thousandths.
static float RandomSpeed(int range, int offset)
{
    return (float)((rand() % range - offset) * 0.001);
}

static void Respawn(SprayParticle* particle, int verticalRange)
{
    particle->x = particle->y = particle->z = 0.0f;
    particle->vx = RandomSpeed(1000, 500);
    particle->vy = RandomSpeed(verticalRange, 0);
    particle->vz = RandomSpeed(1000, 500);
    particle->life = 1.0f;
}

static void Fade(SprayParticle* particle, float decay)
{
    particle->life = (float)((double)particle->life + decay);
}

void ResetSpray()
{
    for (int i = 0; i < sprayPoolSize; i++) {
        SprayParticle* particle = &sprayPool[i];
        particle->x = particle->y = particle->z = 0.0f;
        particle->vx = RandomSpeed(1500, 750);
        particle->vy = RandomSpeed(1500, 0);
        particle->vz = RandomSpeed(1500, 750);
        particle->life = 1.0f;
    }
    glPointSize(2.0f);
    glEnable(GL_POINT_SMOOTH);
    glHint(GL_POINT_SMOOTH_HINT, GL_DONT_CARE);
}

// What tells the four variants apart: the speed the pull acts on and its
// sign, whether y runs against vy, when a particle starts to fade, when it
// is spent and respawned, and the range of a respawned particle's vy.
struct SprayStep {
    float SprayParticle::*pulled;
    float pull;
    bool fallsAgainstVy;
    bool (*fading)(const SprayParticle& particle);
    bool (*spent)(const SprayParticle& particle);
    int verticalRange;
};

static void StepSpray(const SprayStep& step, float red, float green, float blue, float decay)
{
    for (int i = 0; i < sprayPoolSize; i++) {
        SprayParticle* particle = &sprayPool[i];
        particle->*step.pulled += step.pull;
        particle->x += particle->vx;
        if (step.fallsAgainstVy)
            particle->y -= particle->vy;
        else
            particle->y += particle->vy;
        particle->z += particle->vz;
        if (step.fading(*particle))
            Fade(particle, decay);
        if (step.spent(*particle))
            Respawn(particle, step.verticalRange);
    }
    DrawSpray(red, green, blue);
}

// Pull toward -y; particles start upward and fade once they come down.
void SprayFountain(float red, float green, float blue, float decay)
{
    static const SprayStep step = {
        &SprayParticle::vy, -pull, false,
        [](const SprayParticle& p) { return p.vy < 0.0f; },
        [](const SprayParticle& p) { return p.y < -50.0f; }, 1500};
    StepSpray(step, red, green, blue, decay);
}

// vy grows and is subtracted from y, so particles fall from the start.
void SprayFall(float red, float green, float blue, float decay)
{
    static const SprayStep step = {
        &SprayParticle::vy, pull, true,
        [](const SprayParticle& p) { return p.y < -5.0f; },
        [](const SprayParticle& p) { return p.y < -30.0f; }, 1000};
    StepSpray(step, red, green, blue, decay);
}

// Pull toward -x; the caller turns the frame so that it points down.
void SprayFallMinusX(float red, float green, float blue, float decay)
{
    static const SprayStep step = {
        &SprayParticle::vx, -pull, false,
        [](const SprayParticle& p) { return p.vx < 0.0f; },
        [](const SprayParticle& p) { return p.x < -50.0f; }, 800};
    StepSpray(step, red, green, blue, decay);
}

// Pull toward +x; the caller turns the frame so that it points down.
void SprayFallPlusX(float red, float green, float blue, float decay)
{
    static const SprayStep step = {
        &SprayParticle::vx, pull, false,
        [](const SprayParticle& p) { return p.vx > 0.0f; },
        [](const SprayParticle& p) { return p.x > 50.0f; }, 800};
    StepSpray(step, red, green, blue, decay);
}

// Leaves blending off whatever it was before; a caller that goes on drawing
// translucent geometry switches it back on.
void DrawSpray(float red, float green, float blue)
{
    glPushMatrix();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glScalef((GLfloat)drawScale, (GLfloat)drawScale, (GLfloat)drawScale);
    glBegin(GL_POINTS);
    for (int i = 0; i < sprayPoolSize; i++) {
        const SprayParticle* particle = &sprayPool[i];
        glColor4f(red, green, blue, (GLfloat)((double)particle->life * scene.fadeAlpha));
        glVertex3f(particle->x, particle->y, particle->z);
    }
    glEnd();
    drawnTriangles += sprayPoolSize;
    glDisable(GL_BLEND);
    glPopMatrix();
}
