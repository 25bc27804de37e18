// Writes out the Linux build's embedded resource tables so that
// check_resources.py can compare them with brackwold.rc.
//
// Usage: dump_resource_table <folder>
// Prints one line per resource, "R <index> <type> <name> <size>", and writes
// its bytes to <folder>/<index>.bin; then one line per string, "S <id> <text>".
#include "platform/posix/resources.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    for (size_t i = 0; i < w32::embeddedResourceCount; ++i) {
        const w32::EmbeddedResource& r = w32::embeddedResources[i];
        std::printf("R %zu %s %s %zu\n", i, r.type, r.name, r.size);
        std::string path = std::string(argv[1]) + "/" + std::to_string(i) + ".bin";
        std::FILE* out = std::fopen(path.c_str(), "wb");
        if (!out || std::fwrite(r.data, 1, r.size, out) != r.size || std::fclose(out) != 0) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    for (size_t i = 0; i < w32::embeddedStringCount; ++i)
        std::printf("S %u %s\n", w32::embeddedStrings[i].id, w32::embeddedStrings[i].text);
    return 0;
}
