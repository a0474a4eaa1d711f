// SoundPlayer: plays one sound file at a time through a DirectShow filter graph.
#pragma once
#include "common/vemble.h"

// How the end of a playback is noticed; a build setting of each deliverable.
enum class NotifyMode { every_start, looping_only };

// The deliverable's notify mode, defined with its settings.
extern const NotifyMode player_notify_mode;

int player_open(ModuleHandle module, int32_t left, int32_t top, int32_t width, int32_t height);
// The path to play (the argument itself, or a temporary copy of an embedded sound), or none
// when it cannot be rendered.
const char* player_prepare(const char* path);
// loop 1 plays looping; any other value plays once. 0 when the platform failed.
int player_start(const char* path, int32_t loop);
int player_stop();
int player_set_volume(int32_t attenuation);
int player_is_playing();
int player_close();
