// Settings of the push_silent deliverable.
#pragma once
#include "gauge/variant.h"

inline constexpr VariantSettings variant_push_silent = {
    "push_silent",
    "CLICK", nullptr, false,
    PressMode::start_only, PlayMode::once, IndicatorMode::playback_state,
    NotifyMode::every_start,
    700, 0, 44, 23, ImageSet::amber_green_annunciator, 23, 0x20200000, true,
};
