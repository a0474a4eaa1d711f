// Writes the click wave that the deliverables with an embedded click carry.
//   make_click_wave OUT.wav [OUT.wav ...]
#include <cstdio>

#include "tools/click_wave/click_wave.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.wav [OUT.wav ...]\n", argv[0]);
        return 2;
    }
    const std::vector<uint8_t> wave = make_click_wave();
    for (int i = 1; i < argc; ++i) {
        std::FILE* f = std::fopen(argv[i], "wb");
        if (!f || std::fwrite(wave.data(), 1, wave.size(), f) != wave.size() || std::fclose(f) != 0) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[i]);
            return 1;
        }
    }
    return 0;
}
