// PlaySoundA over SDL2 audio. One output device is opened on first use and
// kept; its callback plays from one buffer, and a new sound swaps that
// buffer, so it replaces whatever was playing and the call returns at once.
// Swapping under the device lock replaces a sound in one step, which SDL's
// clear-then-queue pair cannot promise.
//
// Some screen-saver hosts (MATE's) pass their hacks no XDG_RUNTIME_DIR, and
// without it the sound server's socket is not found; the user's own
// runtime folder stands in for it then.
//
// There is deliberately no fallback to SDL's silent "dummy" or "disk"
// drivers: without a real device PlaySoundA fails, and the saver turns its
// sound off.
#include "platform/posix/devices.h"
#include "platform/posix/resources.h"
#include "platform/posix/sys_internal.h"

#include <SDL.h>
#include <dlfcn.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

SDL_AudioDeviceID device = 0;
SDL_AudioSpec deviceSpec;
bool audioSubsystemUp = false;
std::string lastStarted;

// Owned by the audio callback while the device is open: change only under
// SDL_LockAudioDevice.
std::vector<Uint8> playBuffer;
size_t playPosition = 0;

const int outputRate = 44100;
const Uint8 outputChannels = 2;
const SDL_AudioFormat outputFormat = AUDIO_S16SYS;

struct Samples {
    std::vector<Uint8> bytes;  // in the device's format
};

void SDLCALL FillAudio(void*, Uint8* stream, int length)
{
    size_t wanted = static_cast<size_t>(length);
    size_t left = playBuffer.size() - playPosition;
    size_t taken = left < wanted ? left : wanted;
    if (taken > 0)
        memcpy(stream, playBuffer.data() + playPosition, taken);
    memset(stream + taken, deviceSpec.silence, wanted - taken);
    playPosition += taken;
}

size_t BytesLeft()
{
    if (!device)
        return 0;
    SDL_LockAudioDevice(device);
    size_t left = playBuffer.size() - playPosition;
    SDL_UnlockAudioDevice(device);
    return left;
}

// Hands the device a new buffer; an empty one means silence.
void SwapBuffer(std::vector<Uint8>* bytes)
{
    if (!device)
        return;
    SDL_LockAudioDevice(device);
    playBuffer.swap(*bytes);
    playPosition = 0;
    SDL_UnlockAudioDevice(device);
}

void CloseDevice()
{
    if (device)
        SDL_CloseAudioDevice(device);
    device = 0;
    playBuffer.clear();
    playPosition = 0;
    if (audioSubsystemUp)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioSubsystemUp = false;
}

// ALSA prints its configuration errors (on a machine without a sound card,
// a dozen lines) straight to stderr. The saver reports nothing, so once SDL
// has loaded the library, give it a handler that stays quiet.
void SDLCALL IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void QuietenAlsa()
{
    void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_NOLOAD);
    if (!alsa)
        return;
    typedef int (*SetHandler)(void (*)(const char*, int, const char*, int, const char*, ...));
    if (SetHandler set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler")))
        set(IgnoreAlsaError);
    dlclose(alsa);
}

bool IsSilentDriver(const char* driver)
{
    return !driver || strcmp(driver, "dummy") == 0 || strcmp(driver, "disk") == 0;
}

// XDG_RUNTIME_DIR, when unset, becomes /run/user/<uid> if that is what a
// login session makes it: a directory (not a link) owned by the user, mode
// 0700. Anything else could be another user's, so the sound stays off. Set
// once, before SDL's audio starts, and nothing else is touched.
void FindRuntimeFolder()
{
    if (getenv("XDG_RUNTIME_DIR"))
        return;
    std::string folder = "/run/user/" + std::to_string(getuid());
    if (w32::IsPrivateFolder(folder.c_str()))
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 0);
}

// A failed attempt leaves nothing open, so the next call starts afresh
// (a sound server may have come up since); a failed attempt costs a few
// milliseconds, and the saver stops asking after the first failure.
bool OpenDevice()
{
    if (device)
        return true;
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Brackwold!");
    // SDL's own SIGTERM/SIGINT handlers would only queue an event nobody
    // reads; the layer's message loop handles those signals.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    FindRuntimeFolder();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    audioSubsystemUp = true;
    QuietenAlsa();
    if (IsSilentDriver(SDL_GetCurrentAudioDriver())) {
        CloseDevice();
        return false;
    }
    SDL_AudioSpec wanted;
    SDL_zero(wanted);
    wanted.freq = outputRate;
    wanted.format = outputFormat;
    wanted.channels = outputChannels;
    wanted.samples = 1024;
    wanted.callback = FillAudio;
    // No changes allowed: SDL converts to the hardware, we fill one format.
    device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &deviceSpec, 0);
    if (!device) {
        CloseDevice();
        return false;
    }
    SDL_PauseAudioDevice(device, 0);
    return true;
}

Uint32 ReadLittle32(const Uint8* bytes)
{
    return static_cast<Uint32>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<Uint32>(bytes[3]) << 24);
}

// SDL allocates a chunk's length as the chunk claims it: 56 bytes that
// claim 3 GB of samples would have it allocate 3 GB. Every chunk of the
// image must lie within it.
bool ChunksWithin(const Uint8* bytes, size_t size)
{
    if (size < 12 || memcmp(bytes, "RIFF", 4) != 0 || memcmp(bytes + 8, "WAVE", 4) != 0)
        return false;
    for (size_t at = 12; size - at >= 8;) {
        size_t length = ReadLittle32(bytes + at + 4);
        if (length > size - at - 8)
            return false;
        at += 8 + length + (length & 1);
        if (at > size)
            break;
    }
    return true;
}

// Decodes WAVE data and converts it to the output format.
bool Decode(const void* data, size_t size, Samples* samples)
{
    if (!data || size == 0 || size > static_cast<size_t>(INT32_MAX) ||
        !ChunksWithin(static_cast<const Uint8*>(data), size))
        return false;
    SDL_RWops* stream = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (!stream)
        return false;
    SDL_AudioSpec waveFormat;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(stream, 1, &waveFormat, &buffer, &length))
        return false;
    SDL_AudioCVT cvt;
    int built = SDL_BuildAudioCVT(&cvt, waveFormat.format, waveFormat.channels, waveFormat.freq, outputFormat, outputChannels, outputRate);
    if (built < 0) {
        SDL_FreeWAV(buffer);
        return false;
    }
    samples->bytes.assign(buffer, buffer + length);
    SDL_FreeWAV(buffer);
    if (built == 0)
        return true;
    cvt.len = static_cast<int>(length);
    samples->bytes.resize(static_cast<size_t>(length) * static_cast<size_t>(cvt.len_mult));
    cvt.buf = samples->bytes.data();
    if (SDL_ConvertAudio(&cvt) != 0)
        return false;
    samples->bytes.resize(static_cast<size_t>(cvt.len_cvt));
    return true;
}

// The WAVE bytes PlaySoundA was pointed at, by its flags.
bool FindWave(LPCSTR sound, HMODULE module, DWORD flags, const void** data, size_t* size)
{
    if ((flags & SND_RESOURCE) == SND_RESOURCE) {
        if (!w32::IsExecutableModule(module))
            return false;
        const w32::EmbeddedResource* resource = w32::FindEmbeddedResource("WAVE", sound);
        if (!resource)
            return false;
        *data = resource->data;
        *size = resource->size;
        return true;
    }
    if (flags & SND_MEMORY) {
        // The caller vouches for the memory; its RIFF header says how long it is.
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(sound);
        if (memcmp(bytes, "RIFF", 4) != 0)
            return false;
        Uint32 chunk = ReadLittle32(bytes + 4);
        *data = bytes;
        *size = static_cast<size_t>(chunk) + 8;
        return true;
    }
    return false;
}

void StopPlaying()
{
    std::vector<Uint8> silence;
    SwapBuffer(&silence);
    lastStarted.clear();
}

// Waits for a synchronous sound to drain.
void WaitUntilPlayed()
{
    while (BytesLeft() > 0)
        SDL_Delay(5);
}

}  // namespace

namespace w32 {

bool IsPrivateFolder(const char* path)
{
    struct stat info;
    return lstat(path, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid() &&
           (info.st_mode & 07777) == 0700;
}

std::string SoundName(LPCSTR sound, DWORD flags)
{
    if (!sound)
        return "";
    if (IS_INTRESOURCE(sound))
        return "#" + std::to_string(static_cast<unsigned>(reinterpret_cast<uintptr_t>(sound)));
    if ((flags & SND_RESOURCE) != SND_RESOURCE && (flags & SND_MEMORY))
        return "<memory>";
    return sound;
}

BOOL PlayWave(LPCSTR sound, HMODULE module, DWORD flags, std::string* fakeDevice)
{
    if (!sound || (flags & SND_PURGE)) {
        StopPlaying();
        if (fakeDevice)
            fakeDevice->clear();
        return TRUE;
    }
    const void* data = nullptr;
    size_t size = 0;
    if (!FindWave(sound, module, flags, &data, &size))
        return FALSE;
    Samples samples;
    if (!Decode(data, size, &samples))
        return FALSE;
    std::string name = SoundName(sound, flags);
    if (fakeDevice) {
        *fakeDevice = name;
        return TRUE;
    }
    if (!OpenDevice())
        return FALSE;
    SwapBuffer(&samples.bytes);
    lastStarted = name;
    if (!(flags & SND_ASYNC))
        WaitUntilPlayed();
    return TRUE;
}

std::string SoundOnDevice()
{
    return BytesLeft() > 0 ? lastStarted : "";
}

std::string SoundDeviceDriver()
{
    const char* driver = device ? SDL_GetCurrentAudioDriver() : nullptr;
    return driver ? driver : "";
}

// Quitting SDL's audio subsystem joins its device-watching thread, which
// may be in the middle of a scan of ALSA's devices (slow on a loaded
// machine); _exit ends that thread as well.
void CloseSoundOnExit()
{
    if (device)
        SDL_CloseAudioDevice(device);
    device = 0;
}

void CloseSound()
{
    CloseDevice();
    lastStarted.clear();
}

}  // namespace w32

extern "C" {

// Plays WAVE resources of the executable (SND_RESOURCE) and WAVE images in
// memory (SND_MEMORY). Sound files and system sound aliases do not exist
// here and fail, and no default sound is ever played in their place, with
// or without SND_NODEFAULT. Without SND_ASYNC the call returns when the
// sound has played.
BOOL WINAPI PlaySoundA(LPCSTR pszSound, HMODULE hmod, DWORD fdwSound)
{
    return w32::devices::PlayOnOutput(pszSound, hmod, fdwSound);
}

}  // extern "C"
