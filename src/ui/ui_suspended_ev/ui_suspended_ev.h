// The screen for charging suspended by the vehicle.
#pragma once

#include <cjson/cJSON.h>

#include "lvgl.h"

extern lv_obj_t* ui_suspended_ev;
extern lv_obj_t* ui_suspended_ev_img;
extern lv_obj_t* ui_suspended_ev_explanation_lable;

void ui_suspended_ev_screen_init(void);
lv_obj_t* ui_suspended_ev_init(void);
void ui_suspended_ev_onshow(void);
void ui_suspended_ev_onhide(void);
void ui_suspended_ev_set_data(const cJSON* root);
void ui_suspended_ev_language_changed(void);
