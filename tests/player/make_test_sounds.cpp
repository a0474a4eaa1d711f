// Built and run on the build machine: the sounds that the player tests need inside the test
// program (an embedded raw-data resource) and as the source of the MP3 that lame encodes.
#include <cstdio>

#include "tests/support/wave_gen.h"

int main() {
    ToneSpec embedded;
    embedded.rate = 22050;
    embedded.frequency = 660;
    embedded.seconds = 0.2;
    ToneSpec mp3_source;
    mp3_source.rate = 44100;
    mp3_source.channels = 2;
    mp3_source.seconds = 0.5;
    if (!write_bytes("embedded_tone.wav", make_tone_wav(embedded)) ||
        !write_bytes("mp3_source.wav", make_tone_wav(mp3_source))) {
        std::fprintf(stderr, "make_test_sounds: cannot write\n");
        return 1;
    }
    return 0;
}
