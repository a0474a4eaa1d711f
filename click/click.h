// ClickSound: the press click, loaded once at install into a static DirectSound buffer.
#pragma once
#include "common/vemble.h"

int click_open(ModuleHandle module);
// Tries a raw-data resource of that name first, then a file of that path. None on failure.
ClickBuffer click_load(const char* name);
int click_set_volume(ClickBuffer buffer, int32_t attenuation);
int click_play(ClickBuffer buffer, uint32_t flags);
int click_release(ClickBuffer buffer);
int click_close();
