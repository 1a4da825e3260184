#include "ui/ui_not_available/ui_not_available.h"

#include <array>

#include "i18n/lv_i18n.h"
#include "msg/msg.h"
#include "ui/ui_common.h"
#include "ui/ui_statusbar/ui_statusbar.h"

lv_obj_t* ui_not_available;
lv_obj_t* ui_not_available_img;
lv_obj_t* ui_not_available_inform;
lv_obj_t* ui_not_available_fault;
lv_obj_t* ui_not_available_fault_sub;

namespace {

// Keys shown in the two reason lines; null until the first status message reaches the screen.
const char* s_ui_not_available_cur_key = nullptr;
const char* s_ui_not_available_cur_sub_key = nullptr;

// Which error code a row of the reason table is compared with.
enum class ErrField : uint8_t {
    Conn,  // conns[0].sessionConnInfo.ramData._errCode
    Point, // global.sessionPointInfo.ramdData._errCode
};

struct Reason {
    ErrField field;
    const char* code;
    const char* key;     // main reason
    const char* sub_key; // sub reason
};

// First match wins: the charge point's EV communication error outranks every connector code but the
// lock failure.
constexpr std::array<Reason, 27> kReasons{{
    {ErrField::Conn, "ConnectorLockFailure", "s_locker_fault", "s_locker_fault_sub"},
    {ErrField::Point, "EVCommunicationError", "s_not_available_null", "s_EV_communicate_error"},
    {ErrField::Conn, "GroundFailure", "s_ground_faule", "s_ground_faule_sub"},
    {ErrField::Conn, "HighTemperature", "s_high_temperature_fault", "s_high_temperature_fault_sub"},
    {ErrField::Conn, "InternalError", "s_not_available_null", "s_interal_error"},
    {ErrField::Conn, "LocalListConflict", "s_not_available_null", "s_local_list_conflict"},
    {ErrField::Conn, "OtherError", "s_not_available_null", "s_not_avaliable_other_error"},
    {ErrField::Conn, "OverCurrentFailure", "s_not_available_null", "s_over_current_fault"},
    {ErrField::Conn, "OverVoltage", "s_over_voltage_fault", "s_over_voltage_fault_sub"},
    {ErrField::Conn, "PowerMeterFailure", "s_meter_fault", "s_meter_fault_sub"},
    {ErrField::Conn, "PowerSwitchFailure", "s_contactor_fault", "s_switch_fault"},
    {ErrField::Conn, "ReaderFailure", "s_card_reader_fault", "s_card_reader_fault_sub"},
    {ErrField::Conn, "ResetFailure", "s_not_available_null", "s_reset_fault"},
    {ErrField::Conn, "UnderVoltage", "s_low_voltage_fault", "s_low_voltage_fault_sub"},
    {ErrField::Conn, "WeakSignal", "s_not_available_null", "s_weaksignal"},
    {ErrField::Conn, "Emergency Pushed", "s_emergency_fault", "s_emergency_fault_sub"},
    {ErrField::Conn, "PhaseSwap", "s_phase_rotation_fault", "s_phase_rotation_fault_sub"},
    {ErrField::Conn, "RCD_6mA", "s_ground_faule", "s_rcd_6ma"},
    {ErrField::Conn, "PE_LEAK", "s_ground_faule", "s_pe_leak"},
    {ErrField::Conn, "PME_FAULT", "s_ground_faule", "s_pme_fault"},
    {ErrField::Conn, "PowerTempOver", "s_not_available_null", "s_power_temp_over"},
    {ErrField::Conn, "CP Status E", "s_ground_faule", "s_cp_status_e"},
    {ErrField::Conn, "PE Wiring", "s_ground_faule", "s_pe_wiring"},
    {ErrField::Conn, "Randomised delay", "s_not_available_null", "s_randomised_delay"},
    {ErrField::Conn, "Off-peak Time", "s_not_available_null", "s_off_peak_time"},
    {ErrField::Conn, "Open Door", "s_not_available_null", "s_open_door"},
    {ErrField::Conn, "RemoteDisable", "s_remote_disable", "s_not_available_null"},
}};
// Any other code, an empty one, or none at all.
constexpr Reason kOtherReason{ErrField::Conn, "", "s_not_avaliable_other_error", "s_not_available_null"};

const Reason& find_reason(const char* conn_code, const char* point_code) {
    for (const Reason& r : kReasons) {
        if (msg_code_is(r.field == ErrField::Point ? point_code : conn_code, r.code)) return r;
    }
    return kOtherReason;
}

} // namespace

void ui_not_available_screen_init(void) {
    ui_not_available = ui_screen_create();

    ui_not_available_img = ui_image_create(ui_not_available, 60, 60, 0, -20);

    ui_not_available_inform =
        ui_label_create(ui_not_available, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 0, 30, "Not Available");
    lv_obj_set_style_text_font(ui_not_available_inform, &lv_font_montserrat_14,
                               LV_PART_MAIN | LV_STATE_DEFAULT);

    ui_not_available_fault = ui_label_create(ui_not_available, 310, 25, 0, 70, "locker fault");
    lv_obj_set_style_text_align(ui_not_available_fault, LV_TEXT_ALIGN_CENTER,
                                LV_PART_MAIN | LV_STATE_DEFAULT);

    ui_not_available_fault_sub = ui_label_create(ui_not_available, 310, 25, 0, 105, "Text");
    lv_obj_set_style_text_align(ui_not_available_fault_sub, LV_TEXT_ALIGN_CENTER,
                                LV_PART_MAIN | LV_STATE_DEFAULT);
}

lv_obj_t* ui_not_available_init(void) {
    ui_not_available_screen_init();
    lv_img_set_src(ui_not_available_img, "A:qorv_lvgl/assets/img/misc_icon/red_triangle_exclaim.png");
    ui_label_set_key(ui_not_available_inform, "s_not_available");
    lv_label_set_text(ui_not_available_fault_sub, "");
    ui_label_set_font(ui_not_available_inform, 4);
    ui_label_set_font(ui_not_available_fault, 1);
    ui_label_set_font(ui_not_available_fault_sub, 1);
    return ui_not_available;
}

void ui_not_available_onshow(void) {
    ui_statusbar_set_show(1);
}

void ui_not_available_onhide(void) {
    ui_statusbar_restore_show();
}

void ui_not_available_set_reason(const char* key) {
    s_ui_not_available_cur_key = key;
    ui_label_set_key(ui_not_available_fault, key);
}

void ui_not_available_set_reason_sub(const char* key) {
    s_ui_not_available_cur_sub_key = key;
    ui_label_set_key(ui_not_available_fault_sub, key);
}

void ui_not_available_set_data(const cJSON* root) {
    const char* point_code = msg_text(root, "global.sessionPointInfo.ramdData._errCode");
    const char* status = msg_text(root, "conns[0].sessionConnInfo.ramData._status");
    const char* conn_code = msg_text(root, "conns[0].sessionConnInfo.ramData._errCode");
    LV_LOG_USER("ErrCode:%s", conn_code != nullptr ? conn_code : "(none)");

    const Reason& reason = find_reason(conn_code, point_code);
    ui_not_available_set_reason(reason.key);
    ui_not_available_set_reason_sub(reason.sub_key);
    // A station switched off remotely says so, whatever the code; the code's sub reason stays.
    if (msg_code_is(status, "Unavailable")) ui_not_available_set_reason("s_remote_disable");
}

void ui_not_available_language_changed(void) {
    if (s_ui_not_available_cur_key != nullptr)
        ui_label_set_key(ui_not_available_fault, s_ui_not_available_cur_key);
    if (s_ui_not_available_cur_sub_key != nullptr) {
        ui_label_set_key(ui_not_available_fault_sub, s_ui_not_available_cur_sub_key);
    }
    ui_label_set_key(ui_not_available_inform, "s_not_available");
}
