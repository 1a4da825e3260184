// The stopping screen: a red exclamation mark, "Stopping..." and why the session stops. The status
// bar is hidden while it is shown.
#pragma once

#include <cjson/cJSON.h>

#include "lvgl.h"

extern lv_obj_t* ui_stopping;
extern lv_obj_t* ui_stopping_img;
extern lv_obj_t* ui_stopping_explanation_lable;
extern lv_obj_t* ui_stopping_tips_lable;

void ui_stopping_screen_init(void);
lv_obj_t* ui_stopping_init(void);
void ui_stopping_onshow(void);
void ui_stopping_onhide(void);
void ui_stopping_set_data(const cJSON* root);
void ui_stopping_language_changed(void);
