#include "testing/doubles/scene_seams.h"

#include "events/events.h"
#include "stage/scene_state.h"
#include "testing/doubles/scripted_rand.h"

void ForceKick()
{
    scene.figure = 3;
    scene.fadingOut = false;
    scene.kickPending = true;
}

void ForceMishap(int edge, int lamentRoll)
{
    scene.figure = 2;
    scene.fadeAlpha = 1.0f;
    scene.fadingOut = false;
    // The mishap's end rolls the lament as its first draw once the lament
    // is on and the mishap off.
    ScriptRandWhen([] { return scene.lamentActive && !scene.mishapActive; }, lamentRoll);
    StartMishap(edge);
}
