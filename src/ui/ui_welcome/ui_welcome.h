// The welcome screen: the start-up picture and a progress figure that counts while the display waits
// for its first status message.
#pragma once

#include <cjson/cJSON.h>

#include "lvgl.h"

extern lv_obj_t* ui_welcome;
extern lv_obj_t* ui_welcome_img;
extern lv_obj_t* ui_welcome_loading_label;

void ui_welcome_screen_init(void);
lv_obj_t* ui_welcome_init(void);
void ui_welcome_onshow(void);
void ui_welcome_onhide(void);
void ui_welcome_set_data(const cJSON* root);
void ui_welcome_language_changed(void);

// Timer callback: one step of the progress figure, up to 99 %.
void welcome_fake_process(lv_timer_t* timer);
