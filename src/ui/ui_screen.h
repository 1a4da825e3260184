// The screen modules: their indexes in the screen manager's table and the six functions each exports.
#pragma once

#include "lvgl.h"
#include "msg/msg.h"

// Screen indexes, in the order of the screen table.
enum {
    SCREEN_WELCOME = 0,
    SCREEN_IDLE = 1,
    SCREEN_CHARGING_1_PHASE = 2,
    SCREEN_FINISHING = 3,
    SCREEN_NOT_AVAILABLE = 4,
    SCREEN_SWIPE_NORMAL = 5,
    SCREEN_STOPPING = 6,
    SCREEN_CHARGING_3_PHASE = 7,
    SCREEN_SUSPENDED_EV = 8,
    SCREEN_SUSPENDED_EVSE = 9,
    SCREEN_RESERVATION = 10,
    SCREEN_SWIPING_CARD = 11,
    SCREEN_SWIPING_RFID = 12,
    SCREEN_NUM = 13,
    SCREEN_NONE = SCREEN_NUM, // no screen shown yet
};

// ui_<screen>_screen_init builds the widgets and the root ui_<screen>; init builds the whole screen
// once and returns its root; onshow: the screen has become the active one; onhide: another screen
// replaces it; set_data: a status message while the screen is active; language_changed: re-read every
// translated text.
#define UI_SCREEN_MODULE(name)                                                                               \
    extern lv_obj_t* ui_##name;                                                                              \
    void ui_##name##_screen_init(void);                                                                      \
    lv_obj_t* ui_##name##_init(void);                                                                        \
    void ui_##name##_onshow(void);                                                                           \
    void ui_##name##_onhide(void);                                                                           \
    void ui_##name##_set_data(const msg_status_t* msg);                                                      \
    void ui_##name##_language_changed(void)
