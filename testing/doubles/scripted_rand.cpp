#include "testing/doubles/scripted_rand.h"

#include <stdlib.h>

#include <deque>

namespace {
std::deque<int> queued;
unsigned fallback = 12345;
int calls = 0;
std::function<bool()> replaceWhen;
int replacement = 0;

int Draw()
{
    if (!queued.empty()) {
        int result = queued.front();
        queued.pop_front();
        return result;
    }
    fallback = fallback * 1103515245u + 12345u;
    return (int)((fallback >> 16) & 0x7fff);
}
}  // namespace

void ScriptRand(std::initializer_list<int> results)
{
    queued.insert(queued.end(), results.begin(), results.end());
}

void ScriptRandWhen(std::function<bool()> when, int result)
{
    replaceWhen = std::move(when);
    replacement = result;
}

void ResetRand()
{
    queued.clear();
    replaceWhen = nullptr;
    fallback = 12345;
    calls = 0;
}

int RandCalls() { return calls; }
int RandQueued() { return (int)queued.size(); }

// Every rand call of a binary linked with -Wl,--wrap=rand lands here.
extern "C" int __wrap_rand(void)
{
    calls++;
    int result = Draw();
    if (replaceWhen && replaceWhen()) {
        replaceWhen = nullptr;
        return replacement;
    }
    return result;
}
