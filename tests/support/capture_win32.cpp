#include "tests/support/capture.h"

#include <windows.h>

#include <cstdlib>
#include <algorithm>
#include <cstdio>

namespace {
const char* capture_path() { return std::getenv("VEMBLE_CAPTURE"); }
}

bool capture_available() { return capture_path() != nullptr; }

int64_t capture_now() {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!capture_path() || !GetFileAttributesExA(capture_path(), GetFileExInfoStandard, &data)) return 0;
    int64_t size = (int64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return size / 4;
}

std::vector<int16_t> capture_read(int64_t from, int64_t to) {
    std::vector<int16_t> out;
    HANDLE f = CreateFileA(capture_path(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE || to <= from) {
        if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
        return out;
    }
    LARGE_INTEGER at;
    at.QuadPart = from * 4;
    SetFilePointerEx(f, at, nullptr, FILE_BEGIN);
    std::vector<int16_t> frames(size_t(to - from) * 2);
    DWORD got = 0;
    ReadFile(f, frames.data(), DWORD(frames.size() * 2), &got, nullptr);
    CloseHandle(f);
    for (size_t i = 0; i + 1 < got / 2; i += 2) out.push_back(frames[i]);
    return out;
}

std::vector<int16_t> capture_window(int64_t from, int ms) {
    int64_t to = from + int64_t(ms) * capture_rate / 1000;
    for (int waited = 0; capture_now() < to && waited < 3000; waited += 20) Sleep(20);
    return capture_read(from, to);
}

int capture_peak(const std::vector<int16_t>& samples) {
    int peak = 0;
    for (int16_t s : samples) peak = std::max(peak, std::abs(int(s)));
    return peak;
}

std::vector<int> capture_envelope(const std::vector<int16_t>& samples, int block) {
    std::vector<int> env;
    for (size_t i = 0; i < samples.size(); i += block) {
        int peak = 0;
        for (size_t j = i; j < samples.size() && j < i + block; ++j) peak = std::max(peak, std::abs(int(samples[j])));
        env.push_back(peak);
    }
    return env;
}

int capture_sounding_ms(const std::vector<int16_t>& samples, int threshold) {
    int ms = 0;
    for (int p : capture_envelope(samples, capture_rate / 100)) ms += p > threshold ? 10 : 0;
    return ms;
}
