// The registry's store as the program has it: empty, for there is no
// system registry on Linux and the program writes none.
#include "platform/posix/devices.h"

namespace w32::devices {

bool RegistryKeyExists(const std::string&)
{
    return false;
}

const RegistryValue* FindRegistryValue(const std::string&, const std::string&)
{
    return nullptr;
}

}  // namespace w32::devices
