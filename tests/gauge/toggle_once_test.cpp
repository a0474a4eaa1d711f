// toggle_once: a press toggles; the sound plays once; the indicator drops when it ends.
#include <gtest/gtest.h>

#include "gauge/controller.h"
#include "tests/gauge/fake_world.h"

namespace {

using Calls = std::vector<std::string>;
const std::string path = ".\\\\Sound\\\\engine.wav";

TEST(ToggleOnce, PressFromOffClicksStartsOnceAndTurnsOn) {
    FakeHost host;
    host.install("engine.wav[50]");
    world.calls.clear();
    EXPECT_EQ(gauge_press(), 0);
    EXPECT_EQ(world.calls, (Calls{"click_play 0", "player_stop", "player_start " + path + " 0",
                                  "player_set_volume -5000"}));
    EXPECT_EQ(gauge_indicator(), 1.0);
}

TEST(ToggleOnce, EndOfPlaybackTurnsIndicatorOffAndNextPressStartsAgain) {
    FakeHost host;
    host.install("engine.wav");
    gauge_press();
    world.playing = false;  // the sound ended by itself
    EXPECT_EQ(gauge_indicator(), 0.0);
    world.calls.clear();
    gauge_press();
    EXPECT_EQ(world.calls, (Calls{"click_play 0", "player_stop", "player_start " + path + " 0",
                                  "player_set_volume -1000"}));
}

TEST(ToggleOnce, PressWhileOnClicksAndStops) {
    FakeHost host;
    host.install("engine.wav");
    gauge_press();
    world.calls.clear();
    gauge_press();
    EXPECT_EQ(world.calls, (Calls{"click_play 0", "player_stop"}));
    EXPECT_EQ(gauge_indicator(), 0.0);
}

TEST(ToggleOnce, WithoutPreparedPathIndicatorFallsBackToOff) {
    world.prepare_ok = false;
    FakeHost host;
    host.install("missing.wav");
    EXPECT_EQ(world.calls.back(), "notice sound not installed");
    world.calls.clear();
    gauge_press();
    EXPECT_EQ(world.calls, (Calls{"click_play 0", "player_stop", "player_set_volume -1000"}));
    EXPECT_EQ(gauge_indicator(), 0.0);
}

TEST(ToggleOnce, MissingClickIsSilentAndNeverPlayed) {
    world.click_loads = false;
    FakeHost host;
    host.install("engine.wav");
    EXPECT_EQ(world.calls, (Calls{"click_open", "click_load CLICK", "player_open 0,0,0,0",
                                  "player_prepare " + path}));
    world.calls.clear();
    gauge_press();
    EXPECT_EQ(world.calls.front(), "player_stop");
    world.calls.clear();
    host.kill();
    EXPECT_EQ(world.calls, (Calls{"player_close", "click_close"}));
}

TEST(ToggleOnce, KilledWhileOnShowsOffOnceNothingPlaysAfterReinstall) {
    FakeHost host;
    host.install("engine.wav");
    gauge_press();
    host.kill();
    host.install("engine.wav");
    EXPECT_EQ(gauge_indicator(), 0.0);
}

}  // namespace
