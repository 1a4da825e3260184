#include "fuzz_app.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sanitizer/allocator_interface.h>
#include <unistd.h>

#include "custom_tick.h"
#include "lvgl.h"
#include "mainscreen.h"
#include "msg/msg.h"
#include "my_lib/my_bmp.h"

namespace {

constexpr lv_coord_t kWidth = 320;
constexpr lv_coord_t kHeight = 240;
constexpr int64_t kWallStart = 1767225600; // 2026-01-01 00:00:00 UTC
constexpr uint32_t kStepMs = 20;

// The tick starts 30 s before it wraps around, as it does after 49.7 days of running, so that every
// run passes the wrap early on.
uint32_t g_tick_ms = UINT32_MAX - 30000;
uint64_t g_elapsed_ms = 0; // does not wrap, unlike the tick
lv_color_t g_frame[size_t(kWidth) * size_t(kHeight)];

// Copies every flushed row into the frame, as the framebuffer driver does, so that an area outside
// the display shows up as an out-of-bounds access.
void flush(lv_disp_drv_t* drv, const lv_area_t* area, lv_color_t* px) {
    if (area->x1 < 0 || area->y1 < 0 || area->x2 >= kWidth || area->y2 >= kHeight || area->x1 > area->x2 ||
        area->y1 > area->y2) {
        std::fprintf(stderr, "flush area %d,%d..%d,%d outside the display\n", int(area->x1), int(area->y1),
                     int(area->x2), int(area->y2));
        std::abort();
    }
    const size_t w = size_t(area->x2 - area->x1 + 1);
    for (lv_coord_t y = area->y1; y <= area->y2; y++) {
        std::memcpy(&g_frame[size_t(y) * size_t(kWidth) + size_t(area->x1)], px + size_t(y - area->y1) * w,
                    w * sizeof(lv_color_t));
    }
    lv_disp_flush_ready(drv);
}

uint64_t heap_growth_limit() {
    const char* env = std::getenv("FUZZ_HEAP_GROWTH_MB");
    const uint64_t mb = env != nullptr ? std::strtoull(env, nullptr, 10) : 64;
    return mb * 1024 * 1024;
}

} // namespace

extern "C" uint32_t custom_tick_get(void) {
    return g_tick_ms;
}

void fuzz_app_init(bool screens) {
    if (chdir(SD_FUZZ_ASSETS_DIR) != 0) {
        std::perror(SD_FUZZ_ASSETS_DIR);
        std::abort();
    }
    msg_pin_now(kWallStart);
    lv_init();
    my_bmp_init();

    static lv_color_t buf[size_t(kWidth) * size_t(kHeight)];
    static lv_disp_draw_buf_t draw_buf;
    static lv_disp_drv_t drv;
    lv_disp_draw_buf_init(&draw_buf, buf, nullptr, uint32_t(size_t(kWidth) * size_t(kHeight)));
    lv_disp_drv_init(&drv);
    drv.hor_res = kWidth;
    drv.ver_res = kHeight;
    drv.draw_buf = &draw_buf;
    drv.flush_cb = flush;
    if (lv_disp_drv_register(&drv) == nullptr) {
        std::fprintf(stderr, "cannot register the display\n");
        std::abort();
    }
    if (screens) {
        MainScreen_Init();
        fuzz_app_advance(100);
    }
}

void fuzz_app_advance(uint32_t ms) {
    for (uint32_t done = 0; done < ms; done += kStepMs) {
        g_tick_ms += kStepMs;
        g_elapsed_ms += kStepMs;
        msg_pin_now(kWallStart + int64_t(g_elapsed_ms / 1000));
        lv_timer_handler();
    }
}

void fuzz_app_datagram(const uint8_t* data, size_t size) {
    if (size == 0) return;
    // A string of exactly the kept length, so that a read past its end is caught.
    const std::string text(reinterpret_cast<const char*>(data),
                           size < kFuzzDatagramMax ? size : kFuzzDatagramMax);
    cJSON* root = cJSON_Parse(text.c_str());
    MainScreen_SetData(root);
    cJSON_Delete(root);
}

void fuzz_app_check_heap(uint64_t warmup) {
    static uint64_t inputs = 0;
    static size_t warm_peak = 0;
    static const uint64_t limit = heap_growth_limit();
    inputs++;
    const size_t live = __sanitizer_get_current_allocated_bytes();
    if ((inputs & (inputs - 1)) == 0 && inputs >= 1024)
        std::fprintf(stderr, "fuzz: %" PRIu64 " inputs, live heap %zu KB\n", inputs, live / 1024);
    if (inputs <= warmup) {
        if (live > warm_peak) warm_peak = live;
        return;
    }
    if (live > warm_peak + limit) {
        std::fprintf(stderr,
                     "fuzz: the live heap grew from %zu KB after %" PRIu64 " inputs to %zu KB after %" PRIu64
                     "\n",
                     warm_peak / 1024, warmup, live / 1024, inputs);
        std::abort();
    }
}
