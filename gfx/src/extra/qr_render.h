// QR codes drawn into a square 1-bit canvas, sized the way LVGL 8.3's QR code widget sizes them.
//
// The version is the smallest whose byte-mode capacity at error correction MEDIUM holds the data,
// then raised while a larger version still fits whole modules of the same size into the square; the
// error correction is raised as far as that version allows. Modules are scale x scale pixels and the
// code sits at (margin, margin); there is no other quiet zone.
#pragma once

#include <cstdint>

namespace gfx {

struct QrLayout {
    int version = 0; // 1..40
    int modules = 0; // 4 * version + 17
    int scale = 0;   // pixels per module
    int margin = 0;  // pixels left and above the code
};

// Bytes one row of a size-pixel-wide 1-bit canvas takes.
inline uint32_t qr_row_bytes(int32_t size) {
    return ((uint32_t)size + 7u) / 8u;
}

// Draws `len` bytes of `data` as a QR code into `bits` (size rows of qr_row_bytes(size) bytes, most
// significant bit first; 1 = light, 0 = dark). The canvas is first filled light, so when the data
// cannot be shown (too long for the size, or no data) it stays blank and false is returned.
bool qr_render(uint8_t* bits, int32_t size, const uint8_t* data, uint32_t len, QrLayout* layout);

} // namespace gfx
