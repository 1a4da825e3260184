// The screen for charging suspended by the station.
#pragma once

#include <cjson/cJSON.h>

#include "lvgl.h"

extern lv_obj_t* ui_suspended_evse;
extern lv_obj_t* ui_suspended_evse_img;
extern lv_obj_t* ui_suspended_evse_explanation_lable;

void ui_suspended_evse_screen_init(void);
lv_obj_t* ui_suspended_evse_init(void);
void ui_suspended_evse_onshow(void);
void ui_suspended_evse_onhide(void);
void ui_suspended_evse_set_data(const cJSON* root);
void ui_suspended_evse_language_changed(void);
