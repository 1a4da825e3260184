#include "ui_charging_3_phase.h"

#include "ui/ui_charging/ui_charging.h"
#include "ui/ui_statusbar/ui_statusbar.h"

lv_obj_t* ui_charging_3_phase;
lv_obj_t* ui_charging_3_phase_charge_gif;
lv_obj_t* ui_charging_3_phase_chargetim_lable;
lv_obj_t* ui_charging_3_phase_quantity_lable;
lv_obj_t* ui_charging_3_phase_L1_lable;
lv_obj_t* ui_charging_3_phase_L2_lable;
lv_obj_t* ui_charging_3_phase_L3_lable;
lv_obj_t* ui_charging_3_phase_rcd_label;

namespace {

int64_t startime; // session start, Unix seconds

constexpr ui_widget_t kWidgets[] = {
    {&ui_charging_3_phase_chargetim_lable, UI_LABEL, 150, LV_SIZE_CONTENT, 70, -60, "", FONT_MONO_25,
     LV_TEXT_ALIGN_CENTER},
    {&ui_charging_3_phase_quantity_lable, UI_LABEL, 150, 25, 70, -25, "", FONT_MONO_18, LV_TEXT_ALIGN_CENTER,
     UI_RECOLOR},
    {&ui_charging_3_phase_L1_lable, UI_LABEL, 150, 20, 70, 5, nullptr, FONT_MONO_16, LV_TEXT_ALIGN_LEFT,
     UI_RECOLOR},
    {&ui_charging_3_phase_L2_lable, UI_LABEL, 150, 20, 70, 40, nullptr, FONT_MONO_16, LV_TEXT_ALIGN_AUTO,
     UI_RECOLOR},
    {&ui_charging_3_phase_L3_lable, UI_LABEL, 150, 20, 70, 75, nullptr, FONT_MONO_16, LV_TEXT_ALIGN_AUTO,
     UI_RECOLOR},
    ui_charging_gif_row(&ui_charging_3_phase_charge_gif),
    ui_charging_rcd_row(&ui_charging_3_phase_rcd_label),
};

// Each phase's line: its name in colour, then voltage and current.
constexpr const char* kPhaseFormats[3] = {"#00F0FF L1:# %5.1fV %5.1fA", "#00F0FF L2:# %5.1fV %5.1fA",
                                          "#00F0FF L3:# %5.1fV %5.1fA"};

} // namespace

void ui_charging_3_phase_screen_init(void) {
    ui_charging_3_phase = ui_screen_create();
    ui_widgets_create(ui_charging_3_phase, kWidgets);
}

lv_obj_t* ui_charging_3_phase_init(void) {
    ui_charging_3_phase_screen_init();
    ui_charging_3_phase_language_changed();
    return ui_charging_3_phase;
}

void ui_charging_3_phase_onshow(void) {
    ui_statusbar_set_show(1);
    ui_charging_timer_start(ui_charging_3_phase_set_charge_time);
}

void ui_charging_3_phase_onhide(void) {
    ui_statusbar_restore_show();
    ui_charging_timer_stop();
    ui_charging_show_time(ui_charging_3_phase_chargetim_lable, 0, 0);
}

void ui_charging_3_phase_set_data(const msg_status_t* msg) {
    // Whole Wh: the register's fraction is dropped before the meter start is taken off.
    ui_charging_set_text(ui_charging_3_phase_quantity_lable, "%.2lf kWh",
                         (msg->meter_q3_wh - msg->meter_start) * 0.001);
    lv_obj_t* const phases[3] = {ui_charging_3_phase_L1_lable, ui_charging_3_phase_L2_lable,
                                 ui_charging_3_phase_L3_lable};
    for (int k = 0; k < 3; k++)
        ui_charging_set_text(phases[k], kPhaseFormats[k], msg->voltage[k] * 0.1, msg->current[k] * 0.1);
    startime = msg->start_time;
    ui_charging_rcd_update(ui_charging_3_phase_rcd_label, msg->run_state);
}

void ui_charging_3_phase_language_changed(void) {
    ui_widgets_set_texts(kWidgets);
}

void ui_charging_3_phase_set_charge_time(lv_timer_t*) {
    ui_charging_show_time(ui_charging_3_phase_chargetim_lable, startime, msg_now());
}
