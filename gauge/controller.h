// The gauge controller: the logic of the vemble gauge, entered by the host at four points.
#pragma once
#include <cstdint>
#include "common/vemble.h"

struct GAUGEHDR;

// Service 2 installs (extra: the ModuleHandle), service 12 kills; others are ignored.
void gauge_service(GAUGEHDR* header, int32_t service, uintptr_t extra);
// Every call is one press. Always returns 0.
int gauge_press();
// 0.0 selects the off image, 1.0 the on image.
double gauge_indicator();
// The text that fills the tooltip's insert: the file-name part of the parameter string.
const char* gauge_tooltip_arg();

// The parse and the volume mapping, exposed for tests and benchmarks.
// Cuts text in place down to the file name; returns the position of the "[" found, or none.
char* gauge_parse_parameters(char* text, int32_t* volume_percent);
int32_t gauge_volume_to_attenuation(int32_t volume_percent);

// The sound folder prefix: a dot, two backslashes, Sound, two backslashes (10 characters).
inline constexpr char gauge_sound_prefix[] = ".\\\\Sound\\\\";
inline constexpr int gauge_sound_path_size = 256;  // the player takes paths of up to 255 characters
