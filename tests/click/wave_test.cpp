// The chunk locator on small hand-built images: one table, every case run on an exact-size
// copy of its image with the outputs preset to junk, so that clearing is checked too.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "click/wave.h"
#include "tools/click_wave/click_wave.h"

namespace {

// Builds RIFF WAVE images chunk by chunk; the RIFF size follows the bytes unless set.
struct Image {
    std::vector<uint8_t> bytes;
    bool riff_size_set = false;
    uint32_t riff_size = 0;

    Image() { put("RIFF"); put32(0); put("WAVE"); }
    void put(const char* id) { bytes.insert(bytes.end(), id, id + 4); }
    void put32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(v >> (8 * i)));
    }
    // A chunk with `size` in its header and `body` bytes written (size unless given).
    Image& chunk(const char* id, uint32_t size, bool pad = true, int64_t body = -1) {
        put(id);
        put32(size);
        bytes.insert(bytes.end(), size_t(body < 0 ? size : body), uint8_t(0x5A));
        if (pad && (size & 1) && body < 0) bytes.push_back(0);
        return *this;
    }
    Image& form(const char* id, const char* type) {
        std::memcpy(bytes.data(), id, 4);
        std::memcpy(bytes.data() + 8, type, 4);
        return *this;
    }
    Image& size_field(uint32_t v) { riff_size_set = true; riff_size = v; return *this; }
    Image& cut(size_t length) { bytes.resize(length); return *this; }
    std::vector<uint8_t> done() const {
        std::vector<uint8_t> out = bytes;
        uint32_t v = riff_size_set ? riff_size : uint32_t(out.size() - 8);
        if (out.size() >= 8)
            for (int i = 0; i < 4; ++i) out[4 + i] = uint8_t(v >> (8 * i));
        return out;
    }
};

enum Wanted { F = 1, D = 2, L = 4, all = F | D | L };
constexpr int64_t none = -1;

struct Case {
    std::string name;
    std::vector<uint8_t> image;
    int wanted;
    int result;
    int64_t format;  // offset in the image, or none
    int64_t data;
    uint32_t data_length;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

std::vector<Case> cases() {
    return {
        {"embedded_click", make_click_wave(), all, 1, 20, 56, 127},
        {"odd_chunk_with_pad", Image().chunk("fmt ", 16).chunk("LIST", 3).chunk("data", 10).done(),
         all, 1, 20, 56, 10},
        // The walk looks for a header at 48, finds none it knows and runs off the image.
        {"odd_chunk_without_pad",
         Image().chunk("fmt ", 16).chunk("LIST", 3, false).chunk("data", 10).done(), all, 0, 20,
         none, 0},
        {"missing_data", Image().chunk("fmt ", 16).chunk("fact", 4).done(), all, 0, 20, none, 0},
        {"format_after_data", Image().chunk("data", 10).chunk("fmt ", 16).done(), all, 1, 38, 20,
         10},
        {"short_format_decides",
         Image().chunk("fmt ", 13).chunk("fmt ", 16).chunk("data", 10).done(), all, 0, none, none,
         0},
        {"format_of_14", Image().chunk("fmt ", 14).chunk("data", 10).done(), all, 1, 20, 42, 10},
        {"short_format_not_wanted", Image().chunk("fmt ", 13).chunk("data", 10).done(), D | L, 1,
         none, 42, 10},
        {"first_of_two_formats",
         Image().chunk("fmt ", 16).chunk("fmt ", 18).chunk("data", 4).done(), all, 1, 20, 70, 4},
        {"first_of_two_datas",
         Image().chunk("data", 4).chunk("data", 6).chunk("fmt ", 16).done(), all, 1, 46, 20, 4},
        {"empty_data_after_format", Image().chunk("fmt ", 16).chunk("data", 0).done(), all, 1, 20,
         44, 0},
        {"empty_data_replaced_after_format",
         Image().chunk("data", 0).chunk("fmt ", 16).chunk("data", 5).done(), all, 1, 28, 52, 5},
        {"empty_data_before_format_only", Image().chunk("data", 0).chunk("fmt ", 16).done(), all, 0,
         28, 20, 0},
        {"form_id_not_riff", Image().chunk("fmt ", 16).chunk("data", 4).form("RIFX", "WAVE").done(),
         all, 0, none, none, 0},
        {"form_type_not_wave",
         Image().chunk("fmt ", 16).chunk("data", 4).form("RIFF", "AVI ").done(), all, 0, none, none,
         0},
        {"id_case_differs",
         Image().chunk("FMT ", 16).chunk("fmt ", 16).chunk("Data", 2).chunk("data", 10).done(), all,
         1, 44, 78, 10},
        {"riff_size_4", Image().chunk("fmt ", 16).chunk("data", 4).size_field(4).done(), all, 0,
         none, none, 0},
        {"end_on_data_header", Image().chunk("fmt ", 16).chunk("data", 10).size_field(28).done(),
         all, 0, 20, none, 0},
        {"end_one_past_data_header",
         Image().chunk("fmt ", 16).chunk("data", 10).size_field(29).done(), all, 1, 20, 44, 10},
        {"only_length_wanted", Image().chunk("data", 0).chunk("data", 5).done(), L, 1, none, none,
         0},
        {"only_format_wanted", Image().chunk("fmt ", 16).done(), F, 1, 20, none, 0},
        {"only_short_format_wanted", Image().chunk("fmt ", 13).chunk("fmt ", 16).done(), F, 0, none,
         none, 0},
        {"nothing_wanted", Image().chunk("fmt ", 16).chunk("data", 4).done(), 0, 0, none, none, 0},
        // Bounded by the image itself, whatever the sizes claim.
        {"image_shorter_than_header", Image().cut(10).done(), all, 0, none, none, 0},
        {"header_crosses_end",
         Image().chunk("fmt ", 16).chunk("data", 10).size_field(46).cut(40).done(), all, 0, 20,
         none, 0},
        {"format_crosses_end", Image().chunk("fmt ", 16).size_field(100).cut(30).done(), all, 0,
         none, none, 0},
        {"data_crosses_end",
         Image().chunk("fmt ", 16).chunk("data", 10).size_field(54).cut(53).done(), all, 0, 20,
         none, 0},
        {"data_size_near_4g", Image().chunk("fmt ", 16).chunk("data", 0xFFFFFFF0u, true, 10).done(),
         all, 0, 20, none, 0},
        // 32-bit positions would wrap back onto the "data" header after the huge chunk.
        {"skip_near_4g_does_not_wrap",
         Image().chunk("fmt ", 16).chunk("JUNK", 0xFFFFFFFFu, true, 0).chunk("data", 10)
             .size_field(0xFFFFFFFFu).done(),
         all, 0, 20, none, 0},
        {"riff_size_past_image_found_early",
         Image().chunk("fmt ", 16).chunk("data", 10).size_field(0xFFFFFFFFu).done(), all, 1, 20, 44,
         10},
        {"riff_size_past_image_missing_data",
         Image().chunk("fmt ", 16).chunk("fact", 4).size_field(0xFFFFFFFFu).done(), all, 0, 20,
         none, 0},
    };
}

class WaveChunks : public testing::TestWithParam<Case> {};

TEST_P(WaveChunks, FindsWhatTheImageHolds) {
    const Case& c = GetParam();
    // Exactly the image's bytes on the heap: a sanitizer build sees any read past them.
    std::unique_ptr<uint8_t[]> image(new uint8_t[c.image.size() + (c.image.empty() ? 1 : 0)]);
    std::memcpy(image.get(), c.image.data(), c.image.size());
    const uint8_t junk = 0;
    const void* format = &junk;
    const uint8_t* data = &junk;
    uint32_t data_length = 0xDEADBEEF;

    int result = find_wave_chunks(image.get(), uint32_t(c.image.size()),
                                  (c.wanted & F) ? &format : nullptr,
                                  (c.wanted & D) ? &data : nullptr,
                                  (c.wanted & L) ? &data_length : nullptr);
    EXPECT_EQ(result, c.result);
    auto offset = [&](const void* p) -> int64_t {
        return p ? static_cast<const uint8_t*>(p) - image.get() : none;
    };
    if (c.wanted & F) {
        EXPECT_EQ(offset(format), c.format);
    }
    if (c.wanted & D) {
        EXPECT_EQ(offset(data), c.data);
    }
    if (c.wanted & L) {
        EXPECT_EQ(data_length, c.data_length);
    }
}

INSTANTIATE_TEST_SUITE_P(Images, WaveChunks, testing::ValuesIn(cases()),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

}  // namespace
