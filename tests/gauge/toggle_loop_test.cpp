// toggle_loop: a press toggles a looping sound; the click comes from a file.
#include <gtest/gtest.h>

#include "gauge/controller.h"
#include "tests/gauge/fake_world.h"

namespace {

using Calls = std::vector<std::string>;
const std::string path = ".\\\\Sound\\\\engine.wav";

TEST(ToggleLoop, PressStartsLoopingAndNextPressStops) {
    FakeHost host;
    host.install("engine.wav[100]");
    EXPECT_EQ(world.calls[1], "click_load .\\Sound\\clickme.wav");
    world.calls.clear();
    gauge_press();
    EXPECT_EQ(world.calls, (Calls{"click_play 0", "player_stop", "player_start " + path + " 1",
                                  "player_set_volume 0"}));
    EXPECT_EQ(gauge_indicator(), 1.0);
    world.calls.clear();
    gauge_press();
    EXPECT_EQ(world.calls, (Calls{"click_play 0", "player_stop"}));
    EXPECT_EQ(gauge_indicator(), 0.0);
}

TEST(ToggleLoop, IndicatorShowsToggleStateWhateverThePlayerSays) {
    FakeHost host;
    host.install("engine.wav");
    gauge_press();
    world.playing = false;
    EXPECT_EQ(gauge_indicator(), 1.0);
}

TEST(ToggleLoop, MissingClickFileIsToldOnceAndPressesWorkWithoutClick) {
    world.click_loads = false;
    FakeHost host;
    host.install("engine.wav");
    EXPECT_EQ(world.calls, (Calls{"click_open", "click_load .\\Sound\\clickme.wav",
                                  "notice clickme.wav file not installed", "player_open 0,0,0,0",
                                  "player_prepare " + path}));
    world.calls.clear();
    gauge_press();
    EXPECT_EQ(world.calls, (Calls{"player_stop", "player_start " + path + " 1", "player_set_volume -1000"}));
    world.calls.clear();
    host.kill();
    EXPECT_EQ(world.calls, (Calls{"player_close", "click_close"}));
}

TEST(ToggleLoop, WithoutPreparedPathIndicatorAlternates) {
    world.prepare_ok = false;
    FakeHost host;
    host.install("engine.wav");
    for (double expected : {1.0, 0.0, 1.0}) {
        gauge_press();
        EXPECT_EQ(gauge_indicator(), expected);
    }
}

}  // namespace
