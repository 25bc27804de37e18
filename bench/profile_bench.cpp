// The settings file at its size limit (16 MiB), in the shapes that cost a
// line-by-line reader the most: one huge line, millions of empty lines,
// tens of thousands of sections and keys. For each: the time and the peak
// resident memory beyond what the process held before, for the four reads
// the saver makes at start and for one write as the dialog makes it.
//
//   profile_bench [folder]     (default /tmp; the file is removed after)
#include "platform/win32.h"

#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

const size_t limit = 16u << 20;  // the largest file the reader accepts

// From /proc/self/status, in kB.
long StatusKb(const char* field)
{
    FILE* status = fopen("/proc/self/status", "r");
    char line[256];
    long kb = -1;
    size_t n = strlen(field);
    while (status && fgets(line, sizeof line, status))
        if (strncmp(line, field, n) == 0 && line[n] == ':')
            kb = atol(line + n + 1);
    if (status)
        fclose(status);
    return kb;
}

// Makes the kernel's resident peak start again from the current size.
bool ResetPeak()
{
    FILE* refs = fopen("/proc/self/clear_refs", "w");
    bool ok = refs && fputs("5", refs) >= 0;
    return refs && fclose(refs) == 0 && ok;
}

// head, then unit as often as it fits, then tail; empty lines make up the
// rest, so the file is exactly at the limit.
std::string Fill(const std::string& head, const std::string& unit, const std::string& tail = "")
{
    std::string bytes = head;
    bytes.reserve(limit);
    while (bytes.size() + unit.size() + tail.size() <= limit)
        bytes += unit;
    bytes.append(limit - bytes.size() - tail.size(), '\n');
    return bytes + tail;
}

struct Shape {
    const char* name;
    std::function<std::string()> bytes;  // made when measured, so only one is held at a time
};

struct Cost {
    double ms;
    long peakKb;  // beyond the resident size before the call
};

template <typename F>
Cost Measure(F call)
{
    malloc_trim(0);  // what the last call freed must not hide this one's cost
    long before = StatusKb("VmRSS");
    ResetPeak();
    auto start = std::chrono::steady_clock::now();
    call();
    auto end = std::chrono::steady_clock::now();
    return {std::chrono::duration<double, std::milli>(end - start).count(), StatusKb("VmHWM") - before};
}

}  // namespace

int main(int argc, char** argv)
{
    std::string path = std::string(argc > 1 ? argv[1] : "/tmp") + "/profile_bench.ini";
    const Shape shapes[] = {
        {"empty lines", [] { return std::string(limit, '\n'); }},
        {"CRLF empty lines", [] { return Fill("", "\r\n"); }},
        {"one huge line", [] { return "[Brackwold]\nSize=" + std::string(limit - 18, '7') + "\n"; }},
        {"one huge value at the end",
         [] { return std::string(limit / 2, '\n') + "[Brackwold]\nSize=" + std::string(limit / 2 - 18, '7') + "\n"; }},
        {"many sections, ours last",
         [] {
             std::string sections;
             for (int i = 0; sections.size() < limit / 2; i++)
                 sections += "[Section " + std::to_string(i) + "]\nSome Key=" + std::to_string(i) + "\n";
             return Fill(sections, "[Other]\nkey=value\n", "[Brackwold]\nSize=77\n");
         }},
        {"many keys in our section", [] { return Fill("[Brackwold]\n", "Some Key=12345\n"); }},
    };
    const char* keys[] = {"Poly Resolution", "Size", "Char Delay", "Sounds"};
    if (!ResetPeak()) {
        fprintf(stderr, "profile_bench: cannot reset the resident peak (/proc/self/clear_refs)\n");
        return 1;
    }
    printf("%-28s %12s %14s %12s %14s\n", "file of 16 MiB", "4 reads ms", "reads peak kB", "1 write ms",
           "write peak kB");
    for (const Shape& shape : shapes) {
        FILE* file = fopen(path.c_str(), "wb");
        std::string bytes = shape.bytes();
        if (!file || fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || fclose(file) != 0) {
            fprintf(stderr, "profile_bench: cannot write %s\n", path.c_str());
            return 1;
        }
        bytes = std::string();  // gone before the measurement
        UINT sum = 0;
        Cost reads = Measure([&] {
            for (const char* key : keys)
                sum += GetPrivateProfileIntA("Brackwold", key, 1, path.c_str());
        });
        BOOL wrote = FALSE;
        Cost write = Measure([&] { wrote = WritePrivateProfileStringA("Brackwold", "Size", "42", path.c_str()); });
        printf("%-28s %12.1f %14ld %12.1f %14ld%s\n", shape.name, reads.ms, reads.peakKb, write.ms, write.peakKb,
               wrote ? "" : "  (write failed)");
        if (sum == 0)
            printf("  (no key found)\n");
    }
    unlink(path.c_str());
    return 0;
}
