// The executable's resources: the tables embedded from brackwold.rc, plus
// what tests add. Only the executable has resources; fake modules have none.
#include "platform/posix/resources.h"
#include "platform/posix/sys_internal.h"
#include "platform/posix/sys_seams.h"

#include <stdlib.h>
#include <string.h>

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

// Win32's numeric resource types, for callers that pass RT_* numbers.
const char* NumericTypeName(unsigned id)
{
    switch (id) {
    case 1: return "CURSOR";
    case 2: return "BITMAP";
    case 3: return "ICON";
    case 4: return "MENU";
    case 5: return "DIALOG";
    case 6: return "STRING";
    case 10: return "RCDATA";
    default: return nullptr;
    }
}

// One spelling for every way of naming an id: MAKEINTRESOURCE(105), "#105"
// and "#0105" all become "#105". Text names are compared in upper case.
std::string CanonicalName(const char* name)
{
    if (IS_INTRESOURCE(name))
        return "#" + std::to_string(static_cast<unsigned>(reinterpret_cast<uintptr_t>(name)));
    std::string text = name;
    if (text.size() > 1 && text[0] == '#' && text.find_first_not_of("0123456789", 1) == std::string::npos)
        return "#" + std::to_string(strtoul(text.c_str() + 1, nullptr, 10));
    return w32::UpperCase(text);
}

std::string CanonicalType(const char* type)
{
    if (IS_INTRESOURCE(type)) {
        const char* known = NumericTypeName(static_cast<unsigned>(reinterpret_cast<uintptr_t>(type)));
        if (known)
            return known;
    }
    return CanonicalName(type);
}

// Embedded names are already canonical, except that a script may spell an
// id with leading zeros.
bool Matches(const char* embeddedType, const char* embeddedName, const std::string& type, const std::string& name)
{
    return embeddedType && embeddedName && w32::EqualNoCase(embeddedType, type) &&
           CanonicalName(embeddedName) == name;
}

const char* FindString(UINT id)
{
    if (hiddenStrings.count(id))
        return nullptr;
    auto added = addedStrings.find(id);
    if (added != addedStrings.end())
        return added->second.c_str();
    for (size_t i = 0; i < w32::embeddedStringCount; ++i)
        if (w32::embeddedStrings[i].id == id)
            return w32::embeddedStrings[i].text;
    return nullptr;
}

}  // namespace

namespace w32 {

const EmbeddedResource* FindEmbeddedResource(const char* type, const char* name)
{
    if (!type || !name)
        return nullptr;
    std::string wantedType = CanonicalType(type);
    std::string wantedName = CanonicalName(name);
    for (const AddedResource& added : addedResources)
        if (added.type == wantedType && added.name == wantedName)
            return &added.view;
    for (size_t i = 0; i < embeddedResourceCount; ++i)
        if (Matches(embeddedResources[i].type, embeddedResources[i].name, wantedType, wantedName))
            return &embeddedResources[i];
    return nullptr;
}

}  // namespace w32

namespace w32test {

void AddResource(const std::string& type, const std::string& name, const std::vector<unsigned char>& data)
{
    RemoveResource(type, name);
    addedResources.push_back({CanonicalType(type.c_str()), CanonicalName(name.c_str()), data, {}});
    AddedResource& added = addedResources.back();
    added.view = {added.type.c_str(), added.name.c_str(), added.data.data(), added.data.size()};
}

void RemoveResource(const std::string& type, const std::string& name)
{
    std::string wantedType = CanonicalType(type.c_str());
    std::string wantedName = CanonicalName(name.c_str());
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

extern "C" {

// Cuts the string to cchBufferMax - 1 characters and always terminates it.
// Windows' LoadStringA has no read-only-pointer mode: a zero-sized buffer
// gets nothing and the result is 0.
int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax)
{
    if (!lpBuffer || cchBufferMax <= 0)
        return 0;
    lpBuffer[0] = '\0';
    if (!w32::IsExecutableModule(hInstance))
        return 0;
    const char* text = FindString(uID);
    if (!text)
        return 0;
    size_t length = strnlen(text, static_cast<size_t>(cchBufferMax - 1));
    memcpy(lpBuffer, text, length);
    lpBuffer[length] = '\0';
    return static_cast<int>(length);
}

}  // extern "C"
