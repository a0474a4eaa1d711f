// libFuzzer target for the chunk locator: any byte string, every choice of requested outputs.
// Whatever the locator hands out must lie inside the image; ASan sees every byte touched.
#include <cstdint>
#include <cstdlib>

#include "click/wave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    if (size > 0xFFFFFFFFu) return 0;
    const uint32_t length = uint32_t(size);
    const uint8_t* end = bytes + size;
    for (int wanted = 0; wanted < 8; ++wanted) {
        const void* format = nullptr;
        const uint8_t* data = nullptr;
        uint32_t data_length = 0;
        int found = find_wave_chunks(bytes, length, (wanted & 1) ? &format : nullptr,
                                     (wanted & 2) ? &data : nullptr,
                                     (wanted & 4) ? &data_length : nullptr);
        if (found != 0 && found != 1) abort();
        if (wanted == 0 && found) abort();
        volatile uint8_t sink = 0;
        if (format) {
            auto f = static_cast<const uint8_t*>(format);
            if (f < bytes + 20 || f + 14 > end) abort();
            for (int i = 0; i < 14; ++i) sink = sink ^ f[i];
        }
        if (found && data && (wanted & 4)) {
            if (data < bytes + 20 || data + data_length > end) abort();
            for (uint32_t i = 0; i < data_length; ++i) sink = sink ^ data[i];
        }
        if (found && data && !(wanted & 4) && (data < bytes + 20 || data > end)) abort();
    }
    return 0;
}
