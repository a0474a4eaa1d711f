// Wave images from the platform: a raw-data resource of a module, or a file mapped read-only.
// Both run the chunk locator (click/wave.h) on the image, measured by the platform, and hand
// back addresses inside it.
#pragma once
#include <cstdint>

#include "common/vemble.h"

// 1 when the module's raw-data resource `name` holds the requested items. The resource lives
// as long as the module and is never released. When the resource cannot be had the outputs
// are left as the caller had them.
int find_wave_resource(ModuleHandle module, const char* name, const void** format,
                       const uint8_t** data, uint32_t* data_length);

// 1 when the file at `path` holds the requested items; *view then receives the mapped view,
// which the caller unmaps (UnmapViewOfFile) once it is done with the outputs. On 0 the view
// is null and no handle or view is left behind.
int map_wave_file(const char* path, const void** format, const uint8_t** data,
                  uint32_t* data_length, void** view);
