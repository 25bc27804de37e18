// The test double of the sound output: a chosen outcome, a stand-in device,
// and a record of every call. Linked into the tests, tools and benchmarks, never
// into the program.
#include "platform/posix/devices.h"
#include "platform/posix/sys_internal.h"
#include "testing/doubles/sys_seams.h"

namespace {

using w32test::SoundOutcome;

SoundOutcome outcome = SoundOutcome::Real;
std::string fakeDevice;  // what the stand-in device plays
std::vector<w32test::SoundCall> calls;
const size_t maxRecordedCalls = 1024;  // the saver plays for hours: keep only the latest

}  // namespace

namespace w32::devices {

BOOL PlayOnOutput(LPCSTR sound, HMODULE module, DWORD flags)
{
    BOOL result;
    switch (outcome) {
    case SoundOutcome::Succeed: result = TRUE; break;
    case SoundOutcome::Fail: result = FALSE; break;
    case SoundOutcome::FakeDevice: result = w32::PlayWave(sound, module, flags, &fakeDevice); break;
    default: result = w32::PlayWave(sound, module, flags); break;
    }
    if (calls.size() >= maxRecordedCalls)
        calls.erase(calls.begin(), calls.begin() + maxRecordedCalls / 2);
    calls.push_back({w32::SoundName(sound, flags), module, flags, result});
    return result;
}

}  // namespace w32::devices

namespace w32test {

void SetSoundOutcome(SoundOutcome wanted)
{
    outcome = wanted;
    fakeDevice.clear();
}

std::vector<SoundCall> SoundCalls()
{
    return calls;
}

void ClearSoundCalls()
{
    calls.clear();
}

std::string SoundPlaying()
{
    return outcome == SoundOutcome::FakeDevice ? fakeDevice : w32::SoundOnDevice();
}

std::string SoundDriver()
{
    return w32::SoundDeviceDriver();
}

void CloseSoundDevice()
{
    w32::CloseSound();
}

}  // namespace w32test
