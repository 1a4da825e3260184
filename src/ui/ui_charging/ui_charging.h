// What the one-phase and the three-phase charging screens share: the one charging-time timer, the
// time text, the RCD notice and the battery animation.
#pragma once

#include <cstdint>

#include "lvgl.h"

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
// The hidden RCD notice at its place on `root`.
lv_obj_t* ui_charging_rcd_label_create(lv_obj_t* root);

// The battery: where a charging screen builds a placeholder image, this replaces it by a GIF of the
// same geometry and flags playing the battery animation.
constexpr lv_coord_t UI_CHARGING_GIF_W = 46;
constexpr lv_coord_t UI_CHARGING_GIF_H = 98;
constexpr lv_coord_t UI_CHARGING_GIF_X = -60;
constexpr lv_coord_t UI_CHARGING_GIF_Y = 20;
lv_obj_t* ui_charging_gif_placeholder_create(lv_obj_t* root);
lv_obj_t* ui_charging_gif_replace(lv_obj_t* root, lv_obj_t* placeholder);
