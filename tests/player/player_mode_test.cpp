// What differs between the two notify modes, against the real DirectShow: whether the end of a
// single playback is seen, and that loops restart under both.
#include <gtest/gtest.h>

#include "tests/player/player_wine.h"
#include "tests/support/capture.h"

namespace {

TEST(PlayerMode, SinglePlaybackEndIsSeenOnlyUnderEveryStart) {
    const std::string path = write_tone("mode_single.wav", 0.3);
    ASSERT_EQ(player_open(this_module(), 0, 0, 0, 0), 1);
    const char* prepared = player_prepare(path.c_str());
    ASSERT_EQ(prepared, path.c_str());
    // Any loop value but 1 plays once.
    for (int32_t loop : {0, 2}) {
        ASSERT_EQ(player_start(prepared, loop), 1);
        EXPECT_EQ(player_is_playing(), 1);
        pump_messages_for(1500);
        if (player_notify_mode == NotifyMode::every_start) {
            EXPECT_EQ(player_is_playing(), 0) << loop;
        } else {
            EXPECT_EQ(player_is_playing(), 1) << loop;
            EXPECT_EQ(player_stop(), 1);
            EXPECT_EQ(player_is_playing(), 0);
        }
    }
    EXPECT_EQ(player_close(), 1);
    DeleteFileA(path.c_str());
}

// Number of separate stretches of sound: each restart of a loop begins one.
int sounding_runs(const std::vector<int16_t>& samples) {
    int runs = 0;
    bool on = false;
    for (int peak : capture_envelope(samples, capture_rate / 100)) {
        bool now = peak > 2000;
        runs += now && !on;
        on = now;
    }
    return runs;
}

TEST(PlayerMode, LoopedStartPlaysPastSeveralLengthsAndStopsAtStop) {
    const std::string path = write_tone("mode_loop.wav", 0.6);
    ASSERT_EQ(player_open(this_module(), 0, 0, 0, 0), 1);
    player_set_volume(0);  // the attenuation outlives a close: set it for what is measured
    ASSERT_NE(player_prepare(path.c_str()), nullptr);
    int64_t mark = capture_now();
    ASSERT_EQ(player_start(path.c_str(), 1), 1);
    pump_messages_for(3000);
    EXPECT_EQ(player_is_playing(), 1);
    EXPECT_EQ(player_stop(), 1);
    EXPECT_EQ(player_is_playing(), 0);
    int64_t stopped = capture_now();
    auto samples = capture_window(mark, 3400);
    auto after_stop = capture_window(stopped + capture_rate / 2, 1000);
    EXPECT_EQ(player_close(), 1);
    DeleteFileA(path.c_str());

    if (!capture_available()) GTEST_SKIP() << "no recording (VEMBLE_AUDIO unset)";
    // 3 s of looping a 0.6 s sound. The seek at each end drops what the output still held
    // (about 0.2 s), so each pass sounds for less than its length; still it restarts several
    // times and sounds for well over two lengths in all.
    EXPECT_GT(capture_sounding_ms(samples, 2000), 1200);
    EXPECT_GE(sounding_runs(samples), 4);
    EXPECT_LT(capture_peak(after_stop), 500);
}

}  // namespace
