// The reservation screen: a grey clock, "Reservation" and the minutes left until the reservation
// expires.
#pragma once

#include <cjson/cJSON.h>

#include "lvgl.h"

extern lv_obj_t* ui_reservation;
extern lv_obj_t* ui_reservation_img;
extern lv_obj_t* ui_reservation_explanation_lable;
extern lv_obj_t* ui_reservation_timer_lable;
extern lv_obj_t* ui_reservation_unit_lable;

void ui_reservation_screen_init(void);
lv_obj_t* ui_reservation_init(void);
void ui_reservation_onshow(void);
void ui_reservation_onhide(void);
void ui_reservation_set_data(const cJSON* root);
void ui_reservation_language_changed(void);
