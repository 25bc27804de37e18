// Resources added at run time. The program adds none: its resources are
// the embedded tables alone, so this table is empty. Tests link one they
// can fill (testing/doubles/resource_seams.cpp) instead of this file.
#include "platform/posix/devices.h"

namespace w32::devices {

const EmbeddedResource* FindAddedResource(const std::string& type, const std::string& name)
{
    (void)type;
    (void)name;
    return nullptr;
}

bool FindAddedString(unsigned id, const char** text)
{
    (void)id;
    (void)text;
    return false;
}

}  // namespace w32::devices
