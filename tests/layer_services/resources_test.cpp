// String table loads and resource look-up.
#include "platform/posix/resources.h"
#include "testing/doubles/sys_seams.h"
#include "resources/resource_ids.h"

#include <gtest/gtest.h>
#include <string.h>

namespace {

class Resources : public ::testing::Test {
protected:
    void TearDown() override
    {
        w32test::ResetResources();
        w32test::UnregisterAllModules();
    }
};

TEST_F(Resources, LoadStringCutsToTheBuffer)
{
    const struct {
        UINT id;
        int size;
        int length;
        const char* text;
    } cases[] = {
        {IDS_SETTINGS_FILE, 13, 8, "BRKW.ini"},     {IDS_SETTINGS_FILE, 9, 8, "BRKW.ini"},
        {IDS_SETTINGS_FILE, 8, 7, "BRKW.in"},      {IDS_SETTINGS_FILE, 5, 4, "BRKW"},
        {IDS_SETTINGS_FILE, 1, 0, ""},             {IDS_SETTINGS_SECTION, 40, 9, "Brackwold"},
        {IDS_DESCRIPTION, 40, 10, "Brackwold!"},   {9999, 40, 0, ""},
    };
    for (HINSTANCE instance : {GetModuleHandleA(nullptr), static_cast<HINSTANCE>(nullptr)}) {
        for (const auto& c : cases) {
            char buffer[48];
            memset(buffer, '#', sizeof buffer);
            EXPECT_EQ(c.length, LoadStringA(instance, c.id, buffer, c.size)) << c.id << " into " << c.size;
            EXPECT_STREQ(c.text, buffer);
            EXPECT_EQ('#', buffer[c.size]) << "nothing written past the buffer";
        }
    }
}

TEST_F(Resources, LoadStringRefusesWhatItCannotFill)
{
    char buffer[8] = "keep";
    EXPECT_EQ(0, LoadStringA(nullptr, IDS_SETTINGS_FILE, buffer, 0));
    EXPECT_STREQ("keep", buffer);
    EXPECT_EQ(0, LoadStringA(nullptr, IDS_SETTINGS_FILE, buffer, -3));
    EXPECT_STREQ("keep", buffer);
    EXPECT_EQ(0, LoadStringA(nullptr, IDS_SETTINGS_FILE, nullptr, 8));

    w32test::RegisterModule("IMM32.DLL", {});
    HMODULE other = LoadLibraryA("IMM32.DLL");
    ASSERT_NE(nullptr, other);
    EXPECT_EQ(0, LoadStringA(other, IDS_SETTINGS_FILE, buffer, sizeof buffer)) << "only the executable has strings";
    EXPECT_STREQ("", buffer);
}

TEST_F(Resources, StringSeamOverridesAndHides)
{
    char buffer[40];
    w32test::SetString(IDS_SETTINGS_FILE, "OTHER.ini");
    EXPECT_EQ(9, LoadStringA(nullptr, IDS_SETTINGS_FILE, buffer, sizeof buffer));
    EXPECT_STREQ("OTHER.ini", buffer);
    w32test::RemoveString(IDS_SETTINGS_FILE);
    EXPECT_EQ(0, LoadStringA(nullptr, IDS_SETTINGS_FILE, buffer, sizeof buffer));
    w32test::ResetResources();
    EXPECT_EQ(8, LoadStringA(nullptr, IDS_SETTINGS_FILE, buffer, sizeof buffer));
}

TEST_F(Resources, EveryEmbeddedEntryIsFound)
{
    for (size_t i = 0; i < w32::embeddedResourceCount; ++i) {
        const w32::EmbeddedResource& entry = w32::embeddedResources[i];
        EXPECT_EQ(&entry, w32::FindEmbeddedResource(entry.type, entry.name)) << entry.type << " " << entry.name;
    }
    for (size_t i = 0; i < w32::embeddedStringCount; ++i) {
        char buffer[512];
        const w32::EmbeddedString& entry = w32::embeddedStrings[i];
        EXPECT_EQ(static_cast<int>(strlen(entry.text)), LoadStringA(nullptr, entry.id, buffer, sizeof buffer));
    }
}

TEST_F(Resources, NamesAndIdsInEveryForm)
{
    w32test::AddResource("WAVE", "TestTone", {1, 2, 3});
    w32test::AddResource("BITMAP", "#105", {4, 5});
    const struct {
        const char* type;
        const char* name;
        size_t size;  // 0: not found
    } cases[] = {
        {"WAVE", "TESTTONE", 3},
        {"wave", "testtone", 3},
        {"BITMAP", "TESTTONE", 0},
        {"WAVE", "TESTTON", 0},
        {"BITMAP", MAKEINTRESOURCEA(105), 2},
        {"BITMAP", "#105", 2},
        {"BITMAP", "#0105", 2},
        {MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(105), 2},  // RT_BITMAP
        {"BITMAP", MAKEINTRESOURCEA(106), 0},
        {"BITMAP", "105", 0},
        {nullptr, "TESTTONE", 0},
        {"WAVE", nullptr, 0},
    };
    for (const auto& c : cases) {
        const w32::EmbeddedResource* found = w32::FindEmbeddedResource(c.type, c.name);
        EXPECT_EQ(c.size, found ? found->size : 0u) << (IS_INTRESOURCE(c.name) ? "(id)" : c.name ? c.name : "(null)");
    }
    w32test::RemoveResource("wave", "testtone");
    EXPECT_EQ(nullptr, w32::FindEmbeddedResource("WAVE", "TESTTONE"));
}

}  // namespace
