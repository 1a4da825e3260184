// The swipe screen: a card picture, the payment QR code, the connector's code and the request to
// swipe an RFID card or scan the code. Shown while the connector waits for a customer.
#pragma once

#include <cjson/cJSON.h>

#include "lvgl.h"

extern lv_obj_t* ui_swipe_normal;
extern lv_obj_t* ui_swipe_normal_image;
extern lv_obj_t* ui_swipe_normal_station_number;
extern lv_obj_t* ui_swipe_normal_inform_text;
extern lv_obj_t* ui_swipe_normal_code;

void ui_swipe_normal_screen_init(void);
lv_obj_t* ui_swipe_normal_init(void);
void ui_swipe_normal_onshow(void);
void ui_swipe_normal_onhide(void);
void ui_swipe_normal_set_data(const cJSON* root);
void ui_swipe_normal_language_changed(void);
