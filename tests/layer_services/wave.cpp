#include "tests/layer_services/wave.h"

#include <math.h>
#include <stdint.h>

namespace wavetest {

static void Put32(std::vector<unsigned char>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

static void Put16(std::vector<unsigned char>& out, uint16_t v)
{
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

std::vector<unsigned char> SineWave(double frequency, double seconds, int rate, int channels)
{
    uint32_t frames = static_cast<uint32_t>(seconds * rate);
    uint32_t dataBytes = frames * static_cast<uint32_t>(channels) * 2;
    std::vector<unsigned char> out;
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    Put32(out, 36 + dataBytes);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, static_cast<uint16_t>(channels));
    Put32(out, static_cast<uint32_t>(rate));
    Put32(out, static_cast<uint32_t>(rate * channels * 2));
    Put16(out, static_cast<uint16_t>(channels * 2));
    Put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put32(out, dataBytes);
    for (uint32_t i = 0; i < frames; ++i) {
        int16_t sample = static_cast<int16_t>(12000 * sin(2 * M_PI * frequency * i / rate));
        for (int c = 0; c < channels; ++c)
            Put16(out, static_cast<uint16_t>(sample));
    }
    return out;
}

}  // namespace wavetest
