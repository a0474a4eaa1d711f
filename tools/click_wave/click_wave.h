// The press click: a 5.8 ms burst of decaying noise as a 184-byte RIFF WAVE image
// (22050 Hz, 8-bit mono, with a "fact" chunk and the pad byte after its odd-sized data).
#pragma once
#include <cstdint>
#include <vector>

constexpr uint32_t click_wave_samples = 127;
constexpr uint32_t click_wave_bytes = 184;

// Always the same bytes: the noise comes from a fixed-seed generator.
std::vector<uint8_t> make_click_wave();
