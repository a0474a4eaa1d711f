// The gauge as the host is told about it, as one constant per deliverable. Host-independent:
// the host binding (binding_win32.cpp) fills the host's records from it, and native tests read it.
#pragma once
#include <cstdint>
#include "gauge/variant.h"

// Which of the controller's entry points a host callback slot is bound to.
enum class GaugeRole { none, gauge_service, gauge_press, gauge_indicator, gauge_tooltip_arg };

struct GaugeImageElement {
    uint32_t kind;         // 0 static image, 4 icon
    uint32_t resource_id;  // the first image; image n is resource_id + n
    uint32_t image_count;
    int32_t x, y;
    uint32_t image_flags;
    GaugeRole value;       // where an icon takes its value from
};

struct GaugeMouseEntry {
    uint32_t kind;  // 1 parent, 4 tooltip, 2 child, 3 end of parent, 0 end of list
    int32_t x, y, width, height;
    int32_t cursor;
    uint32_t help_id;
    uint32_t event_mask;
    uint32_t event_id;
    const char* text;      // a tooltip entry's text, kept in the function slot
    GaugeRole function;    // a click entry's handler
    GaugeRole argument;    // a tooltip entry's string insert
};

struct GaugeResources {
    ImageSet image_set;
    uint32_t image_size;
    uint32_t bitmap_ids[3];  // background, indicator value 0, indicator value 1
    bool click_wave;         // the raw-data resource "CLICK"
    bool version_block;
};

constexpr int gauge_mouse_entry_count = 5;

struct GaugeDefinition {
    const char* name;
    uint32_t header_version;
    uint32_t linkage_version;
    uint32_t size_mm_x, size_mm_y;
    GaugeImageElement background;
    GaugeImageElement indicator;
    GaugeMouseEntry mouse[gauge_mouse_entry_count];
    GaugeRole gauge_callback;
    GaugeResources resources;
};

inline constexpr char gauge_name[] = "vemble";
inline constexpr char gauge_tooltip_text[] = "Toggle %1!s!";

constexpr uint32_t gauge_background_image = 4096;
constexpr uint32_t gauge_indicator_image = 4112;
constexpr uint32_t gauge_element_static_image = 0;
constexpr uint32_t gauge_element_icon = 4;
constexpr int32_t gauge_cursor_none = -1;
constexpr int32_t gauge_cursor_hand = 5;

constexpr GaugeDefinition gauge_definition_for(const VariantSettings& v) {
    const int32_t box = static_cast<int32_t>(v.mouse_box);
    return GaugeDefinition{
        gauge_name,
        v.header_version,
        v.linkage_version,
        v.default_size_mm, 0,
        {gauge_element_static_image, gauge_background_image, 1, 0, 0, 0x1, GaugeRole::none},
        {gauge_element_icon, gauge_indicator_image, 2, 0, 0, 0x3, GaugeRole::gauge_indicator},
        {
            {1, 0, 0, 0, 0, gauge_cursor_none, 0, 0, 0, nullptr, GaugeRole::none, GaugeRole::none},
            {4, 0, 0, 0, 0, gauge_cursor_none, 0, 0, 1, gauge_tooltip_text, GaugeRole::none,
             GaugeRole::gauge_tooltip_arg},
            {2, 0, 0, box, box, gauge_cursor_hand, 0, v.mouse_events, 0, nullptr,
             GaugeRole::gauge_press, GaugeRole::none},
            {3, 0, 0, 0, 0, gauge_cursor_none, 0, 0, 0, nullptr, GaugeRole::none, GaugeRole::none},
            {0, 0, 0, 0, 0, gauge_cursor_none, 0, 0, 0, nullptr, GaugeRole::none, GaugeRole::none},
        },
        GaugeRole::gauge_service,
        {v.image_set, v.image_size, {gauge_background_image, gauge_indicator_image, gauge_indicator_image + 1},
         v.click_resource, true},
    };
}
