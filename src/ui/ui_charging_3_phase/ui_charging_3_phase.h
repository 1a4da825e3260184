// The three-phase charging screen: charging time, battery animation, energy, and voltage and current
// of each phase.
#pragma once

#include "ui/ui_screen.h"

UI_SCREEN_MODULE(charging_3_phase);
extern lv_obj_t* ui_charging_3_phase_charge_gif;
extern lv_obj_t* ui_charging_3_phase_chargetim_lable;
extern lv_obj_t* ui_charging_3_phase_quantity_lable;
extern lv_obj_t* ui_charging_3_phase_L1_lable;
extern lv_obj_t* ui_charging_3_phase_L2_lable;
extern lv_obj_t* ui_charging_3_phase_L3_lable;
extern lv_obj_t* ui_charging_3_phase_rcd_label;

// The charging timer's callback: writes the time since the session's start.
void ui_charging_3_phase_set_charge_time(lv_timer_t* timer);
