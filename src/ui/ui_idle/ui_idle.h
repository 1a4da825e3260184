// The idle screen: a plug picture and the request to connect the charging plug.
#pragma once

#include <cjson/cJSON.h>

#include "lvgl.h"

extern lv_obj_t* ui_idle;
extern lv_obj_t* ui_idle_plug_in_img;
extern lv_obj_t* ui_idle_inform_label;

void ui_idle_screen_init(void);
lv_obj_t* ui_idle_init(void);
void ui_idle_onshow(void);
void ui_idle_onhide(void);
void ui_idle_set_data(const cJSON* root);
void ui_idle_language_changed(void);
