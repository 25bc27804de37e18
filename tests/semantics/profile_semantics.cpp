// Private-profile reads as tables of file contents and expected results,
// writes as the bytes they leave, and writes read back. Built twice: against
// our layer and, with MinGW, against Windows itself (run under Wine), so the
// expected values are Windows' own; where the layer knowingly differs, the
// row names the difference and the layer's own result. What needs the
// layer's insides or POSIX files (the config folder, permissions, links,
// the size limit) stays in tests/layer_services/profile_test.cpp.
#include "tests/semantics/semantics.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace std::string_literals;

namespace {

using semantics::Differs;
using semantics::Expected;

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
    Differs<UINT> layer = {};
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
        {"NUL inside a key", "[Brackwold]\nSi\0ze=5\nSize=7\n"s, "Size", 7},
        {"NUL inside a value", "[Brackwold]\nSize=4\0" "2\n"s, "Size", 4},
        {"binary noise", "\xff\xfe\x00\x01[\x80\x81]\n=\x9f\x00\n\x1b[Brackwold"s, "Size", 50},
        {"noise with a UTF-16 mark before a good section", "\xff\xfe\x00\x01\x02\n[Brackwold]\nSize=61\n"s, "Size",
         61},
        {"runs of empty lines of every kind", "\n\r\n\r\r\n[Brackwold]\r\r\n\n\nSize=71\n\n"s, "Size", 71},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        Store(profilePath, c.content);
        EXPECT_EQ(Expected(c.expected, c.layer), GetPrivateProfileIntA("Brackwold", c.key, 50, profilePath));
    }
    Store(profilePath, "[Brackwold]\nSize=70\n");
    EXPECT_EQ(50u, GetPrivateProfileIntA("Brackwold", NULL, 50, profilePath)) << "null key";
    EXPECT_EQ(50u, GetPrivateProfileIntA(NULL, "Size", 50, profilePath)) << "null section";
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

// Each write's result and the bytes it leaves, in a folder of the test's
// own where no temporary file may stay behind.
TEST(ProfileSemantics, WritesKeepEveryOtherLine)
{
    namespace fs = std::filesystem;
    const fs::path folder = "brkw-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name());
    const std::string path = (folder / "BRKW.ini").string();
    const std::string settings =
        "; Brackwold settings\n[Brackwold]\nPoly Resolution=15\nSize=50\nChar Delay=60\n\n[Other]\nSize=1\n";
    const struct {
        const char* what;
        std::string before;  // `missing`: no file at all
        const char* section;
        const char* key;
        const char* value;
        BOOL result;
        std::string after;  // `missing`: still no file
        Differs<std::string> layer = {};
    } cases[] = {
        {"creates the file", missing, "Brackwold", "Size", "70", TRUE, "[Brackwold]\nSize=70\n"},
        {"updates in place", settings, "Brackwold", "Size", "70", TRUE,
         "; Brackwold settings\n[Brackwold]\nPoly Resolution=15\nSize=70\nChar Delay=60\n\n[Other]\nSize=1\n"},
        {"adds a key after the section's last line", "[Brackwold]\nA=1\n\n[Other]\nB=2\n", "Brackwold", "Size",
         "70", TRUE, "[Brackwold]\nA=1\nSize=70\n\n[Other]\nB=2\n"},
        {"adds to an empty section", "[Brackwold]\n[Other]\nB=2\n", "Brackwold", "Size", "70", TRUE,
         "[Brackwold]\nSize=70\n[Other]\nB=2\n"},
        {"appends a section", "[Other]\nB=2\n", "Brackwold", "Size", "70", TRUE,
         "[Other]\nB=2\n\n[Brackwold]\nSize=70\n"},
        {"into an empty file", "", "Brackwold", "Size", "70", TRUE, "[Brackwold]\nSize=70\n"},
        {"keeps the key's spelling", "[brackwold]\nsize=50\n", "Brackwold", "Size", "70", TRUE,
         "[brackwold]\nsize=70\n"},
        {"only the first duplicate", "[Brackwold]\nSize=1\nSize=2\n", "Brackwold", "Size", "70", TRUE,
         "[Brackwold]\nSize=70\nSize=2\n"},
        {"keeps CRLF", "[Brackwold]\r\nSize=50\r\n", "Brackwold", "Char Delay", "90", TRUE,
         "[Brackwold]\r\nSize=50\r\nChar Delay=90\r\n"},
        {"keeps CR", "[Brackwold]\rSize=50\r", "Brackwold", "Size", "70", TRUE, "[Brackwold]\rSize=70\r"},
        {"mixed line ends become the first one", "[A]\r\nx=1\ny=2\rz=3", "A", "y", "5", TRUE,
         "[A]\r\nx=1\r\ny=5\r\nz=3\r\n"},
        {"adds before the empty lines that end the file", "[Brackwold]\nA=1\n\n\n", "Brackwold", "Size", "70", TRUE,
         "[Brackwold]\nA=1\nSize=70\n\n\n"},
        {"ends the last line", "[Brackwold]\nSize=5", "Brackwold", "Size", "70", TRUE, "[Brackwold]\nSize=70\n"},
        {"keeps the byte-order mark", "\xEF\xBB\xBF[Brackwold]\nSize=5\n", "Brackwold", "Size", "6", TRUE,
         "\xEF\xBB\xBF[Brackwold]\nSize=6\n"},
        {"keeps NUL bytes and odd lines", "\0\xff\n[Brackwold]\nno equals\nSize=5\n"s, "Brackwold", "Size", "6",
         TRUE, "\0\xff\n[Brackwold]\nno equals\nSize=6\n"s},
        {"blank value", "[Brackwold]\nSize=5\n", "Brackwold", "Size", "", TRUE, "[Brackwold]\nSize=\n"},
        {"null key deletes the section", "[A]\nx=1\n[Brackwold]\nSize=5\n; note\n[B]\ny=2\n", "Brackwold",
         NULL, NULL, TRUE, "[A]\nx=1\n[B]\ny=2\n"},
        {"null key deletes every copy", "[Brackwold]\nx=1\n[B]\n[brackwold]\ny=2\n", "Brackwold", NULL, NULL,
         TRUE, "[B]\n"},
        {"null value deletes the key", "[Brackwold]\nA=1\nSize=5\nB=2\n[C]\nSize=9\n", "Brackwold", "Size", NULL,
         TRUE, "[Brackwold]\nA=1\nB=2\n[C]\nSize=9\n"},
        {"null value deletes duplicates too", "[Brackwold]\nSize=5\nSize=6\n", "Brackwold", "size", NULL, TRUE,
         "[Brackwold]\n"},
        {"deleting from no file creates none", missing, "Brackwold", "Size", NULL, TRUE, missing},
        {"deleting a missing section", "[A]\nx=1", "Brackwold", NULL, NULL, TRUE, "[A]\nx=1"},
        {"a null section, key and value only flush", missing, NULL, NULL, NULL, TRUE, missing},
        {"value with a line break", "[Brackwold]\nSize=5\n", "Brackwold", "Size", "1\n[Evil]\nx=1", FALSE,
         "[Brackwold]\nSize=5\n"},
        {"key with an equals sign", "[Brackwold]\nSize=5\n", "Brackwold", "A=B", "1", FALSE, "[Brackwold]\nSize=5\n"},
        {"key starting a section", "[Brackwold]\nSize=5\n", "Brackwold", "[x", "1", FALSE, "[Brackwold]\nSize=5\n"},
        {"section with a bracket", "[Brackwold]\nSize=5\n", "Brack]wold", "Size", "1", FALSE,
         "[Brackwold]\nSize=5\n"},
        {"empty section name", "[Brackwold]\nSize=5\n", "", "Size", "1", FALSE, "[Brackwold]\nSize=5\n"},
        {"null section", "[Brackwold]\nSize=5\n", NULL, "Size", "1", FALSE, "[Brackwold]\nSize=5\n"},
    };
    fs::remove_all(folder);
    fs::create_directory(folder);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Store(path.c_str(), c.before);
        EXPECT_EQ(c.result, WritePrivateProfileStringA(c.section, c.key, c.value, path.c_str()));
        std::ifstream in(path, std::ios::binary);
        const std::string after = in ? std::string(std::istreambuf_iterator<char>(in), {}) : missing;
        in.close();
        EXPECT_EQ(Expected(c.after, c.layer), after);
        std::vector<std::string> listing;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            listing.push_back(entry.path().filename().string());
        EXPECT_EQ(after == missing ? std::vector<std::string>{} : std::vector<std::string>{"BRKW.ini"}, listing)
            << "no temporary file left behind";
    }
    fs::remove_all(folder);
}

}  // namespace
