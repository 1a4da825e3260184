// The reservation screen: a reserved connector and the minutes left until the reservation expires.
#pragma once

#include "ui/ui_screen.h"

UI_SCREEN_MODULE(reservation);
extern lv_obj_t* ui_reservation_img;
extern lv_obj_t* ui_reservation_explanation_lable;
extern lv_obj_t* ui_reservation_timer_lable;
extern lv_obj_t* ui_reservation_unit_lable;
