// The chunk locator: finds the wave format and the sample bytes inside a RIFF WAVE image held
// in memory, without copying anything. Plain byte logic, no platform calls.
#pragma once
#include <cstdint>

// Returns 1 when every requested item was found, 0 otherwise. image points at `length` bytes;
// nothing outside them is read. Each output may be null when that item is not wanted; every
// present one is cleared first, and on a result of 0 holds whatever the walk stored so far.
//   format:      the "fmt " chunk's body, at least 14 bytes, used in place as the wave format
//   data:        the "data" chunk's body, the sample bytes
//   data_length: the "data" chunk's size as stored (pad byte not counted)
// A chunk header, format body or data body that would cross the image's end fails the lookup,
// so a consumer may copy data_length bytes from data.
int find_wave_chunks(const uint8_t* image, uint32_t length, const void** format,
                     const uint8_t** data, uint32_t* data_length);
