// The kick scene. It arrives with a later release; until then it draws nothing.
#include "events/events.h"

void DrawKickScene() {}
