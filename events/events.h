// Sound cues, the shared particle spray and the scripted scenes.
#pragma once

// Sound cues
void PlayCue(const char* name);
void CueVoiceLine();

// Particle spray
struct SprayParticle {
    float x, y, z;
    float vx, vy, vz;
    float life;
};
enum { sprayPoolSize = 250 };
extern SprayParticle sprayPool[sprayPoolSize];

void ResetSpray();
void SprayFountain(float red, float green, float blue, float decay);
void SprayFall(float red, float green, float blue, float decay);
void SprayFallMinusX(float red, float green, float blue, float decay);
void SprayFallPlusX(float red, float green, float blue, float decay);
void DrawSpray(float red, float green, float blue);

// Mishap and lament
void StartMishap(int edge);
void DrawSpike();
void DrawLament();

// Kick scene
void DrawKickScene();
