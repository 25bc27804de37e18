// The settings store: four integers in a private INI file, read once when the
// saver window is created. The running saver never writes them back; only the
// configuration dialog does.
#include "settings/settings.h"
#include "shell/shell.h"
#include "resources/resource_ids.h"

int polyResolution = 15;
int sizePercent = 50;
int charDelay = 60;
bool soundsOn = true;
float sizeFactor = 0.5f;

char settingsSection[40];
char settingsFile[13];

static int ClampSetting(int value, int low, int high)
{
    if (value > high)
        return high;
    if (value < low)
        return low;
    return value;
}

// The profile read returns an unsigned value; negative entries come back as
// their two's complement and must read as negative so they clamp to the
// minimum rather than the maximum.
static int ReadSetting(LPCSTR key, int defaultValue)
{
    return (int)GetPrivateProfileIntA(settingsSection, key, defaultValue, settingsFile);
}

void ReadSettings()
{
    // A string that cannot be loaded must not leave stale text behind.
    settingsSection[0] = '\0';
    settingsFile[0] = '\0';
    LoadStringA(appInstance, IDS_SETTINGS_SECTION, settingsSection, sizeof settingsSection);
    LoadStringA(appInstance, IDS_SETTINGS_FILE, settingsFile, sizeof settingsFile);

    polyResolution = ReadSetting(KEY_POLY_RESOLUTION, 15);
    sizePercent = ReadSetting(KEY_SIZE, 50);
    charDelay = ReadSetting(KEY_CHAR_DELAY, 60);
    soundsOn = ReadSetting(KEY_SOUNDS, 1) != 0;
}

void LoadSettings()
{
    ReadSettings();
    polyResolution = ClampSetting(polyResolution, 10, 30);
    sizePercent = ClampSetting(sizePercent, 30, 90);
    charDelay = ClampSetting(charDelay, 15, 360);

    sizeFactor = (float)(sizePercent * 0.01);
}
