// The swiping-RFID screen: the request to present an RFID card to start charging.
#pragma once

#include "ui/ui_screen.h"

UI_SCREEN_MODULE(swiping_rfid);
extern lv_obj_t* ui_swiping_rfid_img;
extern lv_obj_t* ui_swiping_rfid_explanation_lable;
