// Generated test sounds: PCM WAV images of tones, built in memory (portable).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct ToneSpec {
    uint32_t rate = 22050;
    uint16_t channels = 1;
    uint16_t bits = 16;  // 8 or 16
    double frequency = 440.0;
    double seconds = 0.5;
    double amplitude = 8000.0;  // on the 16-bit scale; 8-bit samples are scaled down
};

std::vector<uint8_t> make_tone_wav(const ToneSpec& spec);
bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes);
