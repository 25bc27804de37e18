#include "tools/doubles/scene_seams.h"

#include "events/events.h"
#include "stage/scene_state.h"

void ForceKick()
{
    scene.figure = 3;
    scene.fadingOut = false;
    scene.kickPending = true;
}

void ForceMishap(int edge, int lamentVariant)
{
    scene.figure = 2;
    scene.fadeAlpha = 1.0f;
    scene.fadingOut = false;
    forcedLamentVariant = lamentVariant;
    StartMishap(edge);
}
