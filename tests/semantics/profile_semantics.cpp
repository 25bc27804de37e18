// Private-profile reads as tables of file contents and expected results,
// writes as the bytes they leave, and writes read back. Built twice: against
// our layer and, with MinGW, against Windows itself (run under Wine), so the
// expected values are Windows' own; where the layer knowingly differs, the
// row names the difference and the layer's own result. What needs the
// layer's insides or POSIX files (the config folder, permissions, links,
// the size limit) stays in tests/layer_services/profile_test.cpp.
#include "tests/semantics/semantics.h"

#include <clocale>
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

// A fresh empty folder of the test's own.
std::filesystem::path TestFolder()
{
    const std::filesystem::path folder =
        "brkw-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    return folder;
}

// The file's bytes, `missing` when there is none.
std::string Load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : missing;
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
         50, {61, "the layer reads 8-bit files only, where Windows takes a leading FF FE as UTF-16"}},
        {"runs of empty lines of every kind", "\n\r\n\r\r\n[Brackwold]\r\r\n\n\nSize=71\n\n"s, "Size", 71},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        Store(profilePath, c.content);
        EXPECT_EQ(Expected(c.expected, c.layer), GetPrivateProfileIntA("Brackwold", c.key, 50, profilePath));
    }
    // Windows reads the list of names a null name asks for as a number.
    const Differs<UINT> nullName = {50, "the layer gives the default for a null name"};
    Store(profilePath, "[Brackwold]\nSize=70\n");
    EXPECT_EQ(Expected(0u, nullName), GetPrivateProfileIntA("Brackwold", NULL, 50, profilePath)) << "null key";
    EXPECT_EQ(Expected(0u, nullName), GetPrivateProfileIntA(NULL, "Size", 50, profilePath)) << "null section";
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

// What a write returned and the bytes it left (`missing`: no file).
struct Written {
    BOOL result;
    std::string bytes;
    bool operator==(const Written& other) const { return result == other.result && bytes == other.bytes; }
};

std::ostream& operator<<(std::ostream& out, const Written& w)
{
    return out << (w.result ? "TRUE, " : "FALSE, ") << ::testing::PrintToString(w.bytes);
}

// Each write's result and the bytes it leaves, in a folder of the test's
// own where no temporary file may stay behind.
TEST(ProfileSemantics, WritesKeepEveryOtherLine)
{
    namespace fs = std::filesystem;
    const fs::path folder = TestFolder();
    const std::string path = (folder / "BRKW.ini").string();
    const char* const lines = "the layer keeps a file's own line ends and empty lines and writes LF where Windows "
                              "rewrites every line with CRLF";
    const char* const copies = "the layer deletes every copy of the section or key, Windows the first";
    const char* const forged = "the layer refuses a name or value that would forge another line or section";
    const std::string settings =
        "; Brackwold settings\n[Brackwold]\nPoly Resolution=15\nSize=50\nChar Delay=60\n\n[Other]\nSize=1\n";
    const struct {
        const char* what;
        std::string before;  // `missing`: no file at all
        const char* section;
        const char* key;
        const char* value;
        Written windows;
        Differs<Written> layer = {};
    } cases[] = {
        {"creates the file", missing, "Brackwold", "Size", "70", {TRUE, "[Brackwold]\r\nSize=70\r\n"},
         {{TRUE, "[Brackwold]\nSize=70\n"}, lines}},
        {"updates in place", settings, "Brackwold", "Size", "70",
         {TRUE, "; Brackwold settings\r\n[Brackwold]\r\nPoly Resolution=15\r\nSize=70\r\nChar Delay=60\r\n[Other]\r\n"
                "Size=1\r\n"},
         {{TRUE, "; Brackwold settings\n[Brackwold]\nPoly Resolution=15\nSize=70\nChar Delay=60\n\n[Other]\nSize=1\n"},
          lines}},
        {"adds a key after the section's last line", "[Brackwold]\nA=1\n\n[Other]\nB=2\n", "Brackwold", "Size", "70",
         {TRUE, "[Brackwold]\r\nA=1\r\nSize=70\r\n[Other]\r\nB=2\r\n"},
         {{TRUE, "[Brackwold]\nA=1\nSize=70\n\n[Other]\nB=2\n"}, lines}},
        {"adds to an empty section", "[Brackwold]\n[Other]\nB=2\n", "Brackwold", "Size", "70",
         {TRUE, "[Brackwold]\r\nSize=70\r\n[Other]\r\nB=2\r\n"},
         {{TRUE, "[Brackwold]\nSize=70\n[Other]\nB=2\n"}, lines}},
        {"appends a section", "[Other]\nB=2\n", "Brackwold", "Size", "70",
         {TRUE, "[Other]\r\nB=2\r\n[Brackwold]\r\nSize=70\r\n"},
         {{TRUE, "[Other]\nB=2\n\n[Brackwold]\nSize=70\n"}, lines}},
        {"into an empty file", "", "Brackwold", "Size", "70", {TRUE, "[Brackwold]\r\nSize=70\r\n"},
         {{TRUE, "[Brackwold]\nSize=70\n"}, lines}},
        {"keeps the key's spelling", "[brackwold]\nsize=50\n", "Brackwold", "Size", "70",
         {TRUE, "[brackwold]\r\nsize=70\r\n"}, {{TRUE, "[brackwold]\nsize=70\n"}, lines}},
        {"only the first duplicate", "[Brackwold]\nSize=1\nSize=2\n", "Brackwold", "Size", "70",
         {TRUE, "[Brackwold]\r\nSize=70\r\nSize=2\r\n"}, {{TRUE, "[Brackwold]\nSize=70\nSize=2\n"}, lines}},
        {"keeps CRLF", "[Brackwold]\r\nSize=50\r\n", "Brackwold", "Char Delay", "90",
         {TRUE, "[Brackwold]\r\nSize=50\r\nChar Delay=90\r\n"}},
        {"keeps CR", "[Brackwold]\rSize=50\r", "Brackwold", "Size", "70", {TRUE, "[Brackwold]\r\nSize=70\r\n"},
         {{TRUE, "[Brackwold]\rSize=70\r"}, lines}},
        {"mixed line ends become the first one", "[A]\r\nx=1\ny=2\rz=3", "A", "y", "5",
         {TRUE, "[A]\r\nx=1\r\ny=5\r\nz=3\r\n"}},
        {"adds before the empty lines that end the file", "[Brackwold]\nA=1\n\n\n", "Brackwold", "Size", "70",
         {TRUE, "[Brackwold]\r\nA=1\r\nSize=70\r\n"}, {{TRUE, "[Brackwold]\nA=1\nSize=70\n\n\n"}, lines}},
        {"ends the last line", "[Brackwold]\nSize=5", "Brackwold", "Size", "70", {TRUE, "[Brackwold]\r\nSize=70\r\n"},
         {{TRUE, "[Brackwold]\nSize=70\n"}, lines}},
        {"keeps the byte-order mark", "\xEF\xBB\xBF[Brackwold]\nSize=5\n", "Brackwold", "Size", "6",
         {TRUE, "\xEF\xBB\xBF[Brackwold]\r\nSize=6\r\n"}, {{TRUE, "\xEF\xBB\xBF[Brackwold]\nSize=6\n"}, lines}},
        {"keeps NUL bytes and odd lines", "\0\xff\n[Brackwold]\nno equals\nSize=5\n"s, "Brackwold", "Size", "6",
         {TRUE, "\r\n[Brackwold]\r\nno equals\r\nSize=6\r\n"},
         {{TRUE, "\0\xff\n[Brackwold]\nno equals\nSize=6\n"s}, lines}},
        {"blank value", "[Brackwold]\nSize=5\n", "Brackwold", "Size", "", {TRUE, "[Brackwold]\r\nSize=\r\n"},
         {{TRUE, "[Brackwold]\nSize=\n"}, lines}},
        {"null key deletes the section", "[A]\nx=1\n[Brackwold]\nSize=5\n; note\n[B]\ny=2\n", "Brackwold", NULL, NULL,
         {TRUE, "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"}, {{TRUE, "[A]\nx=1\n[B]\ny=2\n"}, lines}},
        {"null key deletes a copy", "[Brackwold]\nx=1\n[B]\n[brackwold]\ny=2\n", "Brackwold", NULL, NULL,
         {TRUE, "[B]\r\n[brackwold]\r\ny=2\r\n"}, {{TRUE, "[B]\n"}, copies}},
        {"null value deletes the key", "[Brackwold]\nA=1\nSize=5\nB=2\n[C]\nSize=9\n", "Brackwold", "Size", NULL,
         {TRUE, "[Brackwold]\r\nA=1\r\nB=2\r\n[C]\r\nSize=9\r\n"},
         {{TRUE, "[Brackwold]\nA=1\nB=2\n[C]\nSize=9\n"}, lines}},
        {"null value deletes a duplicate", "[Brackwold]\nSize=5\nSize=6\n", "Brackwold", "size", NULL,
         {TRUE, "[Brackwold]\r\nSize=6\r\n"}, {{TRUE, "[Brackwold]\n"}, copies}},
        {"deleting from no file creates none", missing, "Brackwold", "Size", NULL, {TRUE, missing}},
        {"deleting a missing section", "[A]\nx=1", "Brackwold", NULL, NULL, {TRUE, "[A]\nx=1"}},
        {"a null section, key and value only flush", missing, NULL, NULL, NULL, {FALSE, missing},
         {{TRUE, missing}, "the layer reports a flush of nothing as done"}},
        {"value with a line break", "[Brackwold]\nSize=5\n", "Brackwold", "Size", "1\n[Evil]\nx=1",
         {TRUE, "[Brackwold]\r\nSize=1\n[Evil]\nx=1\r\n"}, {{FALSE, "[Brackwold]\nSize=5\n"}, forged}},
        {"key with an equals sign", "[Brackwold]\nSize=5\n", "Brackwold", "A=B", "1",
         {TRUE, "[Brackwold]\r\nSize=5\r\nA=B=1\r\n"}, {{FALSE, "[Brackwold]\nSize=5\n"}, forged}},
        {"key starting a section", "[Brackwold]\nSize=5\n", "Brackwold", "[x", "1",
         {TRUE, "[Brackwold]\r\nSize=5\r\n[x=1\r\n"}, {{FALSE, "[Brackwold]\nSize=5\n"}, forged}},
        {"section with a bracket", "[Brackwold]\nSize=5\n", "Brack]wold", "Size", "1",
         {TRUE, "[Brackwold]\r\nSize=5\r\n[Brack]wold]\r\nSize=1\r\n"}, {{FALSE, "[Brackwold]\nSize=5\n"}, forged}},
        {"empty section name", "[Brackwold]\nSize=5\n", "", "Size", "1", {TRUE, "Size=1\r\n[Brackwold]\r\nSize=5\r\n"},
         {{FALSE, "[Brackwold]\nSize=5\n"}, forged}},
        {"null section", "[Brackwold]\nSize=5\n", NULL, "Size", "1", {FALSE, "[Brackwold]\nSize=5\n"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Store(path.c_str(), c.before);
        BOOL result = WritePrivateProfileStringA(c.section, c.key, c.value, path.c_str());
        Written written = {result, Load(path)};
        EXPECT_EQ(Expected(c.windows, c.layer), written);
        std::vector<std::string> listing;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            listing.push_back(entry.path().filename().string());
        EXPECT_EQ(written.bytes == missing ? std::vector<std::string>{} : std::vector<std::string>{"BRKW.ini"}, listing)
            << "no temporary file left behind";
    }
    fs::remove_all(folder);
}

TEST(ProfileSemantics, FileSystemObstaclesFailWithoutDamage)
{
    namespace fs = std::filesystem;
    const fs::path folder = TestFolder();
    // The file's place is taken by a folder.
    const std::string inPlace = (folder / "BRKW.ini").string();
    fs::create_directories(inPlace);
    EXPECT_EQ(50u, GetPrivateProfileIntA("Brackwold", "Size", 50, inPlace.c_str()));
    EXPECT_FALSE(WritePrivateProfileStringA("Brackwold", "Size", "70", inPlace.c_str()));
    EXPECT_TRUE(fs::is_directory(inPlace));

    // A path through a regular file: no file to read, no folder to create.
    const std::string blocker = (folder / "blocker").string(), through = (folder / "blocker/sub/BRKW.ini").string();
    Store(blocker.c_str(), "x");
    EXPECT_EQ(50u, GetPrivateProfileIntA("Brackwold", "Size", 50, through.c_str()));
    EXPECT_FALSE(WritePrivateProfileStringA("Brackwold", "Size", "70", through.c_str()));
    EXPECT_EQ("x", Load(blocker));
    fs::remove_all(folder);
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
