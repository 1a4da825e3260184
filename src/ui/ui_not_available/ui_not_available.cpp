#include "ui/ui_not_available/ui_not_available.h"

#include <array>

#include "ui/ui_common.h"

lv_obj_t* ui_not_available;
lv_obj_t* ui_not_available_img;
lv_obj_t* ui_not_available_inform;
lv_obj_t* ui_not_available_fault;
lv_obj_t* ui_not_available_fault_sub;

namespace {

// Keys shown in the two reason lines; null until the first status message reaches the screen.
const char* s_ui_not_available_cur_key = nullptr;
const char* s_ui_not_available_cur_sub_key = nullptr;

struct Reason {
    const char* code;    // of conns[0].sessionConnInfo.ramData._errCode
    const char* key;     // main reason
    const char* sub_key; // sub reason
};

constexpr std::array<Reason, 26> kReasons{{
    {"ConnectorLockFailure", "s_locker_fault", "s_locker_fault_sub"},
    {"GroundFailure", "s_ground_faule", "s_ground_faule_sub"},
    {"HighTemperature", "s_high_temperature_fault", "s_high_temperature_fault_sub"},
    {"InternalError", "s_not_available_null", "s_interal_error"},
    {"LocalListConflict", "s_not_available_null", "s_local_list_conflict"},
    {"OtherError", "s_not_available_null", "s_not_avaliable_other_error"},
    {"OverCurrentFailure", "s_not_available_null", "s_over_current_fault"},
    {"OverVoltage", "s_over_voltage_fault", "s_over_voltage_fault_sub"},
    {"PowerMeterFailure", "s_meter_fault", "s_meter_fault_sub"},
    {"PowerSwitchFailure", "s_contactor_fault", "s_switch_fault"},
    {"ReaderFailure", "s_card_reader_fault", "s_card_reader_fault_sub"},
    {"ResetFailure", "s_not_available_null", "s_reset_fault"},
    {"UnderVoltage", "s_low_voltage_fault", "s_low_voltage_fault_sub"},
    {"WeakSignal", "s_not_available_null", "s_weaksignal"},
    {"Emergency Pushed", "s_emergency_fault", "s_emergency_fault_sub"},
    {"PhaseSwap", "s_phase_rotation_fault", "s_phase_rotation_fault_sub"},
    {"RCD_6mA", "s_ground_faule", "s_rcd_6ma"},
    {"PE_LEAK", "s_ground_faule", "s_pe_leak"},
    {"PME_FAULT", "s_ground_faule", "s_pme_fault"},
    {"PowerTempOver", "s_not_available_null", "s_power_temp_over"},
    {"CP Status E", "s_ground_faule", "s_cp_status_e"},
    {"PE Wiring", "s_ground_faule", "s_pe_wiring"},
    {"Randomised delay", "s_not_available_null", "s_randomised_delay"},
    {"Off-peak Time", "s_not_available_null", "s_off_peak_time"},
    {"Open Door", "s_not_available_null", "s_open_door"},
    {"RemoteDisable", "s_remote_disable", "s_not_available_null"},
}};
// The charge point's EV communication error outranks every connector code but the lock failure.
constexpr Reason kEvCommunication{"EVCommunicationError", "s_not_available_null", "s_EV_communicate_error"};
// Any other code, an empty one, or none at all.
constexpr Reason kOtherReason{"", "s_not_avaliable_other_error", "s_not_available_null"};

const Reason& find_reason(const char* conn_code, const char* point_code) {
    if (!msg_code_is(conn_code, kReasons[0].code) && msg_code_is(point_code, kEvCommunication.code))
        return kEvCommunication;
    const size_t row = ui_code_find<Reason>(kReasons, conn_code);
    return row < kReasons.size() ? kReasons[row] : kOtherReason;
}

constexpr ui_widget_t kWidgets[] = {
    {&ui_not_available_img, UI_IMG, 60, 60, 0, -20,
     "A:qorv_lvgl/assets/img/misc_icon/red_triangle_exclaim.png"},
    {&ui_not_available_inform, UI_LABEL, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 0, 30, "s_not_available",
     FONT_SANS_20, LV_TEXT_ALIGN_AUTO, UI_KEY},
    {&ui_not_available_fault, UI_LABEL, 310, 25, 0, 70, nullptr, FONT_SANS_14, LV_TEXT_ALIGN_CENTER},
    {&ui_not_available_fault_sub, UI_LABEL, 310, 25, 0, 105, "", FONT_SANS_14, LV_TEXT_ALIGN_CENTER},
};

} // namespace

UI_ROWS_SCREEN(not_available, kWidgets, 1)

void ui_not_available_set_reason(const char* key) {
    s_ui_not_available_cur_key = key;
    ui_label_set_key(ui_not_available_fault, key);
}

void ui_not_available_set_reason_sub(const char* key) {
    s_ui_not_available_cur_sub_key = key;
    ui_label_set_key(ui_not_available_fault_sub, key);
}

void ui_not_available_set_data(const msg_status_t* msg) {
    LV_LOG_USER("ErrCode:%s", msg->err_code != nullptr ? msg->err_code : "(none)");
    const Reason& reason = find_reason(msg->err_code, msg->point_err_code);
    ui_not_available_set_reason(reason.key);
    ui_not_available_set_reason_sub(reason.sub_key);
    // A station switched off remotely says so, whatever the code; the code's sub reason stays.
    if (msg_code_is(msg->status, "Unavailable")) ui_not_available_set_reason("s_remote_disable");
}

void ui_not_available_language_changed(void) {
    if (s_ui_not_available_cur_key != nullptr)
        ui_label_set_key(ui_not_available_fault, s_ui_not_available_cur_key);
    if (s_ui_not_available_cur_sub_key != nullptr)
        ui_label_set_key(ui_not_available_fault_sub, s_ui_not_available_cur_sub_key);
    ui_widgets_set_texts(kWidgets);
}
