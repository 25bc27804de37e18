// Takes the place of the C library's rand in a binary that links the
// scripted_rand library (which wraps rand at link time): results queued by
// the caller come first, in order; after them a fixed pseudo-random
// sequence. Every call is counted.
#pragma once
#include <initializer_list>

void ScriptRand(std::initializer_list<int> results);
void ResetRand();    // empties the queue, restarts the fallback, zeroes the count
int RandCalls();     // calls since the last ResetRand
int RandQueued();    // scripted results not yet taken
