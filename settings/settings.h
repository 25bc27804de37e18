// The four persistent settings, read once when the saver window is created.
#pragma once

extern int polyResolution;  // slices and stacks of most quadrics, 10..30
extern int sizePercent;     // stage side as a percentage of the stage area height, 30..90
extern int charDelay;       // seconds a figure stays, 15..360
extern bool soundsOn;       // may be switched off for good during a run
extern float sizeFactor;    // sizePercent * 0.01, or 0.75 in preview mode

extern char settingsSection[40];
extern char settingsFile[13];

// The four settings in the order they are read and written: what the load,
// the dialog and the command-line options all go by. A number spans
// minimum..maximum on its scroll bar and is clamped to it at load; the
// switch (sounds) is a check box, any non-zero value on.
struct SettingInfo {
    const char* key;     // INI key
    int defaultValue;    // when the file, the section or the key is missing
    int* number;         // the global of a number, or NULL
    bool* flag;          // the global of the switch, or NULL
    int minimum, maximum;
    int control;         // the dialog's scroll bar or check box
    const char* option;  // command-line option; the switch also takes "no-" before it
    const char* meaning; // the option's line of help
};
enum { settingCount = 4 };
extern const SettingInfo settingTable[settingCount];

// Values given for this run only (the command line's): read in place of what
// the file holds. Nothing is written.
void OverrideSetting(int setting, int value);
void ClearSettingOverrides();

// Loads the location strings and reads the four settings as stored, without
// clamping: what the configuration dialog shows.
void ReadSettings();
// ReadSettings, then clamps to the ranges and derives sizeFactor.
void LoadSettings();
