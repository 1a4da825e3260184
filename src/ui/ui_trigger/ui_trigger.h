// The trigger overlay: a full-display panel on the top layer that the controller raises with a
// trigger message (software download or upgrade progress, authorisation failures, prompts, a colour
// test) and that hides again after a count-down or on an unknown command.
#pragma once

#include "lvgl.h"
#include "msg/msg.h"

extern lv_obj_t* ui_trigger_panel;
extern lv_obj_t* ui_trigger_img;
extern lv_obj_t* ui_trigger_inform_label;
extern lv_obj_t* ui_trigger_reason_label;
extern lv_obj_t* ui_trigger_process_label;

// Builds the hidden overlay on the default display's top layer and returns the panel. Called once,
// after the status bar exists, so the overlay covers it.
lv_obj_t* ui_trigger_init(void);
// Shows the overlay for a trigger message, or hides it for an unknown command.
void ui_trigger_set_data(const msg_trigger_t* msg);
