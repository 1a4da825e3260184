// The screen descriptor: one row of the screen manager's table.
#pragma once

#include <cjson/cJSON.h>

#include "lvgl.h"

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

// A screen module: its root (null until the screen is first shown) and its operations, which the
// module names ui_<screen>_init, _onshow, _onhide, _set_data and _language_changed.
typedef struct {
    lv_obj_t* root;
    lv_obj_t* (*init)(void);             // builds the screen once and returns its root
    void (*onshow)(void);                // the screen has become the active one
    void (*onhide)(void);                // another screen replaces it
    void (*set_data)(const cJSON* root); // a status message while the screen is active
    void (*language_changed)(void);      // re-read every translated text
} ui_screen_t;
