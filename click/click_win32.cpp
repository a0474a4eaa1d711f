#include <windows.h>
// WIN32_LEAN_AND_MEAN leaves out the wave format that dsound.h builds on.
#include <mmsystem.h>
#include <dsound.h>

#include <cstring>

#include "click/click.h"
#include "click/click_fill.h"
#include "click/wave_source.h"

namespace {

// Zero at load. The two module handle copies are kept for the sound player's sake as well:
// both services store the same handle.
struct ClickState {
    IDirectSound* device;
    ModuleHandle resource_module;
    ModuleHandle window_instance;
};
ClickState click_state;

constexpr DWORD click_buffer_flags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN |
                                     DSBCAPS_CTRLVOLUME | DSBCAPS_GETCURRENTPOSITION2;
static_assert(click_buffer_flags == 0x100E2, "static buffer with volume, pan and frequency");
static_assert(sizeof(DSBUFFERDESC) == 36, "the descriptor with its 3D algorithm field");

IDirectSoundBuffer* as_buffer(ClickBuffer buffer) { return static_cast<IDirectSoundBuffer*>(buffer); }

// A buffer for the wave whose format and data the locator found, or none.
ClickBuffer create_click_buffer(DSBUFFERDESC& desc, const uint8_t* data) {
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(click_state.device->CreateSoundBuffer(&desc, &buffer, nullptr)) || !buffer)
        return nullptr;
    if (!fill_click_buffer(buffer, data, desc.dwBufferBytes)) {
        buffer->Release();
        return nullptr;
    }
    return buffer;
}

}  // namespace

int click_open(ModuleHandle module) {
    click_state.window_instance = module;
    click_state.resource_module = module;
    // Results not looked at: without a device every later load simply gives none.
    IDirectSound* device = nullptr;
    if (SUCCEEDED(DirectSoundCreate(nullptr, &device, nullptr)) && device) {
        click_state.device = device;
        device->SetCooperativeLevel(GetActiveWindow(), DSSCL_NORMAL);
    }
    return 1;
}

ClickBuffer click_load(const char* name) {
    if (!click_state.device || !name) return nullptr;
    DSBUFFERDESC desc;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = click_buffer_flags;
    const void* format = nullptr;
    const uint8_t* data = nullptr;
    uint32_t length = 0;

    // A found resource decides: no file is tried, whatever becomes of its buffer.
    if (find_wave_resource(click_state.resource_module, name, &format, &data, &length)) {
        desc.lpwfxFormat = static_cast<WAVEFORMATEX*>(const_cast<void*>(format));
        desc.dwBufferBytes = length;
        return create_click_buffer(desc, data);
    }
    void* view = nullptr;
    if (!map_wave_file(name, &format, &data, &length, &view)) return nullptr;
    desc.lpwfxFormat = static_cast<WAVEFORMATEX*>(const_cast<void*>(format));
    desc.dwBufferBytes = length;
    ClickBuffer buffer = create_click_buffer(desc, data);
    // The samples now live in the buffer: nothing stays mapped while the gauge runs.
    UnmapViewOfFile(view);
    return buffer;
}

int fill_click_buffer(ClickBuffer buffer, const uint8_t* data, uint32_t length) {
    if (!buffer || !data || length == 0) return 0;
    void* first = nullptr;
    void* second = nullptr;
    DWORD first_bytes = 0;
    DWORD second_bytes = 0;
    if (FAILED(as_buffer(buffer)->Lock(0, length, &first, &first_bytes, &second, &second_bytes, 0)))
        return 0;
    // The regions never hold more than was asked for; the bound guards the copy all the same.
    const DWORD first_copy = first_bytes < length ? first_bytes : length;
    if (first) std::memcpy(first, data, first_copy);
    if (second_bytes != 0 && second) {
        const DWORD rest = length - first_copy;
        std::memcpy(second, data + first_copy, second_bytes < rest ? second_bytes : rest);
    }
    as_buffer(buffer)->Unlock(first, first_bytes, second, second_bytes);
    return 1;
}

int click_set_volume(ClickBuffer buffer, int32_t attenuation) {
    if (!buffer) return 1;
    as_buffer(buffer)->SetVolume(vemble_clamp_attenuation(attenuation));
    return 1;
}

int click_play(ClickBuffer buffer, uint32_t flags) {
    // Not rewound: a static buffer that has finished plays again from its start.
    if (!buffer) return 1;
    as_buffer(buffer)->Play(0, 0, flags);
    return 1;
}

int click_release(ClickBuffer buffer) {
    if (!buffer) return 1;
    as_buffer(buffer)->Release();
    return 1;
}

int click_close() {
    if (!click_state.device) return 1;
    click_state.device->Release();
    click_state.device = nullptr;
    return 1;
}
