// Types and helpers shared by the gauge controller, the click sound and the sound player.
#pragma once
#include <cstdint>

// The module instance that the host hands the gauge at install. Passed on, never examined.
using ModuleHandle = void*;

// One loaded click (an IDirectSoundBuffer on Windows), or none.
using ClickBuffer = void*;

// Attenuation is in hundredths of a decibel: 0 is full volume, -10000 is silence.
constexpr int32_t vemble_attenuation_min = -10000;
constexpr int32_t vemble_attenuation_max = 0;

constexpr int32_t vemble_clamp_attenuation(int32_t a) {
    return a > vemble_attenuation_max ? vemble_attenuation_max
         : a < vemble_attenuation_min ? vemble_attenuation_min
         : a;
}

// Every operation that cannot fail returns 1; failure is 0 (or none for a handle or a path).
constexpr int vemble_ok = 1;
constexpr int vemble_failed = 0;
