// toggle_latched: a press toggles a single playback; the indicator stays on after the end.
#include <gtest/gtest.h>

#include "gauge/controller.h"
#include "tests/gauge/fake_world.h"

namespace {

using Calls = std::vector<std::string>;
const std::string path = ".\\\\Sound\\\\engine.wav";

TEST(ToggleLatched, StaysOnAfterTheEndUntilThePressThatTurnsItOff) {
    FakeHost host;
    host.install("engine.wav[50]");
    EXPECT_EQ(world.calls[1], "click_load .\\Sound\\clickme.wav");
    world.calls.clear();
    gauge_press();
    EXPECT_EQ(world.calls, (Calls{"click_play 0", "player_stop", "player_start " + path + " 0",
                                  "player_set_volume -5000"}));
    world.playing = false;  // the sound ended by itself
    EXPECT_EQ(gauge_indicator(), 1.0);
    world.calls.clear();
    gauge_press();  // turns it off; nothing else is heard
    EXPECT_EQ(world.calls, (Calls{"click_play 0", "player_stop"}));
    EXPECT_EQ(gauge_indicator(), 0.0);
    world.calls.clear();
    gauge_press();  // and the next press starts the sound again
    EXPECT_EQ(world.calls[2], "player_start " + path + " 0");
    EXPECT_EQ(gauge_indicator(), 1.0);
}

TEST(ToggleLatched, MissingClickFileIsTold) {
    world.click_loads = false;
    FakeHost host;
    host.install("engine.wav");
    EXPECT_EQ(world.calls[2], "notice clickme.wav file not installed");
}

TEST(ToggleLatched, KilledWhileOnStillShowsOnAfterReinstall) {
    FakeHost host;
    host.install("engine.wav");
    gauge_press();
    host.kill();
    host.install("engine.wav");
    EXPECT_EQ(gauge_indicator(), 1.0);
    gauge_press();
    EXPECT_EQ(gauge_indicator(), 0.0);
}

}  // namespace
