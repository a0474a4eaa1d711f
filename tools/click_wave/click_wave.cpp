#include "tools/click_wave/click_wave.h"

namespace {

void put_id(std::vector<uint8_t>& out, const char* id) { out.insert(out.end(), id, id + 4); }

void put_u16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put_u32(std::vector<uint8_t>& out, uint32_t v) {
    put_u16(out, v & 0xFFFF);
    put_u16(out, v >> 16);
}

}  // namespace

std::vector<uint8_t> make_click_wave() {
    constexpr uint32_t rate = 22050;
    std::vector<uint8_t> out;
    out.reserve(click_wave_bytes);
    put_id(out, "RIFF");
    put_u32(out, click_wave_bytes - 8);
    put_id(out, "WAVE");
    put_id(out, "fmt ");
    put_u32(out, 16);
    put_u16(out, 1);     // PCM
    put_u16(out, 1);     // mono
    put_u32(out, rate);
    put_u32(out, rate);  // bytes per second: one byte per frame
    put_u16(out, 1);     // block alignment
    put_u16(out, 8);     // bits per sample
    put_id(out, "fact");
    put_u32(out, 4);
    put_u32(out, click_wave_samples);
    put_id(out, "data");
    put_u32(out, click_wave_samples);

    // Integer arithmetic only, so every build writes the same bytes. Overdriven noise that
    // clips at 0 and 255 for the first samples, then a decay over the rest: heard as a click
    // rather than a hiss.
    uint32_t seed = 0x2F6B1D35u;
    int32_t envelope = 256;
    for (uint32_t i = 0; i < click_wave_samples; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const int32_t noise = int32_t(seed >> 24) - 128;  // -128..127
        int32_t sample = 128 + noise * envelope * 3 / 512;
        if (sample < 0) sample = 0;
        if (sample > 255) sample = 255;
        out.push_back(uint8_t(sample));
        if (i >= 12) envelope = envelope * 31 / 32;
    }
    out.push_back(0);  // pad byte: the data chunk has an odd size
    return out;
}
