// Test and tool extensions: a display that renders into memory, PNG snapshots, and tearing the
// whole runtime down so it can be started again.
#include <algorithm>
#include <cstring>
#include <lodepng.h>
#include <vector>

#include "core/disp_internal.h"
#include "core/obj_internal.h"
#include "gfx_ext.h"
#include "img/img_internal.h"
#include "misc/misc_internal.h"

namespace gfx {

extern bool g_inited;

namespace {

struct MemDisplay {
    lv_disp_drv_t drv{};
    lv_disp_draw_buf_t draw_buf{};
    std::vector<lv_color_t> buf;
    std::vector<lv_color_t> frame;
    std::vector<gfx_flush_record_t> flushes;
    uint32_t refreshes = 0;
    lv_disp_t* disp = nullptr;
    lv_coord_t w = 0;
    lv_coord_t h = 0;
};

// Lives as long as the process and is never destroyed, so what it holds stays reachable at exit.

std::vector<MemDisplay*>& g_mem_displays = *new std::vector<MemDisplay*>;

MemDisplay* find_mem(lv_disp_t* disp) {
    for (MemDisplay* m : g_mem_displays) {
        if (m->disp == disp) return m;
    }
    return nullptr;
}

// Copies the flushed pixels into the frame (parts outside it are dropped) and records the flush.
void mem_flush(lv_disp_drv_t* drv, const lv_area_t* area, lv_color_t* px) {
    MemDisplay* m = static_cast<MemDisplay*>(drv->user_data);
    const int32_t aw = lv_area_get_width(area);
    const int32_t x1 = std::max<int32_t>(area->x1, 0);
    const int32_t x2 = std::min<int32_t>(area->x2, m->w - 1);
    const int32_t y1 = std::max<int32_t>(area->y1, 0);
    const int32_t y2 = std::min<int32_t>(area->y2, m->h - 1);
    if (x1 <= x2) {
        const int32_t n = x2 - x1 + 1;
        for (int32_t y = y1; y <= y2; y++) {
            const lv_color_t* src = px + (size_t)(y - area->y1) * (size_t)aw + (size_t)(x1 - area->x1);
            lv_color_t* dst = &m->frame[(size_t)y * (size_t)m->w + (size_t)x1];
            if (n <= 16) {
                // Rotated chunks are a few pixels wide: a call per row would cost more than the copy.
                for (int32_t i = 0; i < n; i++) dst[i] = src[i];
            } else {
                std::memcpy(dst, src, (size_t)n * sizeof(lv_color_t));
            }
        }
    }
    m->flushes.push_back(gfx_flush_record_t{*area, m->refreshes});
    if (lv_disp_flush_is_last(drv)) m->refreshes++;
    lv_disp_flush_ready(drv);
}

} // namespace

} // namespace gfx

using gfx::MemDisplay;

extern "C" {

lv_disp_t* gfx_mem_display_create(lv_coord_t w, lv_coord_t h, uint32_t buf_lines, bool full_refresh) {
    if (w <= 0 || h <= 0) return nullptr;
    MemDisplay* m = new (std::nothrow) MemDisplay();
    if (m == nullptr) return nullptr;
    m->w = w;
    m->h = h;
    const uint32_t lines = (buf_lines == 0 || buf_lines > (uint32_t)h) ? (uint32_t)h : buf_lines;
    m->buf.assign((size_t)w * lines, lv_color_black());
    m->frame.assign((size_t)w * (size_t)h, lv_color_black());
    lv_disp_draw_buf_init(&m->draw_buf, m->buf.data(), nullptr, (uint32_t)w * lines);

    lv_disp_drv_init(&m->drv);
    m->drv.hor_res = w;
    m->drv.ver_res = h;
    m->drv.draw_buf = &m->draw_buf;
    m->drv.flush_cb = gfx::mem_flush;
    m->drv.full_refresh = full_refresh ? 1 : 0;
    m->drv.user_data = m;

    gfx::g_mem_displays.push_back(m);
    m->disp = lv_disp_drv_register(&m->drv);
    if (m->disp == nullptr) {
        gfx::g_mem_displays.pop_back();
        delete m;
        return nullptr;
    }
    return m->disp;
}

void gfx_mem_display_delete(lv_disp_t* disp) {
    MemDisplay* m = gfx::find_mem(disp);
    if (m == nullptr) return;
    lv_disp_remove(disp);
    gfx::g_mem_displays.erase(std::find(gfx::g_mem_displays.begin(), gfx::g_mem_displays.end(), m));
    delete m;
}

const lv_color_t* gfx_mem_display_pixels(lv_disp_t* disp) {
    MemDisplay* m = gfx::find_mem(disp);
    return m != nullptr ? m->frame.data() : nullptr;
}

lv_color_t gfx_mem_display_pixel(lv_disp_t* disp, lv_coord_t x, lv_coord_t y) {
    MemDisplay* m = gfx::find_mem(disp);
    if (m == nullptr || x < 0 || y < 0 || x >= m->w || y >= m->h) return lv_color_black();
    return m->frame[(size_t)y * (size_t)m->w + (size_t)x];
}

uint32_t gfx_mem_display_flush_count(lv_disp_t* disp) {
    MemDisplay* m = gfx::find_mem(disp);
    return m != nullptr ? (uint32_t)m->flushes.size() : 0;
}

const gfx_flush_record_t* gfx_mem_display_flushes(lv_disp_t* disp, uint32_t* count) {
    MemDisplay* m = gfx::find_mem(disp);
    if (count != nullptr) *count = m != nullptr ? (uint32_t)m->flushes.size() : 0;
    return m != nullptr && !m->flushes.empty() ? m->flushes.data() : nullptr;
}

void gfx_mem_display_clear_flushes(lv_disp_t* disp) {
    MemDisplay* m = gfx::find_mem(disp);
    if (m != nullptr) m->flushes.clear();
}

bool gfx_save_png(const char* path, const lv_color_t* px, uint32_t w, uint32_t h) {
    if (path == nullptr || px == nullptr || w == 0 || h == 0) return false;
    std::vector<unsigned char> rgb((size_t)w * h * 3);
    for (size_t i = 0; i < (size_t)w * h; i++) {
        rgb[i * 3 + 0] = px[i].ch.red;
        rgb[i * 3 + 1] = px[i].ch.green;
        rgb[i * 3 + 2] = px[i].ch.blue;
    }
    return lodepng_encode24_file(path, rgb.data(), w, h) == 0;
}

bool gfx_mem_display_save_png(lv_disp_t* disp, const char* path) {
    MemDisplay* m = gfx::find_mem(disp);
    if (m == nullptr) return false;
    return gfx_save_png(path, m->frame.data(), (uint32_t)m->w, (uint32_t)m->h);
}

void gfx_deinit(void) {
    while (!gfx::g_mem_displays.empty()) gfx_mem_display_delete(gfx::g_mem_displays.back()->disp);
    while (!gfx::displays().empty()) lv_disp_remove(gfx::displays().front());
    gfx::disp_reset_all();
    gfx::theme_reset();
    gfx_anim_reset_all();
    gfx_timer_reset_all();
    gfx_img_reset();
    gfx_fs_reset();
    lv_freetype_destroy();
    _lv_font_clean_up_fmt_txt();
    gfx_log_reset();
    gfx::g_inited = false;
}

} // extern "C"
