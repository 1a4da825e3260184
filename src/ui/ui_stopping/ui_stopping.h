// The stopping screen: a red exclamation mark, "Stopping..." and why the session stops. The status
// bar is hidden while it is shown.
#pragma once

#include "ui/ui_screen.h"

UI_SCREEN_MODULE(stopping);
extern lv_obj_t* ui_stopping_img;
extern lv_obj_t* ui_stopping_explanation_lable;
extern lv_obj_t* ui_stopping_tips_lable;
