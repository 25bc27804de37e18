// Starts the scripted scenes at once instead of waiting for their rare
// rolls, so that a person (the gallery) or a test can watch them. Only the
// scene record is touched; the frame renderer then runs the scene as it
// would after a lucky roll.
#pragma once

// Figure 3 fully faded in, with a kick requested: from the next frame its
// approach runs, then the kick scene.
void ForceKick();
