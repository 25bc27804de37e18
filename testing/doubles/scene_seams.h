// Starts the scripted scenes at once instead of waiting for their rare
// rolls, so that a person (the gallery) or a test can watch them. Only the
// scene record is touched; the frame renderer then runs the scene as it
// would after a lucky roll.
#pragma once

// Figure 3 on stage with a kick requested, as after a lucky roll: from the
// next frame its approach runs (it goes on fading in meanwhile), then the
// kick scene.
void ForceKick();

// Figure 2 fully faded in and struck on the given edge (0 top, 1 bottom,
// 2 left, 3 right): the spike runs from the next frame, and the lament's
// roll at its end comes out as the given number (so 0 to 3 name the
// variant). The roll goes through the scripted rand double, which the
// binary must link.
void ForceMishap(int edge, int lamentRoll);
