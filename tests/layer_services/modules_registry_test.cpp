// The in-process module registry and registry keys.
#include "testing/doubles/sys_seams.h"

#include <gtest/gtest.h>

namespace {

int verifyCalls = 0;

BOOL WINAPI FakeVerify(HWND)
{
    ++verifyCalls;
    return TRUE;
}

HIMC WINAPI FakeAssociate(HWND, HIMC)
{
    return nullptr;
}

class Modules : public ::testing::Test {
protected:
    void SetUp() override
    {
        w32test::RegisterModule("PASSWORD.CPL", {{"VerifyScreenSavePwd", w32test::AsFarProc(&FakeVerify)}});
        w32test::RegisterModule("IMM32.DLL", {{"ImmAssociateContext", w32test::AsFarProc(&FakeAssociate)}});
    }
    void TearDown() override { w32test::UnregisterAllModules(); }
};

TEST_F(Modules, LoadLookUpAndFreeCountReferences)
{
    HMODULE first = LoadLibraryA("PASSWORD.CPL");
    ASSERT_NE(nullptr, first);
    HMODULE second = LoadLibraryA("password.cpl");
    EXPECT_EQ(first, second);
    EXPECT_EQ(2, w32test::ModuleReferenceCount("PASSWORD.CPL"));

    typedef BOOL(WINAPI * VerifyProc)(HWND);
    VerifyProc verify = reinterpret_cast<VerifyProc>(
        reinterpret_cast<void (*)(void)>(GetProcAddress(first, "VerifyScreenSavePwd")));
    ASSERT_NE(nullptr, verify);
    verifyCalls = 0;
    EXPECT_TRUE(verify(nullptr));
    EXPECT_EQ(1, verifyCalls);
    EXPECT_EQ(nullptr, GetProcAddress(first, "verifyscreensavepwd")) << "entry points are case-sensitive";
    EXPECT_EQ(nullptr, GetProcAddress(first, "PwdChangePasswordA"));
    EXPECT_EQ(nullptr, GetProcAddress(first, MAKEINTRESOURCEA(1))) << "no ordinals";
    EXPECT_EQ(nullptr, GetProcAddress(first, nullptr));

    EXPECT_EQ(first, GetModuleHandleA("Password.Cpl"));
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_EQ(first, GetModuleHandleA("PASSWORD.CPL")) << "one reference left";
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_EQ(nullptr, GetModuleHandleA("PASSWORD.CPL"));
    EXPECT_EQ(nullptr, GetProcAddress(first, "VerifyScreenSavePwd")) << "unloaded";
    EXPECT_FALSE(FreeLibrary(first));
    EXPECT_EQ(0, w32test::ModuleReferenceCount("PASSWORD.CPL"));
}

TEST_F(Modules, NamesFollowTheWindowsLoader)
{
    const struct {
        const char* name;
        bool found;
    } cases[] = {
        {"IMM32.DLL", true}, {"imm32.dll", true}, {"IMM32", true}, {"C:\\Windows\\System32\\imm32.dll", true},
        {"IMM32.", false},   {"IMM3", false},     {"", false},     {"MPR.DLL", false},
    };
    for (const auto& c : cases) {
        HMODULE module = LoadLibraryA(c.name);
        EXPECT_EQ(c.found, module != nullptr) << c.name;
        if (module)
            FreeLibrary(module);
    }
    EXPECT_EQ(nullptr, LoadLibraryA(nullptr));
}

TEST_F(Modules, HandleFindsOnlyLoadedModules)
{
    EXPECT_EQ(nullptr, GetModuleHandleA("IMM32.DLL")) << "registered, not loaded";
    w32test::MarkModuleLoaded("IMM32.DLL");
    HMODULE imm = GetModuleHandleA("IMM32.DLL");
    ASSERT_NE(nullptr, imm);
    EXPECT_NE(nullptr, GetProcAddress(imm, "ImmAssociateContext"));
    EXPECT_EQ(nullptr, GetModuleHandleA("NOSUCH.DLL"));

    HMODULE self = GetModuleHandleA(nullptr);
    EXPECT_NE(nullptr, self);
    EXPECT_EQ(self, GetModuleHandleA(nullptr));
    EXPECT_NE(self, imm);
    EXPECT_EQ(nullptr, GetProcAddress(self, "VerifyScreenSavePwd"));
}

TEST_F(Modules, UnregisteredModulesAndStaleHandlesFail)
{
    HMODULE password = LoadLibraryA("PASSWORD.CPL");
    ASSERT_NE(nullptr, password);
    w32test::UnregisterModule("PASSWORD.CPL");
    EXPECT_EQ(nullptr, LoadLibraryA("PASSWORD.CPL"));
    EXPECT_EQ(nullptr, GetProcAddress(password, "VerifyScreenSavePwd"));
    EXPECT_FALSE(FreeLibrary(password));
    EXPECT_EQ(-1, w32test::ModuleReferenceCount("PASSWORD.CPL"));
    EXPECT_EQ(nullptr, GetProcAddress(reinterpret_cast<HMODULE>(0x1234), "VerifyScreenSavePwd"));
}

class Registry : public ::testing::Test {
protected:
    void SetUp() override
    {
        w32test::ClearRegistry();
        w32test::SetRegistryDword(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword", 1);
    }
    void TearDown() override { w32test::ClearRegistry(); }
};

TEST_F(Registry, OpensOnlyRegisteredKeys)
{
    const struct {
        HKEY root;
        const char* path;
        LONG result;
    } cases[] = {
        {HKEY_CURRENT_USER, "Control Panel\\Desktop", ERROR_SUCCESS},
        {HKEY_CURRENT_USER, "control panel\\DESKTOP", ERROR_SUCCESS},
        {HKEY_CURRENT_USER, "Control Panel", ERROR_SUCCESS},
        {HKEY_CURRENT_USER, "", ERROR_SUCCESS},
        {HKEY_CURRENT_USER, "Control Panel\\Colors", ERROR_FILE_NOT_FOUND},
        {HKEY_CURRENT_USER, "Desktop", ERROR_FILE_NOT_FOUND},
        {reinterpret_cast<HKEY>(static_cast<intptr_t>(INT32_MIN + 2)), "Control Panel\\Desktop",
         ERROR_FILE_NOT_FOUND},
        {reinterpret_cast<HKEY>(0x5678), "Control Panel\\Desktop", ERROR_INVALID_HANDLE},
    };
    for (const auto& c : cases) {
        HKEY key = reinterpret_cast<HKEY>(0x1);
        EXPECT_EQ(c.result, RegOpenKeyExA(c.root, c.path, 0, KEY_READ, &key)) << c.path;
        if (c.result == ERROR_SUCCESS) {
            EXPECT_NE(nullptr, key);
            EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
        } else {
            EXPECT_EQ(nullptr, key);
        }
    }
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel", 0, KEY_READ, nullptr));
}

TEST_F(Registry, QueriesReportTypeAndSize)
{
    HKEY desktop = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &desktop));

    DWORD value = 0, size = sizeof value, type = 0;
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size));
    EXPECT_EQ(1u, value);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(4u, size);

    BYTE small[2] = {0xEE, 0xEE};
    size = sizeof small;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(desktop, "screensaveusepassword", nullptr, nullptr, small, &size));
    EXPECT_EQ(4u, size);
    EXPECT_EQ(0xEE, small[0]) << "nothing copied";

    size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(4u, size);

    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(desktop, "ScreenSaveTimeOut", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, nullptr, small, nullptr));

    w32test::SetRegistryValue(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Wallpaper", REG_SZ,
                              {'a', '.', 'b', 'm', 'p', 0});
    char text[16];
    size = sizeof text;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(desktop, "Wallpaper", nullptr, &type, reinterpret_cast<LPBYTE>(text), &size));
    EXPECT_STREQ("a.bmp", text);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);

    w32test::RemoveRegistryValue(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword");
    size = sizeof value;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, nullptr,
                                                     reinterpret_cast<LPBYTE>(&value), &size));

    w32test::RemoveRegistryKey(HKEY_CURRENT_USER, "Control Panel");
    EXPECT_EQ(ERROR_KEY_DELETED, RegQueryValueExA(desktop, "Wallpaper", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(desktop));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(desktop));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegQueryValueExA(desktop, "Wallpaper", nullptr, nullptr, nullptr, &size));
    HKEY again = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &again));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(HKEY_CURRENT_USER)) << "predefined keys close quietly";
}

TEST_F(Registry, SubkeysOpenRelativeToAnOpenKey)
{
    HKEY panel = nullptr, desktop = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel", 0, KEY_READ, &panel));
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(panel, "Desktop", 0, KEY_READ, &desktop));
    DWORD value = 0, size = sizeof value;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, nullptr,
                                              reinterpret_cast<LPBYTE>(&value), &size));
    EXPECT_EQ(1u, value);
    RegCloseKey(desktop);
    RegCloseKey(panel);
}

}  // namespace
