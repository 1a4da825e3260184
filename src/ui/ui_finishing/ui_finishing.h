// The finishing screen: the session is over; asks to remove the charging plug and shows the
// energy delivered.
#pragma once

#include <cjson/cJSON.h>

#include "lvgl.h"

extern lv_obj_t* ui_finishing;
extern lv_obj_t* ui_finishing_inform_label;
extern lv_obj_t* ui_finishing_Q_label;
extern lv_obj_t* ui_finishing_gun_img;
extern lv_obj_t* ui_finishing_arrow_img;
extern lv_obj_t* ui_finishing_plug_img;

void ui_finishing_screen_init(void);
lv_obj_t* ui_finishing_init(void);
void ui_finishing_onshow(void);
void ui_finishing_onhide(void);
void ui_finishing_set_data(const cJSON* root);
void ui_finishing_language_changed(void);
