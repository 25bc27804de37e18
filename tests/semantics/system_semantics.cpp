// The version, the executable's own module, its string table and bitmaps.
// Built against our layer and against Windows (run under Wine), where the
// saver's resource script is linked into the test.
#include "tests/semantics/semantics.h"
#include "resources/resource_ids.h"

#include <cstring>
#include <string>

namespace {

using semantics::Differs;
using semantics::Expected;

TEST(SystemSemantics, VersionReportsTheNtFamilyAndChecksTheSize)
{
    OSVERSIONINFOA info;
    memset(&info, 0xAB, sizeof info);
    info.dwOSVersionInfoSize = 148;
    ASSERT_EQ(148u, sizeof info);
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(static_cast<DWORD>(VER_PLATFORM_WIN32_NT), info.dwPlatformId);
    EXPECT_GE(info.dwMajorVersion, 5u);
    EXPECT_EQ(Expected<std::string>("Service Pack 1", {"", "the layer names no service pack"}), info.szCSDVersion)
        << "as Wine's Windows 7 reports it";

    for (DWORD wrong : {0u, 147u, 149u, 400u}) {
        memset(&info, 0xAB, sizeof info);
        info.dwOSVersionInfoSize = wrong;
        EXPECT_FALSE(GetVersionExA(&info)) << wrong;
        EXPECT_EQ(0xABABABABu, info.dwPlatformId) << "untouched on failure";
    }

    // The extended structure: 8 more bytes (service pack, suites, product
    // type, one reserved byte left alone).
    alignas(OSVERSIONINFOA) unsigned char extended[156];
    memset(extended, 0xAB, sizeof extended);
    reinterpret_cast<OSVERSIONINFOA*>(extended)->dwOSVersionInfoSize = 156;
    EXPECT_TRUE(GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(extended)));
    using Bytes = std::vector<unsigned char>;
    EXPECT_EQ(Expected<Bytes>({1, 0, 0, 0, 0, 0, 1, 0xAB},
                  {Bytes(8, 0),
                      "the layer reports no service pack, "
                      "product type or suite, and zeroes the rest"}),
        Bytes(extended + 148, extended + 156));
}

TEST(SystemSemantics, TheExecutableIsAModuleThatExportsNothingOfTheSaver)
{
    HMODULE self = GetModuleHandleA(NULL);
    EXPECT_NE((HMODULE)NULL, self);
    EXPECT_EQ(self, GetModuleHandleA(NULL));
    EXPECT_EQ((FARPROC)NULL, GetProcAddress(self, "VerifyScreenSavePwd"));
    EXPECT_EQ((HMODULE)NULL, GetModuleHandleA("NOSUCH.DLL"));
    EXPECT_EQ((HMODULE)NULL, LoadLibraryA("NOSUCH.DLL"));
}

TEST(SystemSemantics, LoadStringCutsToTheBuffer)
{
    const struct {
        UINT id;
        int size;
        int length;
        const char* text;
    } cases[] = {
        {IDS_SETTINGS_FILE, 13, 8, "BRKW.ini"},
        {IDS_SETTINGS_FILE, 9, 8, "BRKW.ini"},
        {IDS_SETTINGS_FILE, 8, 7, "BRKW.in"},
        {IDS_SETTINGS_FILE, 5, 4, "BRKW"},
        {IDS_SETTINGS_FILE, 1, 0, ""},
        {IDS_SETTINGS_SECTION, 40, 9, "Brackwold"},
        {IDS_DESCRIPTION, 40, 10, "Brackwold!"},
        {9999, 40, 0, ""},
    };
    for (HINSTANCE instance : {GetModuleHandleA(NULL), static_cast<HINSTANCE>(NULL)}) {
        for (const auto& c : cases) {
            char buffer[48];
            memset(buffer, '#', sizeof buffer);
            EXPECT_EQ(c.length, LoadStringA(instance, c.id, buffer, c.size)) << c.id << " into " << c.size;
            EXPECT_STREQ(c.text, buffer);
            EXPECT_EQ('#', buffer[c.size]) << "nothing written past the buffer";
        }
    }
}

TEST(SystemSemantics, LoadStringRefusesWhatItCannotFill)
{
    char buffer[16] = "keep";
    EXPECT_EQ(Expected(-1, {0, "a zero-sized buffer gets 0, not -1"}), LoadStringA(NULL, IDS_SETTINGS_FILE, buffer, 0));
    EXPECT_STREQ("keep", buffer);
    // Windows takes a negative size as a huge one and writes the whole string.
    const Differs<int> refused = {0, "the layer never writes through a negative size"};
    EXPECT_EQ(Expected(8, refused), LoadStringA(NULL, IDS_SETTINGS_FILE, buffer, -3));
    EXPECT_EQ(Expected<std::string>("BRKW.ini", {"keep", refused.why}), buffer);
}

TEST(SystemSemantics, LoadBitmapFindsTheBanner)
{
    HBITMAP banner = LoadBitmapA(GetModuleHandleA(NULL), MAKEINTRESOURCE(IDB_BANNER));
    ASSERT_TRUE(banner);
    EXPECT_EQ(LoadBitmapA(GetModuleHandleA(NULL), MAKEINTRESOURCE(9999)), (HBITMAP)NULL);
    BITMAP bm = {};
    ASSERT_EQ(GetObjectA(banner, sizeof bm, &bm), (int)sizeof bm);
    EXPECT_EQ(bm.bmWidth, 230);
    EXPECT_EQ(bm.bmHeight, 10);
    EXPECT_TRUE(DeleteObject(banner));
}

}  // namespace
