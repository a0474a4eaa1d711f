// The one copy of a click's samples, into its new buffer; used by click_load.
#pragma once
#include <cstdint>

#include "common/vemble.h"

// 1 when the buffer was locked, filled from data and unlocked; 0 for a null buffer, null data
// or a length of 0, or when the buffer cannot be locked.
int fill_click_buffer(ClickBuffer buffer, const uint8_t* data, uint32_t length);
