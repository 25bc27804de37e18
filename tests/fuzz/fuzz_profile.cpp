// The private-profile reader and writer on arbitrary file contents and
// names. Besides surviving, a write that reports success must read back:
// a number written is the number read, a deleted key or section gives the
// default.
#include "platform/win32.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// tmpfs: every write syncs the file and its folder.
const std::string& ProfileFile()
{
    static std::string path = [] {
        static char folder[] = "/dev/shm/brkw-fuzz-profile-XXXXXX";
        if (!mkdtemp(folder))
            abort();
        atexit([] { std::filesystem::remove_all(folder); });
        return std::string(folder) + "/fuzz.ini";
    }();
    return path;
}

void Store(const std::string& bytes)
{
    FILE* file = fopen(ProfileFile().c_str(), "wb");
    if (!file)
        abort();
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

UINT Read(const std::string& section, const std::string& key, INT fallback)
{
    return GetPrivateProfileIntA(section.c_str(), key.c_str(), fallback, ProfileFile().c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    std::string section = input.ConsumeRandomLengthString(32);
    std::string key = input.ConsumeRandomLengthString(32);
    std::string value = input.ConsumeRandomLengthString(32);
    int number = input.ConsumeIntegral<int>();
    Store(input.ConsumeRemainingBytesAsString());
    const char* file = ProfileFile().c_str();

    Read(section, key, 7);
    WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file);
    Read(section, key, 7);

    if (WritePrivateProfileStringA(section.c_str(), key.c_str(), std::to_string(number).c_str(), file) &&
        Read(section, key, 7) != (UINT)number)
        abort();
    if (WritePrivateProfileStringA(section.c_str(), key.c_str(), NULL, file) && Read(section, key, 7) != 7)
        abort();
    if (WritePrivateProfileStringA(section.c_str(), NULL, NULL, file) && Read(section, key, 8) != 8)
        abort();
    return 0;
}
