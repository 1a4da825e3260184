#include "ui_charging.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "i18n/lv_i18n.h"
#include "ui/ui_common.h"

lv_timer_t* charging_timer = nullptr;

namespace {

constexpr uint32_t kTimePeriodMs = 500;
constexpr const char* kBatteryGif = "A:qorv_lvgl/assets/img/gif/battery.gif";

} // namespace

void ui_charging_timer_start(lv_timer_cb_t cb) {
    ui_charging_timer_stop();
    charging_timer = lv_timer_create(cb, kTimePeriodMs, nullptr);
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
    const bool closed = run_state == nullptr || strstr(run_state, "_K1K2ON") != nullptr ||
                        strstr(run_state, "_Charging") != nullptr;
    if (closed) {
        lv_obj_add_flag(label, LV_OBJ_FLAG_HIDDEN);
    } else {
        lv_obj_clear_flag(label, LV_OBJ_FLAG_HIDDEN);
    }
}

lv_obj_t* ui_charging_rcd_label_create(lv_obj_t* root) {
    lv_obj_t* label = ui_label_create(root, 150, LV_SIZE_CONTENT, -75, -60, "");
    ui_label_set_font(label, 2);
    lv_obj_set_style_text_align(label, LV_TEXT_ALIGN_LEFT, LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_add_flag(label, LV_OBJ_FLAG_HIDDEN);
    ui_label_set_key(label, "s_rcd_checkin");
    return label;
}

lv_obj_t* ui_charging_gif_placeholder_create(lv_obj_t* root) {
    return ui_image_create(root, UI_CHARGING_GIF_W, UI_CHARGING_GIF_H, UI_CHARGING_GIF_X, UI_CHARGING_GIF_Y);
}

lv_obj_t* ui_charging_gif_replace(lv_obj_t* root, lv_obj_t* placeholder) {
    lv_obj_del(placeholder);
    lv_obj_t* gif = lv_gif_create(root);
    lv_obj_set_size(gif, UI_CHARGING_GIF_W, UI_CHARGING_GIF_H);
    lv_obj_align(gif, LV_ALIGN_CENTER, UI_CHARGING_GIF_X, UI_CHARGING_GIF_Y);
    lv_obj_add_flag(gif, LV_OBJ_FLAG_ADV_HITTEST);
    lv_obj_clear_flag(gif, LV_OBJ_FLAG_SCROLLABLE);
    lv_gif_set_src(gif, kBatteryGif);
    return gif;
}
