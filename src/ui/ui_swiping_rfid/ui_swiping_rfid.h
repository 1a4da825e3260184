// The screen that asks for an RFID card to start charging.
#pragma once

#include <cjson/cJSON.h>

#include "lvgl.h"

extern lv_obj_t* ui_swiping_rfid;
extern lv_obj_t* ui_swiping_rfid_img;
extern lv_obj_t* ui_swiping_rfid_explanation_lable;

void ui_swiping_rfid_screen_init(void);
lv_obj_t* ui_swiping_rfid_init(void);
void ui_swiping_rfid_onshow(void);
void ui_swiping_rfid_onhide(void);
void ui_swiping_rfid_set_data(const cJSON* root);
void ui_swiping_rfid_language_changed(void);
