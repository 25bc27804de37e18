// The program's own module table and registry, linked here as the program
// links them (without the doubles the other tests fill): nothing is there.
#include "platform/win32.h"

#include <gtest/gtest.h>

namespace {

const HKEY notAKey = reinterpret_cast<HKEY>(0x5678);
const HKEY localMachine = reinterpret_cast<HKEY>(static_cast<intptr_t>(INT32_MIN + 2));

TEST(EmptyTables, TheRegistryHoldsNoKeyAndTheModuleTableNoModule)
{
    const struct {
        HKEY root;
        const char* path;
        LONG open, query;
    } keys[] = {
        {HKEY_CURRENT_USER, "Control Panel\\Desktop", ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND},
        {localMachine, "Software", ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND},
        {HKEY_CURRENT_USER, "", ERROR_SUCCESS, ERROR_FILE_NOT_FOUND},
        {notAKey, "Control Panel\\Desktop", ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE},
    };
    for (const auto& k : keys) {
        SCOPED_TRACE(k.path);
        HKEY key = notAKey;
        EXPECT_EQ(k.open, RegOpenKeyExA(k.root, k.path, 0, KEY_READ, &key));
        EXPECT_EQ(k.open == ERROR_SUCCESS ? k.root : nullptr, key);
        DWORD value = 7, size = sizeof value;
        EXPECT_EQ(k.query, RegQueryValueExA(k.root, "ScreenSaveUsePassword", nullptr, nullptr,
                                            reinterpret_cast<LPBYTE>(&value), &size));
        EXPECT_EQ(7u, value);
        EXPECT_EQ(k.root == notAKey ? ERROR_INVALID_HANDLE : ERROR_SUCCESS, RegCloseKey(k.root));
    }
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, nullptr));

    for (const char* name : {"PASSWORD.CPL", "IMM32.DLL", "imm32", "c:\\windows\\system32\\kernel32.dll"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(nullptr, LoadLibraryA(name));
        EXPECT_EQ(nullptr, GetModuleHandleA(name));
    }
    HMODULE self = GetModuleHandleA(nullptr);
    ASSERT_NE(nullptr, self);
    EXPECT_EQ(nullptr, GetProcAddress(self, "VerifyScreenSavePwd"));
    EXPECT_TRUE(FreeLibrary(self));
    EXPECT_FALSE(FreeLibrary(reinterpret_cast<HMODULE>(0x10000)));
}

}  // namespace
