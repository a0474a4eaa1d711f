// Settings of the toggle_loop deliverable.
#pragma once
#include "gauge/variant.h"

inline constexpr VariantSettings variant_toggle_loop = {
    "toggle_loop",
    ".\\Sound\\clickme.wav", "clickme.wav file not installed", true,
    PressMode::toggle, PlayMode::loop, IndicatorMode::toggle_state,
    NotifyMode::looping_only,
    800, 0x800, 40, 21, ImageSet::green_button, 44, 0x20000000, false,
};
