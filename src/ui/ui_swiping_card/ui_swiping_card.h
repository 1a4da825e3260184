// The swiping-card screen: a card is being read.
#pragma once

#include "ui/ui_screen.h"

UI_SCREEN_MODULE(swiping_card);
extern lv_obj_t* ui_swiping_card_img;
extern lv_obj_t* ui_swiping_card_explanation_lable;
