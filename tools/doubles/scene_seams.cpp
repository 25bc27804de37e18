#include "tools/doubles/scene_seams.h"

#include "stage/scene_state.h"

void ForceKick()
{
    scene.figure = 3;
    scene.fadingOut = false;
    scene.kickPending = true;
}
