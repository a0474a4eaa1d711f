#include "click/wave.h"

#include <cstring>

namespace {

uint32_t read_u32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool is_id(const uint8_t* p, const char (&id)[5]) { return std::memcmp(p, id, 4) == 0; }

constexpr uint32_t format_common_bytes = 14;  // tag, channels, rate, byte rate, block align

}  // namespace

int find_wave_chunks(const uint8_t* image, uint32_t length, const void** format,
                     const uint8_t** data, uint32_t* data_length) {
    // The outputs' zero values mean "not found yet": the walk reads them back below.
    if (format) *format = nullptr;
    if (data) *data = nullptr;
    if (data_length) *data_length = 0;

    if (!image || length < 12) return 0;
    if (!is_id(image, "RIFF") || !is_id(image + 8, "WAVE")) return 0;

    // 64-bit positions: sizes near 2^32 must not wrap the walk back into the image.
    const uint64_t size = length;
    const uint64_t end = 8 + uint64_t(read_u32(image + 4));
    uint64_t pos = 12;
    while (pos < end) {
        // Only where a header starts is compared with the RIFF end; the image's own end
        // bounds every byte that is read or handed out.
        if (pos + 8 > size) return 0;
        const uint8_t* header = image + pos;
        const uint32_t chunk_size = read_u32(header + 4);
        const uint64_t body = pos + 8;

        if (is_id(header, "fmt ") && format && !*format) {
            if (chunk_size < format_common_bytes) return 0;
            if (body + chunk_size > size) return 0;
            *format = image + body;
            if ((!data || *data) && (!data_length || *data_length)) return 1;
        } else if (is_id(header, "data") && ((data && !*data) || (data_length && !*data_length))) {
            if (body + chunk_size > size) return 0;
            if (data) *data = image + body;
            if (data_length) *data_length = chunk_size;
            if (!format || *format) return 1;
        }
        // RIFF word alignment: an odd-sized body is followed by a pad byte.
        pos = body + ((uint64_t(chunk_size) + 1) & ~uint64_t(1));
    }
    return 0;
}
