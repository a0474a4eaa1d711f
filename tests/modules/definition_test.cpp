// Each deliverable's GaugeDefinition against the gauge's definition and presentation tables.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "gauge/definition.h"
#include "variants/push_once/settings.h"
#include "variants/push_silent/settings.h"
#include "variants/toggle_latched/settings.h"
#include "variants/toggle_loop/settings.h"
#include "variants/toggle_once/settings.h"

namespace {

struct Presentation {
    const VariantSettings* settings;
    uint32_t header_version, linkage_version, size_mm, image_size;
    ImageSet image_set;
    int32_t mouse_box;
    uint32_t mouse_events;
    bool click_resource;
};

const Presentation presentations[] = {
    {&variant_toggle_once, 700, 0, 44, 23, ImageSet::blue_annunciator, 23, 0x20000000, true},
    {&variant_toggle_loop, 800, 0x800, 40, 21, ImageSet::green_button, 44, 0x20000000, false},
    {&variant_push_once, 700, 0, 44, 23, ImageSet::amber_green_annunciator, 23, 0x20200000, true},
    {&variant_toggle_latched, 800, 0x800, 40, 21, ImageSet::amber_on_button, 44, 0x20000000, false},
    {&variant_push_silent, 700, 0, 44, 23, ImageSet::amber_green_annunciator, 23, 0x20200000, true},
};

void PrintTo(const Presentation& p, std::ostream* os) { *os << p.settings->deliverable; }

class Definition : public ::testing::TestWithParam<Presentation> {};

TEST_P(Definition, MatchesItsDeliverable) {
    const Presentation& p = GetParam();
    constexpr GaugeDefinition toggle_once = gauge_definition_for(variant_toggle_once);
    static_assert(toggle_once.header_version == 700, "the definition is a compile-time constant");
    const GaugeDefinition d = gauge_definition_for(*p.settings);

    EXPECT_STREQ(d.name, "vemble");
    EXPECT_EQ(d.header_version, p.header_version);
    EXPECT_EQ(d.linkage_version, p.linkage_version);
    EXPECT_EQ(d.size_mm_x, p.size_mm);
    EXPECT_EQ(d.size_mm_y, 0u);
    EXPECT_EQ(d.gauge_callback, GaugeRole::gauge_service);

    EXPECT_EQ(d.background.kind, 0u);
    EXPECT_EQ(d.background.resource_id, 4096u);
    EXPECT_EQ(d.background.image_count, 1u);
    EXPECT_EQ(d.background.x, 0);
    EXPECT_EQ(d.background.y, 0);
    EXPECT_EQ(d.background.image_flags, 1u);
    EXPECT_EQ(d.background.value, GaugeRole::none);

    EXPECT_EQ(d.indicator.kind, 4u);
    EXPECT_EQ(d.indicator.resource_id, 4112u);
    EXPECT_EQ(d.indicator.image_count, 2u);
    EXPECT_EQ(d.indicator.x, 0);
    EXPECT_EQ(d.indicator.y, 0);
    EXPECT_EQ(d.indicator.image_flags, 3u);
    EXPECT_EQ(d.indicator.value, GaugeRole::gauge_indicator);

    struct Row { uint32_t kind; int32_t box; int32_t cursor; uint32_t mask, event_id; const char* text; GaugeRole function, argument; };
    const Row rows[gauge_mouse_entry_count] = {
        {1, 0, -1, 0, 0, nullptr, GaugeRole::none, GaugeRole::none},
        {4, 0, -1, 0, 1, "Toggle %1!s!", GaugeRole::none, GaugeRole::gauge_tooltip_arg},
        {2, p.mouse_box, 5, p.mouse_events, 0, nullptr, GaugeRole::gauge_press, GaugeRole::none},
        {3, 0, -1, 0, 0, nullptr, GaugeRole::none, GaugeRole::none},
        {0, 0, -1, 0, 0, nullptr, GaugeRole::none, GaugeRole::none},
    };
    for (int i = 0; i < gauge_mouse_entry_count; ++i) {
        SCOPED_TRACE("mouse entry " + std::to_string(i + 1));
        const GaugeMouseEntry& m = d.mouse[i];
        EXPECT_EQ(m.kind, rows[i].kind);
        EXPECT_EQ(m.x, 0);
        EXPECT_EQ(m.y, 0);
        EXPECT_EQ(m.width, rows[i].box);
        EXPECT_EQ(m.height, rows[i].box);
        EXPECT_EQ(m.cursor, rows[i].cursor);
        EXPECT_EQ(m.help_id, 0u);
        EXPECT_EQ(m.event_mask, rows[i].mask);
        EXPECT_EQ(m.event_id, rows[i].event_id);
        if (rows[i].text) {
            EXPECT_STREQ(m.text, rows[i].text);
        } else {
            EXPECT_EQ(m.text, nullptr);
        }
        EXPECT_EQ(m.function, rows[i].function);
        EXPECT_EQ(m.argument, rows[i].argument);
    }
    // A click anywhere on the image reaches the press.
    EXPECT_GE(uint32_t(d.mouse[2].width), d.resources.image_size);

    EXPECT_EQ(d.resources.image_set, p.image_set);
    EXPECT_EQ(d.resources.image_size, p.image_size);
    EXPECT_EQ(d.resources.bitmap_ids[0], 4096u);
    EXPECT_EQ(d.resources.bitmap_ids[1], 4112u);
    EXPECT_EQ(d.resources.bitmap_ids[2], 4113u);
    EXPECT_EQ(d.resources.click_wave, p.click_resource);
    EXPECT_TRUE(d.resources.version_block);
}

INSTANTIATE_TEST_SUITE_P(Deliverables, Definition, ::testing::ValuesIn(presentations),
                         [](const ::testing::TestParamInfo<Presentation>& info) {
                             return std::string(info.param.settings->deliverable);
                         });

}  // namespace
