// Tick: the program's custom_tick_get(), or a virtual clock that tests and tools drive.
#include "gfx_ext.h"
#include "lv_hal_tick.h"

#include LV_TICK_CUSTOM_INCLUDE

#include <time.h>

namespace {
bool s_virtual = false;
uint32_t s_virtual_ms = 0;
} // namespace

// Programs that bring no tick source of their own (tests, tools) get milliseconds since the first
// call from the monotonic clock; the application's own definition replaces this one at link time.
extern "C" __attribute__((weak)) uint32_t custom_tick_get(void) {
    static bool started = false;
    static uint64_t start_ms = 0;
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t now_ms = (uint64_t)ts.tv_sec * 1000u + (uint64_t)ts.tv_nsec / 1000000u;
    if (!started) {
        started = true;
        start_ms = now_ms;
    }
    return (uint32_t)(now_ms - start_ms);
}

uint32_t lv_tick_get(void) {
    if (s_virtual) return s_virtual_ms;
    return LV_TICK_CUSTOM_SYS_TIME_EXPR;
}

uint32_t lv_tick_elaps(uint32_t prev_tick) {
    // Unsigned subtraction stays right across the 32-bit wrap.
    return lv_tick_get() - prev_tick;
}

void gfx_virtual_time_enable(uint32_t start_ms) {
    s_virtual = true;
    s_virtual_ms = start_ms;
}

void gfx_virtual_time_disable(void) {
    s_virtual = false;
}

void gfx_virtual_time_set(uint32_t ms) {
    s_virtual_ms = ms;
}

void gfx_virtual_time_advance(uint32_t ms) {
    s_virtual_ms += ms;
}

void gfx_run_for(uint32_t ms, uint32_t step_ms) {
    if (step_ms == 0) step_ms = ms;
    uint32_t done = 0;
    while (done < ms) {
        uint32_t step = ms - done < step_ms ? ms - done : step_ms;
        s_virtual_ms += step;
        done += step;
        lv_timer_handler();
    }
}
