// The not-available screen: a red warning triangle, "Not available" and the fault's main and sub
// reasons, chosen from the controller's error codes.
#pragma once

#include "ui/ui_screen.h"

UI_SCREEN_MODULE(not_available);
extern lv_obj_t* ui_not_available_img;
extern lv_obj_t* ui_not_available_inform;
extern lv_obj_t* ui_not_available_fault;
extern lv_obj_t* ui_not_available_fault_sub;

// Show the text of a translation key (static lifetime) as the main or the sub reason; the key is
// kept so that a change of language can look it up again.
void ui_not_available_set_reason(const char* key);
void ui_not_available_set_reason_sub(const char* key);
