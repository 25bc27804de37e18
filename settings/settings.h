// The four persistent settings, read once when the saver window is created.
#pragma once

extern int polyResolution;  // slices and stacks of most quadrics, 10..30
extern int sizePercent;     // stage side as a percentage of the stage area height, 30..90
extern int charDelay;       // seconds a figure stays, 15..360
extern bool soundsOn;       // may be switched off for good during a run
extern float sizeFactor;    // sizePercent * 0.01, or 0.75 in preview mode

extern char settingsSection[40];
extern char settingsFile[13];

// Loads the location strings and reads the four settings as stored, without
// clamping: what the configuration dialog shows.
void ReadSettings();
// ReadSettings, then clamps to the ranges and derives sizeFactor.
void LoadSettings();
