// The settings globals for binaries that leave out the settings store.
#include "settings/settings.h"

int polyResolution = 15;
int sizePercent = 75;
int charDelay = 60;
bool soundsOn = true;
float sizeFactor = 0.75f;
