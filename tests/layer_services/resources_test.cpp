// The embedded resource table and string loads from other modules; the
// string table's own rules run against Windows too (tests/semantics).
#include "platform/posix/resources.h"
#include "testing/doubles/sys_seams.h"
#include "resources/resource_ids.h"

#include <gtest/gtest.h>
#include <string.h>

namespace {

class Resources : public ::testing::Test {
protected:
    void TearDown() override { w32test::UnregisterAllModules(); }
};

// The string table's rules run against Windows too (tests/semantics).
TEST_F(Resources, LoadStringOnlyFromTheExecutable)
{
    char buffer[8] = "keep";
    w32test::RegisterModule("IMM32.DLL", {});
    HMODULE other = LoadLibraryA("IMM32.DLL");
    ASSERT_NE(nullptr, other);
    EXPECT_EQ(0, LoadStringA(other, IDS_SETTINGS_FILE, buffer, sizeof buffer)) << "only the executable has strings";
    EXPECT_STREQ("", buffer);
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

// Names and ids in every form a caller may spell them, against the table
// the program embeds.
TEST_F(Resources, NamesAndIdsInEveryForm)
{
    const struct {
        const char* type;
        const char* name;
        const char* found;  // the entry's name; nullptr: not found
    } cases[] = {
        {"WAVE", "WOBBLO1", "WOBBLO1"},
        {"wave", "wobblo1", "WOBBLO1"},
        {"BITMAP", "WOBBLO1", nullptr},
        {"WAVE", "WOBBLO", nullptr},
        {"BITMAP", MAKEINTRESOURCEA(105), "#105"},
        {"BITMAP", "#105", "#105"},
        {"BITMAP", "#0105", "#105"},
        {MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(105), "#105"},  // RT_BITMAP
        {"BITMAP", MAKEINTRESOURCEA(106), nullptr},
        {"BITMAP", "105", nullptr},
        {nullptr, "WOBBLO1", nullptr},
        {"WAVE", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(IS_INTRESOURCE(c.name) ? "(id)" : c.name ? c.name : "(null)");
        const w32::EmbeddedResource* found = w32::FindEmbeddedResource(c.type, c.name);
        EXPECT_STREQ(c.found, found ? found->name : nullptr);
    }
}

}  // namespace
