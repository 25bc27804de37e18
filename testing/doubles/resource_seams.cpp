// The resources' test double: resources and strings added, replaced or
// hidden in front of the embedded tables. Linked into the tests, tools and
// benchmarks, never into the program.
#include "platform/posix/devices.h"
#include "platform/posix/resources.h"
#include "platform/posix/sys_internal.h"
#include "testing/doubles/sys_seams.h"

#include <list>
#include <map>

namespace {

struct AddedResource {
    std::string type;
    std::string name;
    std::vector<unsigned char> data;
    w32::EmbeddedResource view;
};

std::list<AddedResource> addedResources;  // a list, so views stay put
std::map<UINT, std::string> addedStrings;
std::map<UINT, bool> hiddenStrings;

}  // namespace

namespace w32::devices {

const EmbeddedResource* FindAddedResource(const std::string& type, const std::string& name)
{
    for (const AddedResource& added : addedResources)
        if (added.type == type && added.name == name)
            return &added.view;
    return nullptr;
}

bool FindAddedString(unsigned id, const char** text)
{
    if (hiddenStrings.count(id)) {
        *text = nullptr;
        return true;
    }
    auto added = addedStrings.find(id);
    if (added == addedStrings.end())
        return false;
    *text = added->second.c_str();
    return true;
}

}  // namespace w32::devices

namespace w32test {

void AddResource(const std::string& type, const std::string& name, const std::vector<unsigned char>& data)
{
    RemoveResource(type, name);
    addedResources.push_back(
        {w32::CanonicalResourceType(type.c_str()), w32::CanonicalResourceName(name.c_str()), data, {}});
    AddedResource& added = addedResources.back();
    added.view = {added.type.c_str(), added.name.c_str(), added.data.data(), added.data.size()};
}

void RemoveResource(const std::string& type, const std::string& name)
{
    std::string wantedType = w32::CanonicalResourceType(type.c_str());
    std::string wantedName = w32::CanonicalResourceName(name.c_str());
    addedResources.remove_if(
        [&](const AddedResource& added) { return added.type == wantedType && added.name == wantedName; });
}

void SetString(UINT id, const std::string& text)
{
    hiddenStrings.erase(id);
    addedStrings[id] = text;
}

void RemoveString(UINT id)
{
    addedStrings.erase(id);
    hiddenStrings[id] = true;
}

void ResetResources()
{
    addedResources.clear();
    addedStrings.clear();
    hiddenStrings.clear();
}

}  // namespace w32test
