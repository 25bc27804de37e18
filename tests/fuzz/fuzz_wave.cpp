// PlaySoundA on arbitrary WAVE resource bytes: found, decoded and converted
// to the output format as for a real device, which a pretend one takes.
#include "testing/doubles/sys_seams.h"
#include "platform/win32.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool ready = (w32test::SetSoundOutcome(w32test::SoundOutcome::FakeDevice), true);
    (void)ready;
    w32test::AddResource("WAVE", "FUZZ", std::vector<unsigned char>(data, data + size));
    PlaySoundA("FUZZ", GetModuleHandleA(NULL), SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
    w32test::RemoveResource("WAVE", "FUZZ");
    w32test::ClearSoundCalls();
    return 0;
}
