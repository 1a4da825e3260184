// The charging screen for a one-phase supply: charging time, battery, voltage, current, energy.
#pragma once

#include <cjson/cJSON.h>

#include "lvgl.h"

extern lv_obj_t* ui_charging_1_phase;
extern lv_obj_t* ui_charging_1_phase_charge_gif;
extern lv_obj_t* ui_charging_1_phase_chargetim_lable;
extern lv_obj_t* ui_charging_1_phase_voltage_lable;
extern lv_obj_t* ui_charging_1_phase_current_lable;
extern lv_obj_t* ui_charging_1_phase_quantity_lable;
extern lv_obj_t* ui_charging_1_phase_rcd_label;

void ui_charging_1_phase_screen_init(void);
lv_obj_t* ui_charging_1_phase_init(void);
void ui_charging_1_phase_onshow(void);
void ui_charging_1_phase_onhide(void);
void ui_charging_1_phase_set_data(const cJSON* root);
void ui_charging_1_phase_language_changed(void);
// The charging timer's callback while this screen is shown.
void ui_charging_1_phase_set_charge_time(lv_timer_t* timer);
