// The one-phase charging screen: charging time, battery animation, voltage, current and energy of L1.
#pragma once

#include "ui/ui_screen.h"

UI_SCREEN_MODULE(charging_1_phase);
extern lv_obj_t* ui_charging_1_phase_charge_gif;
extern lv_obj_t* ui_charging_1_phase_chargetim_lable;
extern lv_obj_t* ui_charging_1_phase_voltage_lable;
extern lv_obj_t* ui_charging_1_phase_current_lable;
extern lv_obj_t* ui_charging_1_phase_quantity_lable;
extern lv_obj_t* ui_charging_1_phase_rcd_label;

// The charging timer's callback: writes the time since the session's start.
void ui_charging_1_phase_set_charge_time(lv_timer_t* timer);
