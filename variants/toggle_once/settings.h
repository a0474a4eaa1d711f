// Settings of the toggle_once deliverable.
#pragma once
#include "gauge/variant.h"

inline constexpr VariantSettings variant_toggle_once = {
    "toggle_once",
    "CLICK", nullptr, true,
    PressMode::toggle, PlayMode::once, IndicatorMode::toggle_state_until_end,
    NotifyMode::every_start,
    700, 0, 44, 23, ImageSet::blue_annunciator, 23, 0x20000000, true,
};
