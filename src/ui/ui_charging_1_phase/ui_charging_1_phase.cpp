#include "ui_charging_1_phase.h"

#include "ui/ui_charging/ui_charging.h"
#include "ui/ui_statusbar/ui_statusbar.h"

lv_obj_t* ui_charging_1_phase;
lv_obj_t* ui_charging_1_phase_charge_gif;
lv_obj_t* ui_charging_1_phase_chargetim_lable;
lv_obj_t* ui_charging_1_phase_voltage_lable;
lv_obj_t* ui_charging_1_phase_current_lable;
lv_obj_t* ui_charging_1_phase_quantity_lable;
lv_obj_t* ui_charging_1_phase_rcd_label;

namespace {

int64_t startime; // session start, Unix seconds

constexpr ui_widget_t kWidgets[] = {
    {&ui_charging_1_phase_chargetim_lable, UI_LABEL, 200, LV_SIZE_CONTENT, 50, -60, "", FONT_MONO_30,
     LV_TEXT_ALIGN_CENTER},
    {&ui_charging_1_phase_voltage_lable, UI_LABEL, 150, 20, 70, -15, nullptr, FONT_MONO_25,
     LV_TEXT_ALIGN_LEFT, UI_RECOLOR},
    {&ui_charging_1_phase_current_lable, UI_LABEL, 150, 20, 70, 20, nullptr, FONT_MONO_25, LV_TEXT_ALIGN_AUTO,
     UI_RECOLOR},
    {&ui_charging_1_phase_quantity_lable, UI_LABEL, 150, 20, 70, 55, nullptr, FONT_MONO_25,
     LV_TEXT_ALIGN_LEFT, UI_RECOLOR},
    ui_charging_gif_row(&ui_charging_1_phase_charge_gif),
    ui_charging_rcd_row(&ui_charging_1_phase_rcd_label),
};

} // namespace

void ui_charging_1_phase_screen_init(void) {
    ui_charging_1_phase = ui_screen_create();
    ui_widgets_create(ui_charging_1_phase, kWidgets);
}

lv_obj_t* ui_charging_1_phase_init(void) {
    ui_charging_1_phase_screen_init();
    ui_charging_1_phase_language_changed();
    return ui_charging_1_phase;
}

void ui_charging_1_phase_onshow(void) {
    ui_statusbar_set_show(1);
    ui_charging_timer_start(ui_charging_1_phase_set_charge_time);
}

void ui_charging_1_phase_onhide(void) {
    ui_statusbar_restore_show();
    ui_charging_timer_stop();
    ui_charging_show_time(ui_charging_1_phase_chargetim_lable, 0, 0);
}

void ui_charging_1_phase_set_data(const msg_status_t* msg) {
    ui_charging_set_text(ui_charging_1_phase_voltage_lable, "%.1fV", msg->voltage[0] * 0.1);
    ui_charging_set_text(ui_charging_1_phase_current_lable, "%.1fA", msg->current[0] * 0.1);
    ui_charging_set_text(ui_charging_1_phase_quantity_lable, "%.2fkWh",
                         (msg->meter_q3 - msg->meter_start) * 0.001);
    startime = msg->start_time;
    ui_charging_rcd_update(ui_charging_1_phase_rcd_label, msg->run_state);
}

void ui_charging_1_phase_language_changed(void) {
    ui_widgets_set_texts(kWidgets);
}

void ui_charging_1_phase_set_charge_time(lv_timer_t*) {
    ui_charging_show_time(ui_charging_1_phase_chargetim_lable, startime, msg_now());
}
