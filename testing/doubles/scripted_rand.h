// Takes the place of the C library's rand in a binary that links the
// scripted_rand library (which wraps rand at link time): results queued by
// the caller come first, in order; after them a fixed pseudo-random
// sequence. Every call is counted.
#pragma once
#include <functional>
#include <initializer_list>

void ScriptRand(std::initializer_list<int> results);
// The first call for which `when` holds returns `result` instead; it still
// takes its number from the queue or the sequence, so every later call gets
// what it would have got anyway.
void ScriptRandWhen(std::function<bool()> when, int result);
void ResetRand();    // empties the queue and the conditional result, restarts the fallback, zeroes the count
int RandCalls();     // calls since the last ResetRand
int RandQueued();    // scripted results not yet taken
