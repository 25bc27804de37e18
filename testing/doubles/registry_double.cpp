// The test double of the registry's store: keys and values that a test
// registered in-process, nothing stored between runs. The Win32 functions
// are the layer's own (platform/posix/registry.cpp); linked into the tests,
// tools and benchmarks in place of the program's empty store
// (platform/posix/devices/registry_store.cpp).
#include "platform/posix/devices.h"
#include "platform/posix/sys_internal.h"
#include "testing/doubles/sys_seams.h"

#include <string.h>

#include <map>

namespace {

using w32::devices::RegistryValue;

std::map<std::string, std::map<std::string, RegistryValue>> keys;  // path -> upper-case value name -> value

void CreateKeyWithParents(const std::string& path)
{
    for (size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', slash + 1))
        keys[path.substr(0, slash)];
    keys[path];
}

}  // namespace

namespace w32::devices {

bool RegistryKeyExists(const std::string& path)
{
    return keys.count(path) > 0;
}

const RegistryValue* FindRegistryValue(const std::string& path, const std::string& upperName)
{
    auto key = keys.find(path);
    if (key == keys.end())
        return nullptr;
    auto value = key->second.find(upperName);
    return value == key->second.end() ? nullptr : &value->second;
}

}  // namespace w32::devices

namespace w32test {

void SetRegistryValue(HKEY root, const std::string& keyPath, const std::string& valueName, DWORD type,
                      const std::vector<BYTE>& data)
{
    std::string path = w32::RegistryPath(root, keyPath.c_str());
    CreateKeyWithParents(path);
    keys[path][w32::UpperCase(valueName)] = RegistryValue{type, data};
}

void SetRegistryDword(HKEY root, const std::string& keyPath, const std::string& valueName, DWORD value)
{
    std::vector<BYTE> bytes(sizeof value);
    memcpy(bytes.data(), &value, sizeof value);
    SetRegistryValue(root, keyPath, valueName, REG_DWORD, bytes);
}

void RemoveRegistryValue(HKEY root, const std::string& keyPath, const std::string& valueName)
{
    auto key = keys.find(w32::RegistryPath(root, keyPath.c_str()));
    if (key != keys.end())
        key->second.erase(w32::UpperCase(valueName));
}

void RemoveRegistryKey(HKEY root, const std::string& keyPath)
{
    std::string path = w32::RegistryPath(root, keyPath.c_str());
    for (auto key = keys.begin(); key != keys.end();) {
        bool inside = key->first == path || key->first.compare(0, path.size() + 1, path + "\\") == 0;
        key = inside ? keys.erase(key) : std::next(key);
    }
}

void ClearRegistry()
{
    keys.clear();
}

}  // namespace w32test
