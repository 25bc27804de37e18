// The executable's resources: the tables embedded from brackwold.rc. Only
// the executable has resources; other modules have none.
#include "platform/posix/devices.h"
#include "platform/posix/resources.h"
#include "platform/posix/sys_internal.h"

#include <stdlib.h>
#include <string.h>

namespace {

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

// Embedded names are already canonical, except that a script may spell an
// id with leading zeros.
bool Matches(const char* embeddedType, const char* embeddedName, const std::string& type, const std::string& name)
{
    return embeddedType && embeddedName && w32::EqualNoCase(embeddedType, type) &&
           w32::CanonicalResourceName(embeddedName) == name;
}

const char* FindString(UINT id)
{
    const char* decided;
    if (w32::devices::FindAddedString(id, &decided))
        return decided;
    for (size_t i = 0; i < w32::embeddedStringCount; ++i)
        if (w32::embeddedStrings[i].id == id)
            return w32::embeddedStrings[i].text;
    return nullptr;
}

}  // namespace

namespace w32 {

std::string CanonicalResourceName(const char* name)
{
    if (IS_INTRESOURCE(name))
        return "#" + std::to_string(static_cast<unsigned>(reinterpret_cast<uintptr_t>(name)));
    std::string text = name;
    if (text.size() > 1 && text[0] == '#' && text.find_first_not_of("0123456789", 1) == std::string::npos)
        return "#" + std::to_string(strtoul(text.c_str() + 1, nullptr, 10));
    return UpperCase(text);
}

std::string CanonicalResourceType(const char* type)
{
    if (IS_INTRESOURCE(type)) {
        const char* known = NumericTypeName(static_cast<unsigned>(reinterpret_cast<uintptr_t>(type)));
        if (known)
            return known;
    }
    return CanonicalResourceName(type);
}

const EmbeddedResource* FindEmbeddedResource(const char* type, const char* name)
{
    if (!type || !name)
        return nullptr;
    std::string wantedType = CanonicalResourceType(type);
    std::string wantedName = CanonicalResourceName(name);
    if (const EmbeddedResource* added = devices::FindAddedResource(wantedType, wantedName))
        return added;
    for (size_t i = 0; i < embeddedResourceCount; ++i)
        if (Matches(embeddedResources[i].type, embeddedResources[i].name, wantedType, wantedName))
            return &embeddedResources[i];
    return nullptr;
}

}  // namespace w32

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
