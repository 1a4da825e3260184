// The charging screen for a three-phase supply: charging time, battery, energy and one line of
// voltage and current per phase.
#pragma once

#include <cjson/cJSON.h>

#include "lvgl.h"

extern lv_obj_t* ui_charging_3_phase;
extern lv_obj_t* ui_charging_3_phase_charge_gif;
extern lv_obj_t* ui_charging_3_phase_chargetim_lable;
extern lv_obj_t* ui_charging_3_phase_quantity_lable;
extern lv_obj_t* ui_charging_3_phase_L1_lable;
extern lv_obj_t* ui_charging_3_phase_L2_lable;
extern lv_obj_t* ui_charging_3_phase_L3_lable;
extern lv_obj_t* ui_charging_3_phase_rcd_label;

void ui_charging_3_phase_screen_init(void);
lv_obj_t* ui_charging_3_phase_init(void);
void ui_charging_3_phase_onshow(void);
void ui_charging_3_phase_onhide(void);
void ui_charging_3_phase_set_data(const cJSON* root);
void ui_charging_3_phase_language_changed(void);
// The charging timer's callback while this screen is shown.
void ui_charging_3_phase_set_charge_time(lv_timer_t* timer);
