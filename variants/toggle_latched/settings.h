// Settings of the toggle_latched deliverable.
#pragma once
#include "gauge/variant.h"

inline constexpr VariantSettings variant_toggle_latched = {
    "toggle_latched",
    ".\\Sound\\clickme.wav", "clickme.wav file not installed", true,
    PressMode::toggle, PlayMode::once, IndicatorMode::toggle_state,
    NotifyMode::looping_only,
    800, 0x800, 40, 21, ImageSet::amber_on_button, 44, 0x20000000, false,
};
