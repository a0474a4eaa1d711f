// Install and kill rules shared by every deliverable (run with toggle_once's settings).
#include <gtest/gtest.h>

#include <string>

#include "gauge/controller.h"
#include "tests/gauge/fake_world.h"

namespace {

using Calls = std::vector<std::string>;
const std::string prefix = ".\\\\Sound\\\\";

TEST(Install, OpensLoadsParsesAndPreparesInOrder) {
    FakeHost host;
    host.install("engine.wav[50]");
    EXPECT_EQ(world.calls, (Calls{"click_open", "click_load CLICK", "click_set_volume -500",
                                  "player_open 0,0,0,0", "player_prepare " + prefix + "engine.wav"}));
}

TEST(Install, KillClosesPlayerThenClick) {
    FakeHost host;
    host.install("engine.wav");
    world.calls.clear();
    host.kill();
    EXPECT_EQ(world.calls, (Calls{"player_close", "click_release", "click_close"}));
    world.calls.clear();
    host.kill();  // a second kill has nothing left to close
    EXPECT_TRUE(world.calls.empty());
}

TEST(Install, SecondInstallKeepsFirstSoundPathButTakesVolumeAndTooltip) {
    FakeHost host;
    host.install("engine.wav[50]");
    host.kill();
    world.calls.clear();
    host.install("other.wav[20]");
    EXPECT_EQ(world.calls.back(), "player_prepare " + prefix + "engine.wav");
    EXPECT_STREQ(gauge_tooltip_arg(), "other.wav");
    world.calls.clear();
    gauge_press();
    EXPECT_EQ(world.calls, (Calls{"click_play 0", "player_stop", "player_start " + prefix + "engine.wav 0",
                                  "player_set_volume -8000"}));
}

TEST(Install, EmptyFileNameLeavesBarePrefixForALaterInstall) {
    FakeHost host;
    host.install("[50]");
    EXPECT_EQ(world.calls.back(), "player_prepare " + prefix);
    host.kill();
    host.install("later.wav");
    EXPECT_EQ(world.calls.back(), "player_prepare " + prefix + "later.wav");
}

TEST(Install, SameCutTextAgainTakesDefaultVolume) {
    FakeHost host;
    host.install("engine.wav[50]");
    host.kill();
    gauge_service(&host.header, PANEL_SERVICE_PRE_INSTALL, fake_module);  // text already cut
    world.calls.clear();
    gauge_press();
    EXPECT_EQ(world.calls.back(), "player_set_volume -1000");
}

TEST(Install, NullParameterTextIsEmpty) {
    FakeHost host;
    host.install_null();
    EXPECT_EQ(world.calls.back(), "player_prepare " + prefix);
    EXPECT_STREQ(gauge_tooltip_arg(), "");
    world.calls.clear();
    gauge_press();
    EXPECT_EQ(world.calls.back(), "player_set_volume -1000");
}

TEST(Install, TooLongFileNameIsRefusedWithMessage) {
    FakeHost host;
    std::string name(246, 'x');  // prefix (10) + 246 = 256 characters: one too many
    host.install(name.c_str());
    EXPECT_EQ(world.calls.back(), "notice sound not installed");
    for (const std::string& c : world.calls) EXPECT_NE(c.rfind("player_prepare", 0), 0u) << c;
    world.calls.clear();
    gauge_press();  // clicks and sets the volume, starts nothing
    EXPECT_EQ(world.calls, (Calls{"click_play 0", "player_stop", "player_set_volume -1000"}));
    host.kill();
    host.install(std::string(245, 'y').c_str());  // 255 characters fit, and fix the path now
    EXPECT_EQ(world.calls.back(), "player_prepare " + prefix + std::string(245, 'y'));
}

TEST(Install, InstallWithoutKillClosesFirst) {
    FakeHost host;
    host.install("engine.wav");
    world.calls.clear();
    host.install("engine.wav");
    EXPECT_EQ(Calls(world.calls.begin(), world.calls.begin() + 4),
              (Calls{"player_close", "click_release", "click_close", "click_open"}));
}

TEST(Install, OtherServicesChangeNothing) {
    FakeHost host;
    for (int32_t s = -1; s <= 17; ++s)
        if (s != 2 && s != 12) gauge_service(&host.header, s, fake_module);
    EXPECT_TRUE(world.calls.empty());
    host.install("engine.wav[50]");
    gauge_press();
    world.calls.clear();
    for (int32_t s = -1; s <= 17; ++s)
        if (s != 2 && s != 12) gauge_service(&host.header, s, fake_module);
    EXPECT_TRUE(world.calls.empty());
    EXPECT_EQ(gauge_indicator(), 1.0);
    EXPECT_STREQ(gauge_tooltip_arg(), "engine.wav");
}

}  // namespace
