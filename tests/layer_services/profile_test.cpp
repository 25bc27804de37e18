// Private-profile files where they need the layer's insides or POSIX files:
// the config folder, the size limit, and the cases where the file system
// stands in the way. The read and write rules themselves run against
// Windows too (tests/semantics/profile_semantics.cpp).
#include "platform/win32.h"
#include "tests/layer_services/unprivileged.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/brkw-profile.XXXXXX";
        root = mkdtemp(pattern);
        SaveEnv("XDG_CONFIG_HOME", &savedXdg);
        SaveEnv("HOME", &savedHome);
        setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
        folder = root + "/config/brackwold";
        file = folder + "/BRKW.ini";
    }

    void TearDown() override
    {
        RestoreEnv("XDG_CONFIG_HOME", savedXdg);
        RestoreEnv("HOME", savedHome);
        std::string command = "chmod -R u+rwx '" + root + "' && rm -rf '" + root + "'";
        ASSERT_EQ(0, system(command.c_str()));
    }

    static void SaveEnv(const char* name, std::string* saved)
    {
        const char* value = getenv(name);
        *saved = value ? value : "\x01unset";
    }

    static void RestoreEnv(const char* name, const std::string& saved)
    {
        if (saved == "\x01unset")
            unsetenv(name);
        else
            setenv(name, saved.c_str(), 1);
    }

    static void WriteBytes(const std::string& path, const std::string& bytes)
    {
        std::string command = "mkdir -p \"$(dirname '" + path + "')\"";
        ASSERT_EQ(0, system(command.c_str()));
        std::ofstream out(path, std::ios::binary);
        out << bytes;
    }

    static std::string ReadBytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    static bool Exists(const std::string& path)
    {
        struct stat info;
        return lstat(path.c_str(), &info) == 0;
    }

    // Names in a folder other than "." and "..".
    static std::vector<std::string> Listing(const std::string& path)
    {
        std::vector<std::string> names;
        if (DIR* dir = opendir(path.c_str())) {
            while (dirent* entry = readdir(dir))
                if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
                    names.push_back(entry->d_name);
            closedir(dir);
        }
        return names;
    }

    std::string root, folder, file, savedXdg, savedHome;
};

// A bare name's folder under the config home is made by the first write.
TEST_F(ProfileTest, FirstWriteCreatesTheConfigFolder)
{
    ASSERT_FALSE(Exists(folder));
    EXPECT_TRUE(WritePrivateProfileStringA("Brackwold", "Size", "70", "BRKW.ini"));
    EXPECT_EQ("[Brackwold]\nSize=70\n", ReadBytes(file));
    EXPECT_EQ(std::vector<std::string>{"BRKW.ini"}, Listing(folder)) << "no temporary file left behind";
}

TEST_F(ProfileTest, BareNamesResolveUnderTheConfigHome)
{
    WriteBytes(root + "/home/.config/brackwold/BRKW.ini", "[Brackwold]\nSize=11\n");
    WriteBytes(root + "/xdg/brackwold/BRKW.ini", "[Brackwold]\nSize=22\n");
    WriteBytes(root + "/plain.ini", "[Brackwold]\nSize=33\n");
    setenv("HOME", (root + "/home").c_str(), 1);

    setenv("XDG_CONFIG_HOME", (root + "/xdg").c_str(), 1);
    EXPECT_EQ(22u, GetPrivateProfileIntA("Brackwold", "Size", 50, "BRKW.ini"));
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(11u, GetPrivateProfileIntA("Brackwold", "Size", 50, "BRKW.ini"));
    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(11u, GetPrivateProfileIntA("Brackwold", "Size", 50, "BRKW.ini"));
    EXPECT_EQ(33u, GetPrivateProfileIntA("Brackwold", "Size", 50, (root + "/plain.ini").c_str()));

    unsetenv("XDG_CONFIG_HOME");
    ASSERT_TRUE(WritePrivateProfileStringA("Brackwold", "Sounds", "0", "NEW.ini"));
    EXPECT_EQ("[Brackwold]\nSounds=0\n", ReadBytes(root + "/home/.config/brackwold/NEW.ini"));

    // Without HOME the home is the password database's; a user it does not
    // know has none, and nothing is read from or written under "/".
    char folderName[MAX_PATH];
    for (const char* home : {"", "\x01unset"}) {
        RestoreEnv("HOME", home);
        ASSERT_NE(0u, GetWindowsDirectoryA(folderName, sizeof folderName));
        EXPECT_EQ(std::string(getpwuid(getuid())->pw_dir) + "/.config/brackwold", folderName) << "HOME=" << home;
    }
    uid_t stranger = 54321;
    while (getpwuid(stranger))
        ++stranger;
    if (geteuid() != 0)
        GTEST_SKIP() << "becoming a user without a password entry needs root";
    RunUnprivileged(root, [&] {
        EXPECT_EQ(0u, GetWindowsDirectoryA(folderName, sizeof folderName));
        EXPECT_EQ(50u, GetPrivateProfileIntA("Brackwold", "Size", 50, "BRKW.ini"));
        EXPECT_FALSE(WritePrivateProfileStringA("Brackwold", "Size", "70", "BRKW.ini"));
        EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());
    }, stranger);
}

// The reader refuses a file over 16 MiB, so no write may make one.
TEST_F(ProfileTest, WritesStayWithinTheSizeTheReaderTakes)
{
    const size_t limit = 16u << 20;
    // Each file: the head, then empty lines up to its size.
    const struct { const char* what; std::string head; size_t size; BOOL result; } cases[] = {
        {"a change that keeps the file at the limit", "[Brackwold]\nSize=50\n", limit, TRUE},
        {"a longer value past the limit", "[Brackwold]\nSize=5\n", limit, FALSE},
        {"a new section past the limit", "", limit, FALSE},
        {"a file already past the limit", "[Brackwold]\nSize=50\n", limit + 1, FALSE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string before = c.head + std::string(c.size - c.head.size(), '\n');
        WriteBytes(file, before);
        SetLastError(0);
        EXPECT_EQ(c.result, WritePrivateProfileStringA("Brackwold", "Size", "70", "BRKW.ini"));
        if (c.result) {
            EXPECT_EQ(70u, GetPrivateProfileIntA("Brackwold", "Size", 50, "BRKW.ini"));
        } else {
            EXPECT_EQ(ERROR_FILE_TOO_LARGE, GetLastError());
            EXPECT_TRUE(ReadBytes(file) == before) << "the file is left as it was";
        }
        EXPECT_EQ(std::vector<std::string>{"BRKW.ini"}, Listing(folder)) << "no temporary file left behind";
    }
}

// A folder in the file's place and a path through a regular file run
// against Windows too (tests/semantics).
TEST_F(ProfileTest, APipeNeitherHangsTheReaderNorIsReplaced)
{
    std::string pipe = root + "/pipe.ini";
    ASSERT_EQ(0, mkfifo(pipe.c_str(), 0600));
    EXPECT_EQ(50u, GetPrivateProfileIntA("Brackwold", "Size", 50, pipe.c_str()));
    EXPECT_FALSE(WritePrivateProfileStringA("Brackwold", "Size", "70", pipe.c_str()));
}

TEST_F(ProfileTest, PermissionsStandInTheWay)
{
    WriteBytes(file, "[Brackwold]\nSize=70\n");
    RunUnprivileged(root, [&] {
        ASSERT_EQ(0, chmod(file.c_str(), 0));
        EXPECT_EQ(50u, GetPrivateProfileIntA("Brackwold", "Size", 50, "BRKW.ini"));
        EXPECT_FALSE(WritePrivateProfileStringA("Brackwold", "Sounds", "0", "BRKW.ini")) << "would lose the file";
        EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
        ASSERT_EQ(0, chmod(file.c_str(), 0600));
        ASSERT_EQ(0, chmod(folder.c_str(), 0500));
        EXPECT_EQ(70u, GetPrivateProfileIntA("Brackwold", "Size", 50, "BRKW.ini"));
        EXPECT_FALSE(WritePrivateProfileStringA("Brackwold", "Size", "80", "BRKW.ini"));
        EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
        EXPECT_EQ("[Brackwold]\nSize=70\n", ReadBytes(file));
        ASSERT_EQ(0, chmod(folder.c_str(), 0700));
        ASSERT_EQ(0, chmod(root.c_str(), 0500));
        EXPECT_EQ(70u, GetPrivateProfileIntA("Brackwold", "Size", 50, "BRKW.ini"));
    });
}

TEST_F(ProfileTest, WritingKeepsModeOwnerAndLinks)
{
    WriteBytes(file, "[Brackwold]\nSize=50\n");
    ASSERT_EQ(0, chmod(file.c_str(), 0640));
    const bool privileged = geteuid() == 0;  // may give a file to another owner and group
    if (privileged)
        ASSERT_EQ(0, chown(file.c_str(), 4321, 4322));
    ASSERT_TRUE(WritePrivateProfileStringA("Brackwold", "Size", "70", "BRKW.ini"));
    struct stat info;
    ASSERT_EQ(0, stat(file.c_str(), &info));
    EXPECT_EQ(0640u, info.st_mode & 07777);
    if (privileged)
        EXPECT_TRUE(info.st_uid == 4321 && info.st_gid == 4322) << info.st_uid << ":" << info.st_gid;

    std::string link = root + "/link.ini";
    ASSERT_EQ(0, symlink(file.c_str(), link.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Brackwold", "Size", "80", link.c_str()));
    ASSERT_EQ(0, lstat(link.c_str(), &info));
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ("[Brackwold]\nSize=80\n", ReadBytes(file));
}

// A save killed before its rename leaves its temporary file; the next save
// removes such files, but not one a writer still holds (locked) nor a name
// that only looks alike.
TEST_F(ProfileTest, WritesRemoveStaleTemporariesOnly)
{
    const struct { std::string name; bool stale; } files[] = {{".BRKW.ini.a1B2c3", true}, {".BRKW.ini.held01", false},
        {".BRKW.ini.abc", false}, {".BRKW.ini.abcdefg", false}, {".OTHER.ini.abcdef", false}};
    for (const auto& f : files)
        WriteBytes(folder + "/" + f.name, std::string(1 << 20, 'x'));
    int writer = open((folder + "/.BRKW.ini.held01").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(0, flock(writer, LOCK_EX));
    EXPECT_TRUE(WritePrivateProfileStringA("Brackwold", "Size", "70", "BRKW.ini"));
    close(writer);
    for (const auto& f : files)
        EXPECT_NE(f.stale, Exists(folder + "/" + f.name)) << f.name;
}

// Windows refuses to write a read-only file, whoever asks (Wine run as root
// does not, so this case cannot be held against it under Wine).
TEST_F(ProfileTest, ReadOnlyFileIsRefused)
{
    WriteBytes(file, "[Brackwold]\nSize=70\n");
    ASSERT_EQ(0, chmod(file.c_str(), 0444));
    EXPECT_FALSE(WritePrivateProfileStringA("Brackwold", "Size", "80", "BRKW.ini"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ("[Brackwold]\nSize=70\n", ReadBytes(file));
}

}  // namespace
