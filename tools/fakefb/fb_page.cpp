#include "fb_page.h"

#include <algorithm>
#include <cstring>

#include "fakefb_shm.h"

namespace {

uint32_t widen(uint32_t v, uint32_t bits) {
    const uint32_t max = (1u << bits) - 1;
    return (v & max) * 255 / max;
}

uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) {
    return r << 16 | g << 8 | b;
}

} // namespace

bool fb_page_read(const uint8_t* file, size_t size, FbPage* out) {
    fakefb_header h;
    if (file == nullptr || size < sizeof h) return false;
    std::memcpy(&h, file, sizeof h);
    if (h.magic != FAKEFB_MAGIC || h.version != FAKEFB_VERSION || h.data_offset > size) return false;
    const uint32_t bpp = h.bits_per_pixel;
    if (bpp != 32 && bpp != 24 && bpp != 16 && bpp != 8 && bpp != 1) return false;
    if (h.xres == 0 || h.yres == 0 || h.xres > 8192 || h.yres > 8192) return false;

    const uint8_t* mem = file + h.data_offset;
    const uint64_t len = std::min<uint64_t>(h.smem_len, size - h.data_offset);
    auto byte = [&](uint64_t at) -> uint32_t { return at < len ? mem[at] : 0; };

    FbPage page;
    page.w = h.xres;
    page.h = h.yres;
    page.px.resize(size_t(h.xres) * h.yres);
    for (uint32_t y = 0; y < h.yres; y++) {
        const uint64_t line = (uint64_t(y) + h.yoffset) * h.line_length;
        for (uint32_t x = 0; x < h.xres; x++) {
            const uint64_t col = uint64_t(x) + h.xoffset;
            uint32_t c = 0;
            switch (bpp) {
            case 32:
            case 24: { // 4-byte pixels, B G R A in memory
                const uint64_t at = line + col * 4;
                c = rgb(byte(at + 2), byte(at + 1), byte(at));
                break;
            }
            case 16: { // RGB565, little-endian
                const uint32_t v = byte(line + col * 2) | byte(line + col * 2 + 1) << 8;
                c = rgb(widen(v >> 11, 5), widen(v >> 5, 6), widen(v, 5));
                break;
            }
            case 8: // RGB332
                c = rgb(widen(byte(line + col) >> 5, 3), widen(byte(line + col) >> 2, 3),
                        widen(byte(line + col), 2));
                break;
            default: // 1 bit, leftmost pixel in the lowest bit, set = white
                c = (byte(line + col / 8) >> (col % 8)) & 1 ? 0xFFFFFF : 0;
                break;
            }
            page.px[size_t(y) * h.xres + x] = c;
        }
    }
    *out = std::move(page);
    return true;
}
