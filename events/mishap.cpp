// The mishap and the lament scene. They arrive with a later release; until
// then nothing starts them and they draw nothing.
#include "events/events.h"

void StartMishap(int) {}
void DrawSpike() {}
void DrawLament() {}
