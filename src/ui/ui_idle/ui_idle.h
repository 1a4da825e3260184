// The idle screen: a plug picture and the request to connect the charging plug.
#pragma once

#include "ui/ui_screen.h"

UI_SCREEN_MODULE(idle);
extern lv_obj_t* ui_idle_plug_in_img;
extern lv_obj_t* ui_idle_inform_label;
