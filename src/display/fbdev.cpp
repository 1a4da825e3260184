// Framebuffer display driver: /dev/fb0 is mapped once; each flush copies the rendered rows into it,
// converting colour for 16-, 8- and 1-bit panels, and full refresh flips between two pages when the
// framebuffer holds two.
#include "display/fbdev.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <linux/fb.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "display/resolution.h"

namespace {

int fbfd = -1;
uint8_t* fbp = nullptr;
fb_fix_screeninfo finfo;
fb_var_screeninfo vinfo;
// Both the memory and the virtual height hold two visible pages, so full refresh may flip.
bool s_two_pages = false;

// The part of a flushed area that lies on the panel, and where its first source pixel is.
struct Span {
    int32_t x1, y1, x2, y2;
    const lv_color_t* src;
    uint32_t src_stride; // pixels from one source row to the next: the width of the flushed area
    uint32_t width() const { return uint32_t(x2 - x1 + 1); }
};

// Every write is checked against the mapping first; a row that would leave it is not written.
bool in_mapping(uint64_t offset, uint64_t len) {
    return offset + len <= finfo.smem_len;
}

// Framebuffer line and column of a panel coordinate (never negative after clipping).
uint64_t fb_line(int32_t y) {
    return uint64_t(y) + vinfo.yoffset;
}
uint64_t fb_col(int32_t x) {
    return uint64_t(x) + vinfo.xoffset;
}

uint16_t to_rgb565(lv_color_t c) {
    return uint16_t((c.ch.red & 0xF8) << 8 | (c.ch.green & 0xFC) << 3 | c.ch.blue >> 3);
}
uint8_t to_rgb332(lv_color_t c) {
    return uint8_t((c.ch.red & 0xE0) | (c.ch.green & 0xE0) >> 3 | c.ch.blue >> 6);
}
// A monochrome pixel is lit when its luma (BT.601 weights) reaches half brightness.
bool is_light(lv_color_t c) {
    return 77u * c.ch.red + 150u * c.ch.green + 29u * c.ch.blue >= 128u * 256u;
}

// Whole-byte depths: each pixel converted by `to`; 32 and 24 bits per pixel take the drawing buffer's
// own 4-byte layout, one memcpy per row.
template <typename Px> void copy_rows(const Span& s, Px (*to)(lv_color_t)) {
    const uint32_t w = s.width();
    const lv_color_t* src = s.src;
    for (int32_t y = s.y1; y <= s.y2; y++, src += s.src_stride) {
        const uint64_t at = (fb_line(y) * finfo.line_length / sizeof(Px) + fb_col(s.x1)) * sizeof(Px);
        if (!in_mapping(at, uint64_t(w) * sizeof(Px))) continue;
        if (to == nullptr) {
            std::memcpy(fbp + at, src, size_t(w) * sizeof(Px));
            continue;
        }
        for (uint32_t i = 0; i < w; i++) {
            const Px px = to(src[i]);
            std::memcpy(fbp + at + i * sizeof(Px), &px, sizeof(Px));
        }
    }
}

// 1 bit per pixel: lines line_length bytes apart as for the other depths, leftmost pixel in the lowest bit.
void copy_rows_1(const Span& s) {
    const uint64_t first = fb_col(s.x1);
    const uint64_t last = fb_col(s.x2);
    const lv_color_t* src = s.src;
    for (int32_t y = s.y1; y <= s.y2; y++, src += s.src_stride) {
        const uint64_t line = fb_line(y) * finfo.line_length;
        if (!in_mapping(line + first / 8, last / 8 - first / 8 + 1)) continue;
        for (uint64_t col = first; col <= last; col++) {
            uint8_t& byte = fbp[line + col / 8];
            const uint8_t bit = uint8_t(1u << (col % 8));
            byte = is_light(src[col - first]) ? uint8_t(byte | bit) : uint8_t(byte & ~bit);
        }
    }
}

} // namespace

void fbdev_init(void) {
    fbfd = open("/dev/fb0", O_RDWR);
    if (fbfd == -1) {
        perror("Error: cannot open framebuffer device");
        return;
    }
    if (ioctl(fbfd, FBIOBLANK, FB_BLANK_UNBLANK) != 0) {
        perror("ioctl(FBIOBLANK)");
        return;
    }
    if (ioctl(fbfd, FBIOGET_FSCREENINFO, &finfo) == -1) {
        perror("Error reading fixed information");
        return;
    }
    if (ioctl(fbfd, FBIOGET_VSCREENINFO, &vinfo) == -1) {
        perror("Error reading variable information");
        return;
    }
    // Published before mapping: a failed mapping still sizes the display for this panel.
    _g_my_ui_w_max = int32_t(vinfo.xres);
    _g_my_ui_h_max = int32_t(vinfo.yres);

    const uint64_t page = uint64_t(vinfo.yres) * finfo.line_length;
    s_two_pages = finfo.smem_len >= 2 * page && vinfo.yres_virtual >= 2 * uint64_t(vinfo.yres);

    void* mem = mmap(nullptr, finfo.smem_len, PROT_READ | PROT_WRITE, MAP_SHARED, fbfd, 0);
    if (mem == MAP_FAILED) {
        perror("Error: failed to map framebuffer device to memory");
        return;
    }
    fbp = static_cast<uint8_t*>(mem);
}

void fbdev_flush(lv_disp_drv_t* drv, const lv_area_t* area, lv_color_t* color_p) {
    const int64_t xres = vinfo.xres;
    const int64_t yres = vinfo.yres;
    if (fbp && area->x2 >= 0 && area->y2 >= 0 && area->x1 < xres && area->y1 < yres && area->x1 <= area->x2 &&
        area->y1 <= area->y2) {
        Span s;
        s.x1 = area->x1 > 0 ? area->x1 : 0;
        s.y1 = area->y1 > 0 ? area->y1 : 0;
        s.x2 = area->x2 < xres - 1 ? area->x2 : int32_t(xres - 1);
        s.y2 = area->y2 < yres - 1 ? area->y2 : int32_t(yres - 1);
        s.src_stride = uint32_t(area->x2 - area->x1 + 1);
        s.src = color_p + (s.y1 - area->y1) * s.src_stride + uint32_t(s.x1 - area->x1);

        // Full refresh writes the page that is not on screen and then pans to it. With a single page
        // the frame goes straight into the visible one.
        const bool flip = drv->full_refresh && s_two_pages;
        if (flip) vinfo.yoffset = vinfo.yoffset != 0 ? 0 : vinfo.yres;

        switch (vinfo.bits_per_pixel) {
        case 32:
        case 24:
            copy_rows<uint32_t>(s, nullptr);
            break;
        case 16:
            copy_rows(s, to_rgb565);
            break;
        case 8:
            copy_rows(s, to_rgb332);
            break;
        case 1:
            copy_rows_1(s);
            break;
        default:
            break;
        }

        if (flip && ioctl(fbfd, FBIOPAN_DISPLAY, &vinfo) < 0) std::fputs("active fb swap failed\n", stderr);
    }
    lv_disp_flush_ready(drv);
}
