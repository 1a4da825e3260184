#include "ui_charging_3_phase.h"

#include <array>

#include "msg/msg.h"
#include "ui/ui_charging/ui_charging.h"
#include "ui/ui_common.h"
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

// The last values read: voltages in 0.1 V and currents in 0.1 A (L1 to L3 in elements 0 to 2), the
// meter's energy registers in whole Wh (element 3), the run state (valid only while set_data runs).
struct conn_para_3p {
    int16_t voltage[4];
    int16_t current[4];
    int32_t Q[4];
    const char* runState;
};

conn_para_3p s_ui_3p_conn_para;
int64_t startime; // session start, Unix seconds

// Where each phase's voltage and current are in the message, and how its line reads.
struct phase_row {
    const char* voltage;
    const char* current;
    const char* format;
};
constexpr std::array<phase_row, 3> kPhases = {{
    {"conns[0].meterInfo.voltage[0]", "conns[0].meterInfo.current[0]", "#00F0FF L1:# %5.1fV %5.1fA"},
    {"conns[0].meterInfo.voltage[1]", "conns[0].meterInfo.current[1]", "#00F0FF L2:# %5.1fV %5.1fA"},
    {"conns[0].meterInfo.voltage[2]", "conns[0].meterInfo.current[2]", "#00F0FF L3:# %5.1fV %5.1fA"},
}};

lv_obj_t* phase_label(size_t k) {
    const std::array<lv_obj_t*, 3> labels = {ui_charging_3_phase_L1_lable, ui_charging_3_phase_L2_lable,
                                             ui_charging_3_phase_L3_lable};
    return labels[k];
}

lv_obj_t* phase_label_create(lv_coord_t y, const char* text) {
    lv_obj_t* label = ui_label_create(ui_charging_3_phase, 150, 20, 70, y, text);
    lv_label_set_recolor(label, true);
    return label;
}

} // namespace

void ui_charging_3_phase_screen_init(void) {
    ui_charging_3_phase = ui_screen_create();
    ui_charging_3_phase_charge_gif = ui_charging_gif_placeholder_create(ui_charging_3_phase);

    ui_charging_3_phase_chargetim_lable =
        ui_label_create(ui_charging_3_phase, 150, LV_SIZE_CONTENT, 70, -60, "");
    lv_obj_set_style_text_align(ui_charging_3_phase_chargetim_lable, LV_TEXT_ALIGN_CENTER,
                                LV_PART_MAIN | LV_STATE_DEFAULT);

    ui_charging_3_phase_quantity_lable = ui_label_create(ui_charging_3_phase, 150, 25, 70, -25, "");
    lv_obj_set_style_text_align(ui_charging_3_phase_quantity_lable, LV_TEXT_ALIGN_LEFT,
                                LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_label_set_recolor(ui_charging_3_phase_quantity_lable, true);

    ui_charging_3_phase_L1_lable = phase_label_create(5, "#00F0FF L1 ");
    lv_obj_set_style_text_align(ui_charging_3_phase_L1_lable, LV_TEXT_ALIGN_LEFT,
                                LV_PART_MAIN | LV_STATE_DEFAULT);
    ui_charging_3_phase_L2_lable = phase_label_create(40, "#00F0FF L2");
    ui_charging_3_phase_L3_lable = phase_label_create(75, "#00F0FF L3");
}

lv_obj_t* ui_charging_3_phase_init(void) {
    ui_charging_3_phase_screen_init();
    ui_charging_3_phase_charge_gif =
        ui_charging_gif_replace(ui_charging_3_phase, ui_charging_3_phase_charge_gif);
    ui_label_set_font(ui_charging_3_phase_chargetim_lable, 9);
    ui_label_set_font(ui_charging_3_phase_quantity_lable, 8);
    lv_obj_set_style_text_align(ui_charging_3_phase_quantity_lable, LV_TEXT_ALIGN_CENTER,
                                LV_PART_MAIN | LV_STATE_DEFAULT);
    for (size_t k = 0; k < kPhases.size(); k++) ui_label_set_font(phase_label(k), 7);
    ui_charging_3_phase_rcd_label = ui_charging_rcd_label_create(ui_charging_3_phase);
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

void ui_charging_3_phase_set_data(const cJSON* root) {
    conn_para_3p& p = s_ui_3p_conn_para;
    for (size_t k = 0; k < kPhases.size(); k++) {
        p.voltage[k] = msg_i16(root, kPhases[k].voltage);
        p.current[k] = msg_i16(root, kPhases[k].current);
    }
    // Whole Wh: the register's fraction is dropped before the meter start is taken off.
    p.Q[3] = msg_i32(root, "conns[0].meterInfo.Q[3]");
    const double meter_start = msg_number(root, "conns[0].sessionConnInfo.saveData._meterStart");

    ui_charging_set_text(ui_charging_3_phase_quantity_lable, "%.2lf kWh", (p.Q[3] - meter_start) * 0.001);
    for (size_t k = 0; k < kPhases.size(); k++) {
        ui_charging_set_text(phase_label(k), kPhases[k].format, p.voltage[k] * 0.1, p.current[k] * 0.1);
    }

    p.runState = msg_text(root, "conns[0].m1768Info.runState");
    startime = msg_time(root, "conns[0].sessionConnInfo.saveData._startTime");
    ui_charging_rcd_update(ui_charging_3_phase_rcd_label, p.runState);
    p.runState = nullptr; // points into the message, which is freed after this call
}

void ui_charging_3_phase_language_changed(void) {
    ui_label_set_key(ui_charging_3_phase_rcd_label, "s_rcd_checkin");
}

void ui_charging_3_phase_set_charge_time(lv_timer_t*) {
    ui_charging_show_time(ui_charging_3_phase_chargetim_lable, startime, msg_now());
}
