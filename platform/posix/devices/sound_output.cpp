// The sound output: the audio device itself (sound.cpp's SDL output).
#include "platform/posix/devices.h"
#include "platform/posix/sys_internal.h"

namespace w32::devices {

BOOL PlayOnOutput(LPCSTR sound, HMODULE module, DWORD flags)
{
    return PlayWave(sound, module, flags);
}

}  // namespace w32::devices
