// fakefb-png: writes what the fake framebuffer's panel shows (the page at the current offsets) as an
// RGB PNG. Usage: fakefb-png <shm file> <out.png>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include <lodepng.h>

#include "fakefb_shm.h"

namespace {

struct Rgb {
    uint8_t r, g, b;
};

uint8_t expand(uint32_t v, int bits) {
    const uint32_t max = (1u << bits) - 1;
    return uint8_t((v & max) * 255 / max);
}

// Pixels are addressed as the display driver writes them: lines line_length bytes apart, 24-bit
// framebuffers with 4-byte pixels, 1-bit ones with the leftmost pixel in the lowest bit.
class Page {
  public:
    Page(const fakefb_header& h, const std::vector<uint8_t>& file)
        : h_(h), mem_(file.data() + h.data_offset),
          len_(std::min<uint64_t>(h.smem_len, file.size() - h.data_offset)) {}

    Rgb pixel(uint32_t x, uint32_t y) const {
        const uint64_t line = uint64_t(y) + h_.yoffset;
        const uint64_t col = uint64_t(x) + h_.xoffset;
        switch (h_.bits_per_pixel) {
        case 32:
        case 24: {
            const uint64_t at = (line * h_.line_length / 4 + col) * 4;
            return {byte(at + 2), byte(at + 1), byte(at)};
        }
        case 16: {
            const uint64_t at = (line * h_.line_length / 2 + col) * 2;
            const uint32_t v = byte(at) | uint32_t(byte(at + 1)) << 8;
            return {expand(v >> 11, 5), expand(v >> 5, 6), expand(v, 5)};
        }
        case 8: {
            const uint32_t v = byte(line * h_.line_length + col);
            return {expand(v >> 5, 3), expand(v >> 2, 3), expand(v, 2)};
        }
        default: { // 1 bit
            const uint8_t on = (byte(line * h_.line_length + col / 8) >> (col % 8)) & 1;
            const uint8_t v = on ? 255 : 0;
            return {v, v, v};
        }
        }
    }

  private:
    // Bytes past the framebuffer memory read as black.
    uint8_t byte(uint64_t at) const { return at < len_ ? mem_[at] : 0; }

    const fakefb_header& h_;
    const uint8_t* mem_;
    uint64_t len_;
};

bool read_file(const char* path, std::vector<uint8_t>& out) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out.insert(out.end(), chunk, chunk + n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <shm file> <out.png>\n", argc > 0 ? argv[0] : "fakefb-png");
        return 2;
    }
    std::vector<uint8_t> file;
    if (!read_file(argv[1], file)) {
        std::perror(argv[1]);
        return 1;
    }
    fakefb_header h;
    if (file.size() < sizeof h) {
        std::fprintf(stderr, "%s: not a fake framebuffer\n", argv[1]);
        return 1;
    }
    std::memcpy(&h, file.data(), sizeof h);
    if (h.magic != FAKEFB_MAGIC || h.version != FAKEFB_VERSION || h.data_offset > file.size()) {
        std::fprintf(stderr, "%s: not a fake framebuffer\n", argv[1]);
        return 1;
    }
    const uint32_t bpp = h.bits_per_pixel;
    if (bpp != 32 && bpp != 24 && bpp != 16 && bpp != 8 && bpp != 1) {
        std::fprintf(stderr, "%s: %u bits per pixel cannot be shown\n", argv[1], bpp);
        return 1;
    }
    if (h.xres == 0 || h.yres == 0 || uint64_t(h.xres) * h.yres > (uint64_t(1) << 28)) {
        std::fprintf(stderr, "%s: unusable resolution %ux%u\n", argv[1], h.xres, h.yres);
        return 1;
    }

    const Page page(h, file);
    std::vector<uint8_t> rgb;
    rgb.reserve(size_t(h.xres) * h.yres * 3);
    for (uint32_t y = 0; y < h.yres; y++) {
        for (uint32_t x = 0; x < h.xres; x++) {
            const Rgb p = page.pixel(x, y);
            rgb.insert(rgb.end(), {p.r, p.g, p.b});
        }
    }
    const unsigned err = lodepng::encode(argv[2], rgb, h.xres, h.yres, LCT_RGB, 8);
    if (err) {
        std::fprintf(stderr, "%s: %s\n", argv[2], lodepng_error_text(err));
        return 1;
    }
    return 0;
}
