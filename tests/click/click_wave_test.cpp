// The click wave committed with the deliverables that embed it: what the generator writes,
// and what the locator finds in it.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "click/wave.h"
#include "common/vemble.h"
#include "tools/click_wave/click_wave.h"

namespace {

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

class CommittedClick : public testing::TestWithParam<const char*> {};

TEST_P(CommittedClick, IsTheGeneratedClickAndLocates) {
    const auto wave = read_file(std::string(VEMBLE_SOURCE_DIR "/variants/") + GetParam() + "/click.wav");
    ASSERT_EQ(wave.size(), 184u);
    EXPECT_EQ(wave, make_click_wave()) << "run make_click_wave and commit what it writes";

    const void* format = nullptr;
    const uint8_t* data = nullptr;
    uint32_t length = 0;
    ASSERT_EQ(find_wave_chunks(wave.data(), uint32_t(wave.size()), &format, &data, &length), 1);
    EXPECT_EQ(static_cast<const uint8_t*>(format) - wave.data(), 20);
    EXPECT_EQ(data - wave.data(), 56);
    EXPECT_EQ(length, 127u);
    // 8-bit PCM mono at 22050 Hz, with the 127 frames named in its "fact" chunk.
    EXPECT_EQ(u32(wave, 20), 0x00010001u);
    EXPECT_EQ(u32(wave, 24), 22050u);
    EXPECT_EQ(u32(wave, 32), 0x00080001u);
    EXPECT_EQ(u32(wave, 44), 127u);
    EXPECT_EQ(wave[183], 0);
}

INSTANTIATE_TEST_SUITE_P(Deliverables, CommittedClick,
                         testing::Values("toggle_once", "push_once", "push_silent"));

TEST(ClickWave, IsNoiseOverTheWholeRangeThatDiesAway) {
    const auto wave = make_click_wave();
    const auto first = wave.begin() + 56, last = first + 127;
    EXPECT_EQ(*std::min_element(first, last), 0);
    EXPECT_EQ(*std::max_element(first, last), 255);
    EXPECT_EQ(*(last - 1), 128) << "ends at the middle value: no step when it stops";
}

// The click sound clamps every attenuation it is given into the platform's range.
TEST(ClickVolume, ClampsAttenuationToTheBufferRange) {
    const struct { int32_t given, used; } table[] = {
        {1, 0}, {2147483647, 0}, {0, 0}, {-500, -500}, {-10000, -10000},
        {-10001, -10000}, {-2147483647 - 1, -10000},
    };
    for (const auto& row : table) EXPECT_EQ(vemble_clamp_attenuation(row.given), row.used) << row.given;
}

}  // namespace
