// What the one-phase and the three-phase charging screens share: the one charging-time timer, the
// time text, the RCD notice and the rows of the battery and the notice.
#pragma once

#include <cstdint>

#include "ui/ui_common.h"

// The timer that counts the charging time of whichever charging screen is shown; null while
// neither is shown.
extern lv_timer_t* charging_timer;

// Starts the charging timer (every 500 ms) with `cb`, deleting one left running before, so there
// is never more than one.
void ui_charging_timer_start(lv_timer_cb_t cb);
void ui_charging_timer_stop(void);

// Writes the time since `start` (Unix seconds) as of `now` in total hours, minutes and seconds with
// the current language's time format; a start of 0 or less, or one in the future, shows zero time.
void ui_charging_show_time(lv_obj_t* label, int64_t start, int64_t now);

// Formats with printf rules (floating point included) into a 64-byte buffer and sets the text.
void ui_charging_set_text(lv_obj_t* label, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

// The RCD notice hides once the contactors are closed: no run state, or one that contains
// "_K1K2ON" or "_Charging"; any other run state shows it.
void ui_charging_rcd_update(lv_obj_t* label, const char* run_state);

// The battery animation and the hidden RCD notice, at the same place on both screens.
constexpr ui_widget_t ui_charging_gif_row(lv_obj_t** obj) {
    return {obj, UI_GIF, 46, 98, -60, 20, "A:qorv_lvgl/assets/img/gif/battery.gif"};
}
constexpr ui_widget_t ui_charging_rcd_row(lv_obj_t** obj) {
    return {obj, UI_LABEL,        150,          LV_SIZE_CONTENT,    -75,
            -60, "s_rcd_checkin", FONT_SANS_15, LV_TEXT_ALIGN_LEFT, UI_KEY | UI_HIDDEN};
}
