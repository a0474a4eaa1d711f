// Writes the bundled sample sounds that the demo plays and the release ships:
//   chime.wav   a two-tone cabin chime (ding-dong), 1.6 s: easy to tell apart from the click
//   engine.wav  a piston engine at idle, 3 s, made of whole firing cycles so that it loops
//               without a seam
// Both are 22050 Hz, 16-bit mono PCM. The output is the same bytes on every run.
//
//   make_sample_sounds OUTPUT_FOLDER
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr uint32_t rate = 22050;

void put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}
void put16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

bool write_wav(const std::string& path, const std::vector<double>& samples) {
    std::vector<uint8_t> b;
    const uint32_t data = uint32_t(samples.size() * 2);
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    put32(b, 36 + data);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(b, 16);
    put16(b, 1);
    put16(b, 1);
    put32(b, rate);
    put32(b, rate * 2);
    put16(b, 2);
    put16(b, 16);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put32(b, data);
    for (double s : samples) {
        double v = std::fmax(-1.0, std::fmin(1.0, s)) * 32767.0;
        put16(b, uint16_t(int16_t(std::lround(v))));
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
    return std::fclose(f) == 0 && ok;
}

// A struck bell tone: a few inharmonic partials with an exponential decay.
double bell(double t, double f) {
    if (t < 0) return 0;
    double attack = std::fmin(1.0, t / 0.004);
    double v = std::sin(2 * pi * f * t) + 0.35 * std::sin(2 * pi * f * 2.76 * t) * std::exp(-t * 6) +
               0.2 * std::sin(2 * pi * f * 5.4 * t) * std::exp(-t * 10);
    return attack * v * std::exp(-t * 2.2);
}

std::vector<double> chime() {
    std::vector<double> s(size_t(rate * 1.6));
    for (size_t i = 0; i < s.size(); ++i) {
        double t = double(i) / rate;
        s[i] = 0.32 * (bell(t, 880.0) + bell(t - 0.45, 698.5));
        s[i] *= std::fmin(1.0, (1.6 - t) / 0.05);  // no click at the end
    }
    return s;
}

// Idle piston engine: four cylinders at 750 rpm fire 25 times a second. Each firing is a
// damped low thump with a little deterministic noise; 75 whole cycles make exactly 3 s.
std::vector<double> engine() {
    const double firing = 25.0;
    const size_t per_cycle = size_t(rate / firing);  // 882 samples
    std::vector<double> s(per_cycle * 75);
    uint32_t seed = 12345;
    for (size_t i = 0; i < s.size(); ++i) {
        size_t cycle = i / per_cycle;
        double t = double(i % per_cycle) / rate;
        seed = seed * 1664525u + 1013904223u;
        double noise = (double(seed >> 8) / double(1u << 24)) * 2 - 1;
        double strength = 0.85 + 0.15 * std::sin(double(cycle) * 1.7);  // uneven firing
        double thump = std::sin(2 * pi * 55.0 * t) * std::exp(-t * 70) +
                       0.5 * std::sin(2 * pi * 110.0 * t) * std::exp(-t * 90) +
                       0.25 * noise * std::exp(-t * 160);
        s[i] = 0.45 * strength * thump + 0.06 * std::sin(2 * pi * 25.0 * double(i) / rate);
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_sounds OUTPUT_FOLDER\n");
        return 2;
    }
    std::string dir = argv[1];
    if (!write_wav(dir + "/chime.wav", chime()) || !write_wav(dir + "/engine.wav", engine())) {
        std::fprintf(stderr, "make_sample_sounds: cannot write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
