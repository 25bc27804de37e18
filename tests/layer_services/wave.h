// Small WAVE images made in memory, so sound tests need no files.
#pragma once
#include <vector>

namespace wavetest {

// A 16-bit PCM sine tone in a complete RIFF/WAVE image.
std::vector<unsigned char> SineWave(double frequency, double seconds, int rate, int channels);

}  // namespace wavetest
