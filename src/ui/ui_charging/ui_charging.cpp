#include "ui_charging.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "i18n/lv_i18n.h"

lv_timer_t* charging_timer = nullptr;

void ui_charging_timer_start(lv_timer_cb_t cb) {
    ui_charging_timer_stop();
    charging_timer = lv_timer_create(cb, 500, nullptr);
}

void ui_charging_timer_stop(void) {
    if (charging_timer == nullptr) return;
    lv_timer_del(charging_timer);
    charging_timer = nullptr;
}

void ui_charging_show_time(lv_obj_t* label, int64_t start, int64_t now) {
    uint64_t hours = 0, minutes = 0, seconds = 0;
    // A start of 0 or less (absent) or in the future means no session time is known yet.
    if (start > 0 && start <= now) {
        // Unsigned difference: no overflow whatever the two times are.
        const uint64_t d = uint64_t(now) - uint64_t(start);
        hours = d / 3600;
        minutes = d / 60 % 60;
        seconds = d % 60;
    }
    if (hours > uint64_t(INT_MAX)) hours = INT_MAX;
    lv_label_set_text_fmt(label, lv_i18n_get_text("s_time"), int(hours), int(minutes), int(seconds));
}

void ui_charging_set_text(lv_obj_t* label, const char* fmt, ...) {
    char buf[64] = {};
    va_list args;
    va_start(args, fmt);
    vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    lv_label_set_text(label, buf);
}

void ui_charging_rcd_update(lv_obj_t* label, const char* run_state) {
    ui_obj_set_hidden(label, run_state == nullptr || strstr(run_state, "_K1K2ON") != nullptr ||
                                 strstr(run_state, "_Charging") != nullptr);
}
