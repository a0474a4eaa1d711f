// push_once: a press only starts; presses while the sound plays do nothing at all.
#include <gtest/gtest.h>

#include "gauge/controller.h"
#include "tests/gauge/fake_world.h"

namespace {

using Calls = std::vector<std::string>;
const std::string path = ".\\\\Sound\\\\engine.wav";

TEST(PushOnce, PressClicksAndStartsAndPressesWhilePlayingAreIgnored) {
    FakeHost host;
    host.install("engine.wav[50]");
    world.calls.clear();
    gauge_press();
    EXPECT_EQ(world.calls, (Calls{"click_play 0", "player_start " + path + " 0", "player_set_volume -5000"}));
    EXPECT_EQ(gauge_indicator(), 1.0);
    world.calls.clear();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(gauge_press(), 0);  // held down: repeated calls
    EXPECT_TRUE(world.calls.empty());
    world.playing = false;
    EXPECT_EQ(gauge_indicator(), 0.0);
    gauge_press();
    EXPECT_EQ(world.calls, (Calls{"click_play 0", "player_start " + path + " 0", "player_set_volume -5000"}));
}

TEST(PushOnce, WithoutPreparedPathEveryCallClicksAndIndicatorStaysOff) {
    world.prepare_ok = false;
    FakeHost host;
    host.install("engine.wav");
    world.calls.clear();
    gauge_press();
    gauge_press();
    EXPECT_EQ(world.calls, (Calls{"click_play 0", "player_set_volume -1000", "click_play 0",
                                  "player_set_volume -1000"}));
    EXPECT_EQ(gauge_indicator(), 0.0);
}

TEST(PushOnce, AcceptsPressesAgainAfterKillAndReinstall) {
    FakeHost host;
    host.install("engine.wav");
    gauge_press();
    host.kill();  // the player's close ends playback
    host.install("engine.wav");
    world.calls.clear();
    gauge_press();
    EXPECT_EQ(world.calls.front(), "click_play 0");
}

}  // namespace
