// The screen shown while a card is being read; the status bar is hidden.
#pragma once

#include <cjson/cJSON.h>

#include "lvgl.h"

extern lv_obj_t* ui_swiping_card;
extern lv_obj_t* ui_swiping_card_img;
extern lv_obj_t* ui_swiping_card_explanation_lable;

void ui_swiping_card_screen_init(void);
lv_obj_t* ui_swiping_card_init(void);
void ui_swiping_card_onshow(void);
void ui_swiping_card_onhide(void);
void ui_swiping_card_set_data(const cJSON* root);
void ui_swiping_card_language_changed(void);
