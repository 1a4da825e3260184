#include "service/service_notify.h"

#include <cstdint>
#include <cstring>
#include <ctime>

#include <systemd/sd-daemon.h>

#include "lvgl.h"

namespace {

bool s_ready = false;
uint64_t s_ping_period_us = 0; // 0: systemd watches nothing
uint64_t s_last_ping_us = 0;

uint64_t monotonic_us() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000000u + uint64_t(ts.tv_nsec) / 1000u;
}

// A failure is logged once: a watchdog ping that keeps failing would fill the journal.
void notify(const char* state) {
    static bool s_failed = false;
    const int r = sd_notify(0, state);
    if (r < 0 && !s_failed) {
        s_failed = true;
        LV_LOG_ERROR("cannot tell systemd %s: %s", state, strerror(-r));
    }
}

} // namespace

void service_init() {
    uint64_t interval_us = 0;
    if (sd_watchdog_enabled(0, &interval_us) > 0 && interval_us > 0) {
        s_ping_period_us = interval_us / 2;
        s_last_ping_us = monotonic_us();
    }
}

void service_frame_shown() {
    if (s_ready) return;
    s_ready = true;
    notify("READY=1");
}

void service_loop_turned() {
    if (s_ping_period_us == 0) return;
    const uint64_t now = monotonic_us();
    if (now - s_last_ping_us < s_ping_period_us) return;
    s_last_ping_us = now;
    notify("WATCHDOG=1");
}
