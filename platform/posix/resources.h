// The executable's resources on Linux: the same list that resources/brackwold.rc
// gives windres, turned into tables by resources/rc2cpp.py at build time.
#pragma once
#include <stddef.h>

#include <string>

namespace w32 {

struct EmbeddedResource {
    const char* type;  // "BITMAP", "WAVE", "DIALOG", ...: upper case
    const char* name;  // upper-case name, or "#<id>" for a numeric id
    const unsigned char* data;  // the file as given in the script (a .bmp keeps its file header)
    size_t size;
};

struct EmbeddedString {
    unsigned id;
    const char* text;
};

extern const EmbeddedResource embeddedResources[];
extern const size_t embeddedResourceCount;
extern const EmbeddedString embeddedStrings[];
extern const size_t embeddedStringCount;

// Finds a resource by type and name (names and types compare case-insensitively;
// a name given as MAKEINTRESOURCE(n) matches "#n"). Null when absent.
const EmbeddedResource* FindEmbeddedResource(const char* type, const char* name);

// One spelling for every way of naming a resource: MAKEINTRESOURCE(105),
// "#105" and "#0105" all become "#105", text is upper case, and Win32's
// numeric types (RT_BITMAP ...) become their names.
std::string CanonicalResourceName(const char* name);
std::string CanonicalResourceType(const char* type);

}  // namespace w32
