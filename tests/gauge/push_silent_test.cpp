// push_silent: as push_once, but no press plays the click, although it is loaded.
#include <gtest/gtest.h>

#include "gauge/controller.h"
#include "tests/gauge/fake_world.h"

namespace {

using Calls = std::vector<std::string>;
const std::string path = ".\\\\Sound\\\\engine.wav";

TEST(PushSilent, ClickIsLoadedAndReleasedButNeverPlayed) {
    FakeHost host;
    host.install("engine.wav");
    EXPECT_EQ(Calls(world.calls.begin(), world.calls.begin() + 3),
              (Calls{"click_open", "click_load CLICK", "click_set_volume -500"}));
    world.calls.clear();
    gauge_press();
    EXPECT_EQ(world.calls, (Calls{"player_start " + path + " 0", "player_set_volume -1000"}));
    EXPECT_EQ(gauge_indicator(), 1.0);
    world.calls.clear();
    gauge_press();  // while playing: ignored
    EXPECT_TRUE(world.calls.empty());
    world.playing = false;
    EXPECT_EQ(gauge_indicator(), 0.0);
    world.calls.clear();
    host.kill();
    EXPECT_EQ(world.calls, (Calls{"player_close", "click_release", "click_close"}));
}

TEST(PushSilent, WithoutPreparedPathPressesOnlySetTheVolume) {
    world.prepare_ok = false;
    FakeHost host;
    host.install("engine.wav");
    world.calls.clear();
    gauge_press();
    EXPECT_EQ(world.calls, (Calls{"player_set_volume -1000"}));
}

}  // namespace
