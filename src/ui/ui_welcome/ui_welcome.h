// The welcome screen: the start-up picture and a progress figure that counts while the display waits
// for its first status message.
#pragma once

#include "ui/ui_screen.h"

UI_SCREEN_MODULE(welcome);
extern lv_obj_t* ui_welcome_img;
extern lv_obj_t* ui_welcome_loading_label;

// Timer callback: one step of the progress figure, up to 99 %.
void welcome_fake_process(lv_timer_t* timer);
