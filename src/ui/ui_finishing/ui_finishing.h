// The finishing screen: the session is over; asks to remove the charging plug and shows the
// energy delivered.
#pragma once

#include "ui/ui_screen.h"

UI_SCREEN_MODULE(finishing);
extern lv_obj_t* ui_finishing_inform_label;
extern lv_obj_t* ui_finishing_Q_label;
extern lv_obj_t* ui_finishing_gun_img;
extern lv_obj_t* ui_finishing_arrow_img;
extern lv_obj_t* ui_finishing_plug_img;
