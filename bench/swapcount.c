/* Benchmark-only LD_PRELOAD library: counts glXSwapBuffers calls of the
 * program it is loaded into, which then runs unchanged.
 *
 * BRACKWOLD_SWAPCOUNT_FILE names the output file. About once a second, and
 * at exit, it is replaced (write to a side file, then rename, so a reader
 * never sees half a line) by one line:
 *     <swaps> <CLOCK_MONOTONIC ns of the last swap>
 * The time stamp belongs to the counted swap, so a reader can compute an
 * exact rate from two samples however late it reads them. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

typedef void (*SwapFn)(void* display, unsigned long drawable);

static unsigned long long swaps;
static long long lastSwapNs;
static long long lastWriteNs;

static long long NowNs(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

static void WriteCount(void)
{
    const char* path = getenv("BRACKWOLD_SWAPCOUNT_FILE");
    if (!path || !*path)
        return;
    char side[4096];
    if (snprintf(side, sizeof side, "%s.part", path) >= (int)sizeof side)
        return;
    FILE* f = fopen(side, "w");
    if (!f)
        return;
    fprintf(f, "%llu %lld\n", swaps, lastSwapNs);
    if (fclose(f) == 0)
        rename(side, path);
}

void glXSwapBuffers(void* display, unsigned long drawable)
{
    static SwapFn real;
    if (!real)
        real = (SwapFn)dlsym(RTLD_NEXT, "glXSwapBuffers");
    if (real)
        real(display, drawable);
    swaps++;
    lastSwapNs = NowNs();
    if (lastSwapNs - lastWriteNs >= 1000000000LL) {
        lastWriteNs = lastSwapNs;
        WriteCount();
    }
}

/* The file exists from the start, so "0 swaps" is distinguishable from
 * "library not loaded". */
__attribute__((constructor)) static void Start(void)
{
    WriteCount();
}

__attribute__((destructor)) static void Finish(void)
{
    WriteCount();
}
