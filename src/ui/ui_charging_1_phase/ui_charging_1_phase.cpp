#include "ui_charging_1_phase.h"

#include "msg/msg.h"
#include "ui/ui_charging/ui_charging.h"
#include "ui/ui_common.h"
#include "ui/ui_statusbar/ui_statusbar.h"

lv_obj_t* ui_charging_1_phase;
lv_obj_t* ui_charging_1_phase_charge_gif;
lv_obj_t* ui_charging_1_phase_chargetim_lable;
lv_obj_t* ui_charging_1_phase_voltage_lable;
lv_obj_t* ui_charging_1_phase_current_lable;
lv_obj_t* ui_charging_1_phase_quantity_lable;
lv_obj_t* ui_charging_1_phase_rcd_label;

namespace {

// The last values read: voltage in 0.1 V and current in 0.1 A (L1 in element 0), the meter's
// energy registers in Wh (element 3), the run state (valid only while set_data runs).
struct conn_para_1p {
    int16_t voltage[4];
    int16_t current[4];
    double Q[4];
    const char* runState;
};

conn_para_1p s_ui_1p_conn_para;
int64_t startime; // session start, Unix seconds

} // namespace

void ui_charging_1_phase_screen_init(void) {
    ui_charging_1_phase = ui_screen_create();
    ui_charging_1_phase_charge_gif = ui_charging_gif_placeholder_create(ui_charging_1_phase);

    ui_charging_1_phase_chargetim_lable =
        ui_label_create(ui_charging_1_phase, 200, LV_SIZE_CONTENT, 50, -60, "");
    lv_obj_set_style_text_align(ui_charging_1_phase_chargetim_lable, LV_TEXT_ALIGN_CENTER,
                                LV_PART_MAIN | LV_STATE_DEFAULT);

    ui_charging_1_phase_voltage_lable = ui_label_create(ui_charging_1_phase, 150, 20, 70, -15, "1234");
    lv_obj_set_style_text_align(ui_charging_1_phase_voltage_lable, LV_TEXT_ALIGN_LEFT,
                                LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_label_set_recolor(ui_charging_1_phase_voltage_lable, true);

    ui_charging_1_phase_current_lable = ui_label_create(ui_charging_1_phase, 150, 20, 70, 20, "111111111");
    lv_label_set_recolor(ui_charging_1_phase_current_lable, true);

    ui_charging_1_phase_quantity_lable = ui_label_create(ui_charging_1_phase, 150, 20, 70, 55, "123456");
    lv_obj_set_style_text_align(ui_charging_1_phase_quantity_lable, LV_TEXT_ALIGN_LEFT,
                                LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_label_set_recolor(ui_charging_1_phase_quantity_lable, true);
}

lv_obj_t* ui_charging_1_phase_init(void) {
    ui_charging_1_phase_screen_init();
    ui_charging_1_phase_charge_gif =
        ui_charging_gif_replace(ui_charging_1_phase, ui_charging_1_phase_charge_gif);
    ui_label_set_font(ui_charging_1_phase_chargetim_lable, 10);
    ui_label_set_font(ui_charging_1_phase_voltage_lable, 9);
    ui_label_set_font(ui_charging_1_phase_current_lable, 9);
    ui_label_set_font(ui_charging_1_phase_quantity_lable, 9);
    ui_charging_1_phase_rcd_label = ui_charging_rcd_label_create(ui_charging_1_phase);
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

void ui_charging_1_phase_set_data(const cJSON* root) {
    conn_para_1p& p = s_ui_1p_conn_para;
    p.voltage[0] = msg_i16(root, "conns[0].meterInfo.voltage[0]");
    p.current[0] = msg_i16(root, "conns[0].meterInfo.current[0]");
    p.Q[3] = msg_number(root, "conns[0].meterInfo.Q[3]");
    const double meter_start = msg_number(root, "conns[0].sessionConnInfo.saveData._meterStart");

    ui_charging_set_text(ui_charging_1_phase_voltage_lable, "%.1fV", p.voltage[0] * 0.1);
    ui_charging_set_text(ui_charging_1_phase_current_lable, "%.1fA", p.current[0] * 0.1);
    ui_charging_set_text(ui_charging_1_phase_quantity_lable, "%.2fkWh", (p.Q[3] - meter_start) * 0.001);

    p.runState = msg_text(root, "conns[0].m1768Info.runState");
    startime = msg_time(root, "conns[0].sessionConnInfo.saveData._startTime");
    ui_charging_rcd_update(ui_charging_1_phase_rcd_label, p.runState);
    p.runState = nullptr; // points into the message, which is freed after this call
}

void ui_charging_1_phase_language_changed(void) {
    ui_label_set_key(ui_charging_1_phase_rcd_label, "s_rcd_checkin");
}

void ui_charging_1_phase_set_charge_time(lv_timer_t*) {
    ui_charging_show_time(ui_charging_1_phase_chargetim_lable, startime, msg_now());
}
