// The suspended-by-EV screen: the vehicle paused charging.
#pragma once

#include "ui/ui_screen.h"

UI_SCREEN_MODULE(suspended_ev);
extern lv_obj_t* ui_suspended_ev_img;
extern lv_obj_t* ui_suspended_ev_explanation_lable;
