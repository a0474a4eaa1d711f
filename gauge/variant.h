// VariantSettings: the build-time settings that make one deliverable out of the shared code.
#pragma once
#include <cstdint>
#include "player/player.h"

enum class PressMode { toggle, start_only };
enum class PlayMode { once, loop };
enum class IndicatorMode { toggle_state, toggle_state_until_end, playback_state };
enum class ImageSet { blue_annunciator, green_button, amber_green_annunciator, amber_on_button };

struct VariantSettings {
    const char* deliverable;

    // Behaviour: what the controller does.
    const char* click_name;             // resource name or file path handed to click_load
    const char* click_missing_message;  // shown when the click does not load, or none
    bool click_on_press;
    PressMode press_mode;
    PlayMode play_mode;
    IndicatorMode indicator_mode;

    // Player: how the end of a playback is noticed.
    NotifyMode notify_mode;

    // Presentation: what the host is told about the gauge.
    uint32_t header_version;
    uint32_t linkage_version;
    uint32_t default_size_mm;
    uint32_t image_size;  // side of the square images, pixels
    ImageSet image_set;
    uint32_t mouse_box;   // side of the square click box, pixels
    uint32_t mouse_events;
    bool click_resource;  // the module carries the raw-data resource "CLICK"
};

// The settings of the deliverable being built; defined in variants/<deliverable>/variant.cpp.
extern const VariantSettings vemble_variant;
