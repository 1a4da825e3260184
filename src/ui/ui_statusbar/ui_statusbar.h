// The status bar on the top layer: six connectivity icons and the local clock.
#pragma once

#include <cstdint>

#include "lvgl.h"
#include "msg/msg.h"

extern lv_obj_t* ui_statusbar;
extern lv_obj_t* ui_server_icon;
extern lv_obj_t* ui_nfc_icon;
extern lv_obj_t* ui_wan_icon;
extern lv_obj_t* ui_lte_icon;
extern lv_obj_t* ui_wifi_icon;
extern lv_obj_t* ui_ammter_icon;
extern lv_obj_t* ui_clock_text;

void ui_statusbar_init(void);
// The clock and the icons from a status message.
void ui_statusbar_set_data(const msg_status_t* msg);
// Shows the picture of `state` (0 off, 1 on, 2 error) in icon slot `slot`, loading it only on a change.
void ui_statusbar_set_icon(int slot, int32_t state);
// Every screen's onshow says whether the bar shows (1) or hides (0) while it is active;
// its onhide gives back what held before.
void ui_statusbar_set_show(uint8_t show);
void ui_statusbar_restore_show(void);
