// LoadSettings against real INI files in a private configuration folder: the
// defaults, the clamping, and files that are damaged or cannot be read. The
// saver must never write anything while it reads.
#include "settings/settings.h"
#include "tests/settings/config_folder.h"
#include "tests/layer_services/unprivileged.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

class SettingsTest : public ::testing::Test, protected ConfigFolder {
protected:
    void SetUp() override
    {
        ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
        // Stale values from an earlier case must not pass for a fresh read.
        polyResolution = sizePercent = charDelay = -7;
        soundsOn = false;
        sizeFactor = -1.0f;
    }

    // Every file under the configuration folder with its bytes.
    std::map<std::string, std::string> Snapshot() const
    {
        std::map<std::string, std::string> files;
        DIR* dir = opendir(folder.c_str());
        if (!dir)
            return files;
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            std::ifstream file(folder + "/" + name, std::ios::binary);
            std::stringstream bytes;
            bytes << file.rdbuf();
            files[name] = bytes.str();
        }
        closedir(dir);
        return files;
    }

    void LoadAndCheckNothingWritten()
    {
        auto before = Snapshot();
        LoadSettings();
        EXPECT_EQ(Snapshot(), before) << "reading the settings changed the folder";
    }
};

// The whole literal, NUL bytes included.
template <size_t N>
std::string Bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}

struct IniCase {
    const char* name;
    bool present;  // false: no file at all
    std::string contents;
    int resolution, size, delay;
    bool sounds;
    float factor;
};

const IniCase iniCases[] = {
    {"no file", false, "", 15, 50, 60, true, 0.5f},
    {"empty file", true, Bytes(""), 15, 50, 60, true, 0.5f},
    {"other section only", true, Bytes("[Elsewhere]\nSize=80\n"), 15, 50, 60, true, 0.5f},
    {"in range", true, Bytes("[Brackwold]\nPoly Resolution=22\nSize=70\nChar Delay=120\nSounds=0\n"), 22, 70, 120, false, 0.7f},
    {"resolution above range", true, Bytes("[Brackwold]\nPoly Resolution=100\n"), 30, 50, 60, true, 0.5f},
    {"size below range", true, Bytes("[Brackwold]\nSize=5\n"), 15, 30, 60, true, 0.30000001f},
    {"size above range", true, Bytes("[Brackwold]\nSize=95\n"), 15, 90, 60, true, 0.9f},
    {"delay of zero", true, Bytes("[Brackwold]\nChar Delay=0\n"), 15, 50, 15, true, 0.5f},
    {"delay above range", true, Bytes("[Brackwold]\nChar Delay=1000\n"), 15, 50, 360, true, 0.5f},
    {"any non-zero sound value", true, Bytes("[Brackwold]\nSounds=2\n"), 15, 50, 60, true, 0.5f},
    {"negative sound value", true, Bytes("[Brackwold]\nSounds=-1\n"), 15, 50, 60, true, 0.5f},
    {"negative values", true, Bytes("[Brackwold]\nPoly Resolution=-5\nSize=-50\nChar Delay=-1\n"), 10, 30, 15, true, 0.3f},
    // Windows keeps the low 32 bits of a number too long: 1661992959, 0 and
    // INT_MIN here, then -1661992959, INT_MAX and 0; each is clamped.
    {"huge values", true, Bytes("[Brackwold]\nPoly Resolution=99999999999999999999\nSize=4294967296\nChar Delay=2147483648\n"), 30,
     30, 15, true, 0.3f},
    {"huge negative values", true,
     Bytes("[Brackwold]\nPoly Resolution=-99999999999999999999\nSize=-2147483649\nChar Delay=-4294967296\n"), 10, 90,
     15, true, 0.9f},
    {"first of duplicate keys", true, Bytes("[Brackwold]\nSize=40\nSize=80\n"), 15, 40, 60, true, 0.4f},
    {"names in any case", true, Bytes("[BRACKWOLD]\npoly resolution=12\nSIZE=33\n"), 12, 33, 60, true, 0.33f},
    {"blanks and trailing junk", true, Bytes("[Brackwold]\n  Size =   45abc\nChar Delay=\n"), 15, 45, 60, true, 0.45f},
    {"CR line ends", true, Bytes("[Brackwold]\rPoly Resolution=20\rSize=40\rSounds=0\r"), 20, 40, 60, false, 0.4f},
    {"CRLF line ends", true, Bytes("[Brackwold]\r\nPoly Resolution=20\r\nSize=40\r\nChar Delay=30\r\n"), 20, 40, 30, true,
     0.4f},
    {"no final line end", true, Bytes("[Brackwold]\nSize=60"), 15, 60, 60, true, 0.6f},
    {"binary", true, Bytes("\x7f" "ELF\x02\x01\x01\0\0\0\0[\xff\xfe]=\x01\x02\x03\n\0\0Size\0=9"), 15, 50, 60, true, 0.5f},
};

class IniFileTest : public SettingsTest, public ::testing::WithParamInterface<IniCase> {};

TEST_P(IniFileTest, ReadsClampsAndWritesNothing)
{
    const IniCase& c = GetParam();
    if (c.present)
        WriteIni(c.contents);
    LoadAndCheckNothingWritten();
    EXPECT_EQ(polyResolution, c.resolution);
    EXPECT_EQ(sizePercent, c.size);
    EXPECT_EQ(charDelay, c.delay);
    EXPECT_EQ(soundsOn, c.sounds);
    EXPECT_EQ(sizeFactor, c.factor);
    if (!c.present) {
        EXPECT_NE(access((folder + "/BRKW.ini").c_str(), F_OK), 0) << "a missing file was created";
    }
}

INSTANTIATE_TEST_SUITE_P(Files, IniFileTest, ::testing::ValuesIn(iniCases),
                         [](const ::testing::TestParamInfo<IniCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += isalnum((unsigned char)*p) ? *p : '_';
                             return name;
                         });

TEST_F(SettingsTest, LocationComesFromTheStringTable)
{
    LoadSettings();
    EXPECT_STREQ(settingsSection, "Brackwold");
    EXPECT_STREQ(settingsFile, "BRKW.ini");
}

TEST_F(SettingsTest, FileThatIsAFolderGivesTheDefaults)
{
    ASSERT_EQ(mkdir((folder + "/BRKW.ini").c_str(), 0755), 0);
    LoadAndCheckNothingWritten();
    EXPECT_EQ(polyResolution, 15);
    EXPECT_EQ(sizePercent, 50);
    EXPECT_EQ(charDelay, 60);
    EXPECT_TRUE(soundsOn);
}

TEST_F(SettingsTest, ConfigurationPathThroughAFileGivesTheDefaults)
{
    std::string blocked = root + "/blocked";
    { std::ofstream file(blocked); file << "not a folder"; }
    setenv("XDG_CONFIG_HOME", blocked.c_str(), 1);
    LoadSettings();
    EXPECT_EQ(sizePercent, 50);
    EXPECT_EQ(charDelay, 60);
    std::ifstream file(blocked);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "not a folder");
}

TEST_F(SettingsTest, UnreadableFolderGivesTheDefaults)
{
    WriteIni("[Brackwold]\nSize=80\nChar Delay=20\n");
    RunUnprivileged(root, [&] {
        ASSERT_EQ(chmod(folder.c_str(), 0), 0);
        LoadSettings();
        EXPECT_EQ(sizePercent, 50);
        EXPECT_EQ(charDelay, 60);
    });
}

// The running saver only ever switches sound off, and only for this run.
TEST_F(SettingsTest, EachLoadReadsTheFileAfresh)
{
    WriteIni("[Brackwold]\nSounds=1\nSize=40\n");
    LoadSettings();
    EXPECT_TRUE(soundsOn);
    soundsOn = false;
    sizeFactor = 0.75f;
    LoadSettings();
    EXPECT_TRUE(soundsOn);
    EXPECT_EQ(sizeFactor, 0.4f);
}

}  // namespace
