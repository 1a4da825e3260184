// The swipe screen: a card picture, the payment QR code, the connector's code and the request to
// swipe an RFID card or scan the code. Shown while the connector waits for a customer.
#pragma once

#include "ui/ui_screen.h"

UI_SCREEN_MODULE(swipe_normal);
extern lv_obj_t* ui_swipe_normal_image;
extern lv_obj_t* ui_swipe_normal_station_number;
extern lv_obj_t* ui_swipe_normal_inform_text;
extern lv_obj_t* ui_swipe_normal_code;
