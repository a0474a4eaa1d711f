#include "click/wave_source.h"

#include <windows.h>

#include "click/wave.h"

int find_wave_resource(ModuleHandle module, const char* name, const void** format,
                       const uint8_t** data, uint32_t* data_length) {
    HMODULE owner = static_cast<HMODULE>(module);
    HRSRC found = FindResourceA(owner, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!found) return 0;
    HGLOBAL loaded = LoadResource(owner, found);
    if (!loaded) return 0;
    const void* image = LockResource(loaded);
    if (!image) return 0;
    const DWORD length = SizeofResource(owner, found);
    return find_wave_chunks(static_cast<const uint8_t*>(image), length, format, data,
                            data_length);
}

int map_wave_file(const char* path, const void** format, const uint8_t** data,
                  uint32_t* data_length, void** view) {
    if (!view) return 0;
    *view = nullptr;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    // A 32-bit process cannot map more than 4 GiB anyway; a larger file is bounded at the
    // most the locator can be told. An unknown size counts as an empty image.
    DWORD high = 0;
    SetLastError(NO_ERROR);
    const DWORD low = GetFileSize(file, &high);
    uint32_t length = low;
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) length = 0;
    else if (high) length = 0xFFFFFFFFu;

    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping) {
        CloseHandle(file);
        return 0;
    }
    CloseHandle(file);
    void* mapped = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (!mapped) {
        CloseHandle(mapping);
        return 0;
    }
    CloseHandle(mapping);
    if (!find_wave_chunks(static_cast<const uint8_t*>(mapped), length, format, data,
                          data_length)) {
        UnmapViewOfFile(mapped);
        return 0;
    }
    *view = mapped;
    return 1;
}
