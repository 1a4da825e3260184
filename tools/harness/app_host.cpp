#include "app_host.h"

#include <cjson/cJSON.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "mainscreen.h"
#include "my_lib/my_bmp.h"

namespace {

constexpr uint32_t kStepMs = 20;
// The program's receive buffer is 16384 bytes and ends with a zero.
constexpr size_t kDatagramMax = 16383;

uint32_t g_tick_ms = 0;
lv_coord_t g_w = 0, g_h = 0;
std::vector<lv_color_t> g_frame;

void flush(lv_disp_drv_t* drv, const lv_area_t* a, lv_color_t* px) {
    if (a->x1 < 0 || a->y1 < 0 || a->x2 >= g_w || a->y2 >= g_h || a->x1 > a->x2 || a->y1 > a->y2) {
        std::fprintf(stderr, "flush area %d,%d..%d,%d outside the display\n", int(a->x1), int(a->y1),
                     int(a->x2), int(a->y2));
        std::abort();
    }
    const size_t w = size_t(a->x2 - a->x1 + 1);
    for (lv_coord_t y = a->y1; y <= a->y2; y++)
        std::memcpy(&g_frame[size_t(y) * size_t(g_w) + size_t(a->x1)], px + size_t(y - a->y1) * w,
                    w * sizeof(lv_color_t));
    lv_disp_flush_ready(drv);
}

} // namespace

extern "C" uint32_t custom_tick_get(void) {
    return g_tick_ms;
}

void app_host_tick_set(uint32_t ms) {
    g_tick_ms = ms;
}

uint32_t app_host_tick(void) {
    return g_tick_ms;
}

void app_host_run_for(uint32_t ms) {
    for (uint32_t done = 0; done < ms; done += kStepMs) {
        g_tick_ms += kStepMs;
        lv_timer_handler();
    }
}

lv_disp_t* app_host_start(lv_coord_t w, lv_coord_t h, bool full_refresh) {
    static lv_disp_draw_buf_t draw_buf;
    static lv_disp_drv_t drv;
    static std::vector<lv_color_t> buf;
    lv_init();
    my_bmp_init();
    g_w = w;
    g_h = h;
    g_frame.assign(size_t(w) * size_t(h), lv_color_black());
    buf.assign(g_frame.size(), lv_color_black());
    lv_disp_draw_buf_init(&draw_buf, buf.data(), nullptr, uint32_t(buf.size()));
    lv_disp_drv_init(&drv);
    drv.hor_res = w;
    drv.ver_res = h;
    drv.draw_buf = &draw_buf;
    drv.flush_cb = flush;
    drv.full_refresh = full_refresh ? 1 : 0;
    return lv_disp_drv_register(&drv);
}

const lv_color_t* app_host_frame(void) {
    return g_frame.data();
}

bool app_host_datagram(const void* data, size_t size) {
    if (size == 0) return false;
    // A string of the kept length, so that a read past its end shows under the sanitizers.
    const std::string text(static_cast<const char*>(data), size < kDatagramMax ? size : kDatagramMax);
    cJSON* root = cJSON_Parse(text.c_str());
    const bool parsed = root != nullptr;
    MainScreen_SetData(root);
    cJSON_Delete(root);
    return parsed;
}
