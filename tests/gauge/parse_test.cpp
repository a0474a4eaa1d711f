// The gauge parameter string: file name, volume percent, attenuation and tooltip argument.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "gauge/controller.h"
#include "tests/gauge/fake_world.h"

namespace {

struct ParseCase {
    const char* text;
    const char* file_name;
    int32_t percent;
    int32_t attenuation;
};

const ParseCase parse_cases[] = {
    {"engine.wav[50]", "engine.wav", 50, -5000},
    {"engine.wav", "engine.wav", 90, -1000},
    {"engine.wav[100]", "engine.wav", 100, 0},
    {"engine.wav[150]", "engine.wav", 150, 0},
    {"engine.wav[0]", "engine.wav", 0, -10000},
    {"engine.wav[-20]", "engine.wav", -20, -10000},
    {"engine.wav[abc]", "engine.wav", 0, -10000},
    {"engine.wav[ 75 ]", "engine.wav", 75, -2500},
    {"engine.wav[50", "engine.wav", 50, -5000},
    {"engine.wav]", "engine.wav", 90, -1000},
    {"engine.wav[50]xyz", "engine.wav", 50, -5000},
    {"a[b]c[50]", "a", 0, -10000},
    {"engine.wav [50]", "engine.wav ", 50, -5000},
    {"[50]", "", 50, -5000},
    {"", "", 90, -1000},
    // Beyond the 32-bit range of percent x 100, and beyond 32 bits in the text.
    {"e.wav[21474837]", "e.wav", 21474837, 0},
    {"e.wav[-21474837]", "e.wav", -21474837, -10000},
    {"e.wav[99999999999]", "e.wav", INT32_MAX, 0},
    {"e.wav[-99999999999]", "e.wav", INT32_MIN, -10000},
    {"e.wav[2147483647]", "e.wav", INT32_MAX, 0},
    {"e.wav[-2147483648]", "e.wav", INT32_MIN, -10000},
};

TEST(Parse, TableOfParameterStrings) {
    for (const ParseCase& c : parse_cases) {
        SCOPED_TRACE(c.text);
        char text[64];
        std::strcpy(text, c.text);
        int32_t percent = -1;
        char* bracket = gauge_parse_parameters(text, &percent);
        EXPECT_STREQ(text, c.file_name);
        EXPECT_EQ(percent, c.percent);
        EXPECT_EQ(gauge_volume_to_attenuation(percent), c.attenuation);
        EXPECT_EQ(bracket != nullptr, std::strchr(c.text, '[') != nullptr);
    }
}

// Through the install: the tooltip argument reads the file name, the press applies the
// attenuation, and the host's own text is what was cut.
TEST(Parse, InstallGivesTooltipAndVolume) {
    FakeHost host;
    for (const ParseCase& c : parse_cases) {
        SCOPED_TRACE(c.text);
        host.install(c.text);
        EXPECT_EQ(gauge_tooltip_arg(), host.text);
        EXPECT_STREQ(gauge_tooltip_arg(), c.file_name);
        world.calls.clear();
        gauge_press();  // toggle_once alternates; either press applies the volume or stops
        gauge_press();
        std::string volume = "player_set_volume " + std::to_string(c.attenuation);
        int found = 0;
        for (const std::string& call : world.calls) found += call == volume;
        EXPECT_EQ(found, 1);
        host.kill();
    }
}

TEST(Parse, SoundPathIsPrefixAndFileName) {
    FakeHost host;
    host.install("engine.wav[50]");
    ASSERT_GE(world.calls.size(), 5u);
    EXPECT_EQ(world.calls[4], "player_prepare .\\\\Sound\\\\engine.wav");
    EXPECT_EQ(std::strlen(".\\\\Sound\\\\engine.wav"), 20u);
}

}  // namespace
