// Private-profile reads as tables of file contents and expected results,
// and writes read back. Built twice: against our layer and, with MinGW,
// against Windows itself (run under Wine), so the expected values are
// Windows' own. Rows where the layer deliberately differs stay in the
// Linux-only tests (tests/layer_services/profile_test.cpp).
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

using namespace std::string_literals;

namespace {

const char* const missing = "\x01missing";

// Each test its own file, since ctest runs the tests of one binary side by
// side. A path with a folder part is used as given on both platforms.
std::string TestProfilePath()
{
    return "./brkw-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".ini";
}

void Store(const char* profilePath, const std::string& bytes)
{
    std::remove(profilePath);
    if (bytes == missing)
        return;
    FILE* file = std::fopen(profilePath, "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

struct ReadCase {
    const char* what;
    std::string content;  // `missing`: no file at all
    const char* key;
    UINT expected;
};

TEST(ProfileSemantics, ReadsIntegers)
{
    const std::string path = TestProfilePath();
    const char* profilePath = path.c_str();
    const ReadCase cases[] = {
        {"no file", missing, "Size", 50},
        {"empty file", "", "Size", 50},
        {"plain", "[Brackwold]\nSize=70\n", "Size", 70},
        {"names ignore case", "[brackWOLD]\nsIZE=70\n", "Size", 70},
        {"key with a blank", "[Brackwold]\nPoly Resolution=22\n", "Poly Resolution", 22},
        {"blanks around everything", "  [ Brackwold ]  \n  Size  =  \t 42  \n", "Size", 42},
        {"negative comes back as UINT", "[Brackwold]\nSize=-5\n", "Size", static_cast<UINT>(-5)},
        {"plus sign", "[Brackwold]\nSize=+7\n", "Size", 7},
        {"trailing text ignored", "[Brackwold]\nSize=12abc\n", "Size", 12},
        {"comment after the number", "[Brackwold]\nSize=33 ; percent\n", "Size", 33},
        {"no digits gives 0", "[Brackwold]\nSize=abc\n", "Size", 0},
        {"hex prefix is read", "[Brackwold]\nSize=0x20\n", "Size", 0x20},
        {"hex digits in either case", "[Brackwold]\nSize=0xfF\n", "Size", 0xFF},
        {"hex prefix in capitals is not one", "[Brackwold]\nSize=0X20\n", "Size", 0},
        {"hex stops at a non-digit", "[Brackwold]\nSize=0x1g\n", "Size", 1},
        {"hex prefix without digits", "[Brackwold]\nSize=0x\n", "Size", 0},
        {"octal prefix", "[Brackwold]\nSize=0o17\n", "Size", 15},
        {"binary prefix", "[Brackwold]\nSize=0b101\n", "Size", 5},
        {"a plain leading zero is decimal", "[Brackwold]\nSize=017\n", "Size", 17},
        {"negative hex", "[Brackwold]\nSize=-0x10\n", "Size", static_cast<UINT>(-16)},
        {"sign alone gives 0", "[Brackwold]\nSize=-\n", "Size", 0},
        {"empty value", "[Brackwold]\nSize=\n", "Size", 50},
        {"blank value", "[Brackwold]\nSize=   \n", "Size", 50},
        {"quoted value", "[Brackwold]\nSize=\"33\"\n", "Size", 33},
        {"just past 32 bits keeps the low bits", "[Brackwold]\nSize=4294967297\n", "Size", 1},
        {"huge keeps the low bits", "[Brackwold]\nSize=99999999999999999999\n", "Size", 1661992959u},
        {"huge negative", "[Brackwold]\nSize=-99999999999999999999\n", "Size", 0u - 1661992959u},
        {"past the signed limit", "[Brackwold]\nSize=2147483648\n", "Size", 0x80000000u},
        {"most negative", "[Brackwold]\nSize=-2147483648\n", "Size", 0x80000000u},
        {"missing section", "[Other]\nSize=70\n", "Size", 50},
        {"missing key", "[Brackwold]\nSized=70\n", "Size", 50},
        {"key of the next section", "[Brackwold]\nA=1\n[Other]\nSize=70\n", "Size", 50},
        {"key before any section", "Size=9\n[Brackwold]\n", "Size", 50},
        {"first duplicate wins", "[Brackwold]\nSize=1\nSize=2\n", "Size", 1},
        {"only the first section of the name", "[Brackwold]\nA=1\n[Other]\nSize=2\n[Brackwold]\nSize=3\n", "Size",
         50},
        {"CRLF", "[Brackwold]\r\nSize=70\r\n", "Size", 70},
        {"CR only", "[Brackwold]\rA=1\rSize=70\r", "Size", 70},
        {"no final line end", "[Brackwold]\nSize=70", "Size", 70},
        {"byte-order mark", "\xEF\xBB\xBF[Brackwold]\nSize=8\n", "Size", 8},
        {"line without equals is a key without value", "[Brackwold]\nSize\nSize=3\n", "Size", 50},
        {"comment line", "[Brackwold]\n;Size=9\nSize=3\n", "Size", 3},
        {"noise before a good section", "\x01\x02\x80\n[Brackwold]\nSize=61\n"s, "Size", 61},
        {"unclosed section header", "[Brackwold\nSize=4\n", "Size", 50},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        Store(profilePath, c.content);
        EXPECT_EQ(c.expected, GetPrivateProfileIntA("Brackwold", c.key, 50, profilePath));
    }
    std::remove(profilePath);
}

// Every write reported as done reads back: the new value, the default
// after a deletion, and the neighbours untouched.
TEST(ProfileSemantics, WritesReadBack)
{
    const std::string path = TestProfilePath();
    const char* profilePath = path.c_str();
    const struct {
        const char* what;
        const char* section;
        const char* key;
        const char* value;
        int size, delay;  // what Size and Char Delay read afterwards (default -1)
    } steps[] = {
        {"creates the file", "Brackwold", "Size", "70", 70, -1},
        {"adds a key", "brackwold", "Char Delay", "90", 70, 90},
        {"updates in place", "BRACKWOLD", "size", "-3", -3, 90},
        {"another section", "Other", "Size", "1", -3, 90},
        {"deletes a key", "Brackwold", "Size", nullptr, -1, 90},
        {"deleting it again", "Brackwold", "Size", nullptr, -1, 90},
        {"deletes the section", "Brackwold", nullptr, nullptr, -1, -1},
    };
    Store(profilePath, missing);
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        EXPECT_TRUE(WritePrivateProfileStringA(s.section, s.key, s.value, profilePath));
        EXPECT_EQ(s.size, (int)GetPrivateProfileIntA("Brackwold", "Size", -1, profilePath));
        EXPECT_EQ(s.delay, (int)GetPrivateProfileIntA("Brackwold", "Char Delay", -1, profilePath));
        EXPECT_EQ(1, (int)GetPrivateProfileIntA("Other", "Size", 1, profilePath));
    }
    std::remove(profilePath);
}

// Names compare alike in every language, Turkish too, where the C library's
// toupper('i') is 'i': capitals are read, and updated in place (an appended
// duplicate would leave the old value in force).
TEST(ProfileSemantics, NamesMatchInTurkish)
{
    if (!std::setlocale(LC_ALL, "tr_TR.UTF-8") && !std::setlocale(LC_ALL, "Turkish_Turkey.1254"))
        GTEST_SKIP() << "no Turkish locale (scripts/setup.sh makes tr_TR.UTF-8 with localedef)";
    const std::string path = TestProfilePath();
    Store(path.c_str(), "[BRACKWOLD]\nPOLY RESOLUTION=30\nSIZE=70\n");
    EXPECT_EQ(30u, GetPrivateProfileIntA("Brackwold", "Poly Resolution", 15, path.c_str()));
    EXPECT_TRUE(WritePrivateProfileStringA("brackwold", "size", "80", path.c_str()));
    EXPECT_EQ(80u, GetPrivateProfileIntA("Brackwold", "Size", 50, path.c_str()));
    std::setlocale(LC_ALL, "C");
    std::remove(path.c_str());
}

}  // namespace
