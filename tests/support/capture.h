// What Wine played, read back from the PulseAudio null sink that the Wine wrapper records while
// a test program runs (VEMBLE_AUDIO=1). The recording grows as the program runs: a test marks
// where it is, plays, waits, and measures the stretch since its mark.
// Format: 44100 Hz, 16-bit signed, 2 channels. The recording lags the program by the output
// latency (about 0.2 s), so a measured window should start at the mark and reach well past the
// sound's own length.
#pragma once
#include <cstdint>
#include <vector>

constexpr int capture_rate = 44100;

bool capture_available();
// Frames recorded so far.
int64_t capture_now();
// Frames of `ms` milliseconds from `from`, waiting (up to 3 s more) for the recording to reach
// them: the recording's file lags what was played.
std::vector<int16_t> capture_window(int64_t from, int ms);
// Left-channel samples of frames [from, to); fewer when the recording is shorter.
std::vector<int16_t> capture_read(int64_t from, int64_t to);
int capture_peak(const std::vector<int16_t>& samples);
// Peak of each block of `block` samples: a rough envelope for presence and duration checks.
std::vector<int> capture_envelope(const std::vector<int16_t>& samples, int block);
// Frames whose block peak is above `threshold`, in blocks of 10 ms, times 10 ms: how long
// there was sound.
int capture_sounding_ms(const std::vector<int16_t>& samples, int threshold);
