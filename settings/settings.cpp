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

const SettingInfo settingTable[settingCount] = {
    {KEY_POLY_RESOLUTION, 15, &polyResolution, NULL, 10, 30, IDC_RESOLUTION_BAR, "poly-resolution",
     "detail of the figures"},
    {KEY_SIZE, 50, &sizePercent, NULL, 30, 90, IDC_SIZE_BAR, "size", "stage size, percent of the screen height"},
    {KEY_CHAR_DELAY, 60, &charDelay, NULL, 15, 360, IDC_DELAY_BAR, "char-delay", "seconds each figure stays"},
    {KEY_SOUNDS, 1, NULL, &soundsOn, 0, 1, IDC_PLAY_SOUNDS, "sounds", "voice lines on or off"},
};

static bool overridden[settingCount];
static int overrideValue[settingCount];

void OverrideSetting(int setting, int value)
{
    overridden[setting] = true;
    overrideValue[setting] = value;
}

void ClearSettingOverrides()
{
    for (int i = 0; i < settingCount; ++i)
        overridden[i] = false;
}

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
static int ReadSetting(int setting)
{
    if (overridden[setting])
        return overrideValue[setting];
    const SettingInfo& info = settingTable[setting];
    return (int)GetPrivateProfileIntA(settingsSection, info.key, info.defaultValue, settingsFile);
}

void ReadSettings()
{
    // A string that cannot be loaded must not leave stale text behind.
    settingsSection[0] = '\0';
    settingsFile[0] = '\0';
    LoadStringA(appInstance, IDS_SETTINGS_SECTION, settingsSection, sizeof settingsSection);
    LoadStringA(appInstance, IDS_SETTINGS_FILE, settingsFile, sizeof settingsFile);

    for (int i = 0; i < settingCount; ++i) {
        int value = ReadSetting(i);
        if (settingTable[i].flag)
            *settingTable[i].flag = value != 0;
        else
            *settingTable[i].number = value;
    }
}

void LoadSettings()
{
    ReadSettings();
    for (const SettingInfo& info : settingTable)
        if (info.number)
            *info.number = ClampSetting(*info.number, info.minimum, info.maximum);

    sizeFactor = (float)(sizePercent * 0.01);
}
