#include "tests/support/wave_gen.h"

#include <cmath>
#include <cstdio>

namespace {
void put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}
void put16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void put_id(std::vector<uint8_t>& b, const char* id) { b.insert(b.end(), id, id + 4); }
}  // namespace

std::vector<uint8_t> make_tone_wav(const ToneSpec& s) {
    const uint32_t frames = uint32_t(s.seconds * s.rate);
    const uint16_t block = uint16_t(s.channels * s.bits / 8);
    const uint32_t data = frames * block;
    std::vector<uint8_t> b;
    put_id(b, "RIFF");
    put32(b, 36 + data + (data & 1));
    put_id(b, "WAVE");
    put_id(b, "fmt ");
    put32(b, 16);
    put16(b, 1);
    put16(b, s.channels);
    put32(b, s.rate);
    put32(b, s.rate * block);
    put16(b, block);
    put16(b, s.bits);
    put_id(b, "data");
    put32(b, data);
    const double pi = 3.14159265358979323846;
    for (uint32_t i = 0; i < frames; ++i) {
        double v = s.amplitude * std::sin(2 * pi * s.frequency * i / s.rate);
        for (uint16_t c = 0; c < s.channels; ++c) {
            if (s.bits == 8)
                b.push_back(uint8_t(std::lround(128 + v / 256)));
            else
                put16(b, uint16_t(int16_t(std::lround(v))));
        }
    }
    if (data & 1) b.push_back(0);
    return b;
}

bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
