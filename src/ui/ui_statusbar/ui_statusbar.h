// The status bar on the top layer: six connectivity icons and the local clock.
#pragma once

#include <cjson/cJSON.h>
#include <cstdint>

#include "lvgl.h"

extern lv_obj_t* ui_statusbar;
extern lv_obj_t* ui_server_icon;
extern lv_obj_t* ui_nfc_icon;
extern lv_obj_t* ui_wan_icon;
extern lv_obj_t* ui_lte_icon;
extern lv_obj_t* ui_wifi_icon;
extern lv_obj_t* ui_ammter_icon;
extern lv_obj_t* ui_clock_text;

void ui_statusbar_init(void);
void ui_statusbar_set_data(const cJSON* root);
void ui_statusbar_judge_icon_status(const cJSON* item, int slot);
void ui_statusbar_set_icon(int slot, int32_t state);
// Every screen's onshow says whether the bar shows (1) or hides (0) while it is active;
// its onhide gives back what held before.
void ui_statusbar_set_show(uint8_t show);
void ui_statusbar_restore_show(void);
