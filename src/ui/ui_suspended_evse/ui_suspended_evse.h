// The suspended-by-EVSE screen: the station paused charging.
#pragma once

#include "ui/ui_screen.h"

UI_SCREEN_MODULE(suspended_evse);
extern lv_obj_t* ui_suspended_evse_img;
extern lv_obj_t* ui_suspended_evse_explanation_lable;
