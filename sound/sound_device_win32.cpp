// The sound device on Windows: DirectSound, loaded from dsound.dll when sound first
// starts, with a primary buffer in the chosen format and one looping secondary buffer
// that the sound output writes a block at a time.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cstring>

#include "core/host.h"
#include "sound/sound_device_win32.h"

namespace {

using DirectSoundCreateFn = HRESULT(WINAPI*)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN);

HWND owner_window;
HMODULE dsound_library;
IDirectSound* device;
IDirectSoundBuffer* primary;
IDirectSoundBuffer* secondary;
WAVEFORMATEX wave_format;
bool fine_timer;  // 1 ms timer resolution, so the pacing wait's 1 ms sleeps are short

// A lost buffer is restored and the lock tried again; a system that will not give it
// back (another program holds the device) must not hang the emulator, so the tries end.
constexpr int lock_attempts = 16;

template <typename T>
void release(T*& object)
{
    if (object) object->Release();
    object = nullptr;
}

DirectSoundCreateFn find_direct_sound_create()
{
    if (!dsound_library) dsound_library = LoadLibraryA("dsound.dll");
    if (!dsound_library) return nullptr;
    return reinterpret_cast<DirectSoundCreateFn>(
        reinterpret_cast<void*>(GetProcAddress(dsound_library, "DirectSoundCreate")));
}

struct LockedRange {
    void* part[2];
    DWORD bytes[2];
};

bool lock_buffer(DWORD offset, DWORD bytes, DWORD flags, LockedRange& range)
{
    if (!secondary) return false;
    for (int attempt = 0; attempt < lock_attempts; ++attempt) {
        const HRESULT hr = secondary->Lock(offset, bytes, &range.part[0], &range.bytes[0], &range.part[1],
                                           &range.bytes[1], flags);
        if (hr != DSERR_BUFFERLOST) return SUCCEEDED(hr);
        secondary->Restore();
    }
    return false;
}

void unlock_buffer(const LockedRange& range)
{
    secondary->Unlock(range.part[0], range.bytes[0], range.part[1], range.bytes[1]);
}

DSBUFFERDESC buffer_description(DWORD flags)
{
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = flags;
    return desc;
}

}  // namespace

void sound_set_window(HWND window) { owner_window = window; }

bool host_sound_create_device()
{
    const DirectSoundCreateFn create = find_direct_sound_create();
    if (!create || FAILED(create(nullptr, &device, nullptr))) {
        device = nullptr;
        return false;
    }
    fine_timer = timeBeginPeriod(1) == TIMERR_NOERROR;
    return true;
}

bool host_sound_set_cooperative()
{
    return device && SUCCEEDED(device->SetCooperativeLevel(owner_window ? owner_window : GetDesktopWindow(),
                                                           DSSCL_PRIORITY));
}

HostSoundCaps host_sound_caps()
{
    DSCAPS caps = {};
    caps.dwSize = sizeof caps;
    if (!device || FAILED(device->GetCaps(&caps))) return {0, 0};
    return {caps.dwMaxSecondarySampleRate, caps.dwFlags};
}

bool host_sound_create_primary()
{
    DSBUFFERDESC desc = buffer_description(DSBCAPS_PRIMARYBUFFER | DSBCAPS_GETCURRENTPOSITION2);
    if (!device || FAILED(device->CreateSoundBuffer(&desc, &primary, nullptr))) {
        primary = nullptr;
        return false;
    }
    return true;
}

// The device may mix in another format if it cannot take this one; the secondary
// buffer keeps it either way.
void host_sound_set_format(const HostSoundFormat& format)
{
    wave_format = {};
    wave_format.wFormatTag = WAVE_FORMAT_PCM;
    wave_format.nChannels = WORD(format.channels);
    wave_format.nSamplesPerSec = format.rate;
    wave_format.wBitsPerSample = WORD(format.bits);
    wave_format.nBlockAlign = WORD(format.channels * format.bits / 8);
    wave_format.nAvgBytesPerSec = format.rate * wave_format.nBlockAlign;
    if (primary) primary->SetFormat(&wave_format);
}

bool host_sound_create_buffer(uint32_t bytes)
{
    DSBUFFERDESC desc =
        buffer_description(DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS | DSBCAPS_CTRLFREQUENCY);
    desc.dwBufferBytes = bytes;
    desc.lpwfxFormat = &wave_format;
    if (!device || FAILED(device->CreateSoundBuffer(&desc, &secondary, nullptr))) {
        secondary = nullptr;
        return false;
    }
    return true;
}

bool host_sound_play() { return secondary && SUCCEEDED(secondary->Play(0, 0, DSBPLAY_LOOPING)); }

void host_sound_stop()
{
    if (secondary) secondary->Stop();
}

void host_sound_restore()
{
    if (secondary) secondary->Restore();
}

void host_sound_fill(uint16_t value)
{
    LockedRange range;
    if (!lock_buffer(0, 0, DSBLOCK_ENTIREBUFFER, range)) return;
    for (int p = 0; p < 2; ++p) {
        uint8_t* out = static_cast<uint8_t*>(range.part[p]);
        for (DWORD i = 0; out && i < range.bytes[p]; ++i) out[i] = uint8_t(i & 1 ? value >> 8 : value);
    }
    unlock_buffer(range);
}

void host_sound_write(uint32_t offset, const uint8_t* data, uint32_t bytes)
{
    LockedRange range;
    if (!lock_buffer(offset, bytes, 0, range)) return;
    std::memcpy(range.part[0], data, range.bytes[0]);
    if (range.part[1]) std::memcpy(range.part[1], data + range.bytes[0], range.bytes[1]);
    unlock_buffer(range);
}

uint32_t host_sound_write_cursor()
{
    DWORD play = 0, write = 0;
    if (secondary) secondary->GetCurrentPosition(&play, &write);
    return write;
}

void host_sound_close()
{
    if (secondary) secondary->Stop();
    release(secondary);
    release(primary);
    release(device);
    if (fine_timer) timeEndPeriod(1);
    fine_timer = false;
}
