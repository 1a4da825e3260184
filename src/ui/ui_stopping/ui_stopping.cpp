#include "ui/ui_stopping/ui_stopping.h"

#include <array>
#include <span>

#include "i18n/lv_i18n.h"
#include "msg/msg.h"
#include "ui/ui_common.h"
#include "ui/ui_statusbar/ui_statusbar.h"

lv_obj_t* ui_stopping;
lv_obj_t* ui_stopping_img;
lv_obj_t* ui_stopping_explanation_lable;
lv_obj_t* ui_stopping_tips_lable;

namespace {

// Key of the reason in the tips label; null until the first status message reaches the screen.
const char* s_ui_stopping_cur_key = nullptr;

struct StopReason {
    const char* code;
    const char* key; // null: the controller's error code tells the reason
};

constexpr std::array<StopReason, 9> kStopReasons{{
    {"DeAuthorized", "s_deauthorized"},
    {"EmergencyStop", "s_emergency_stop"},
    {"EVDisconnected", "s_connector_removed"},
    {"HardReset", "s_hard_reset"},
    {"Local", nullptr},
    {"Reboot", "s_soft_reset"},
    {"SoftReset", "s_soft_reset"},
    {"Remote", "s_remote_stop"},
    {"UnlockCommand", "s_remote_stop"},
}};

// A local stop by error code (low 8 bits); codes beyond the table are stops by the user.
constexpr std::array<const char*, 9> kLocalStopKeys{
    "s_user_stop",         // 0
    "s_connector_removed", // 1
    "s_connector_removed", // 2
    "s_cp_fault",          // 3
    "s_over_current",      // 4
    "s_over_voltage",      // 5
    "s_low_voltage",       // 6
    "s_other",             // 7
    "s_other",             // 8
};

constexpr const char* kUserStop = "s_user_stop";

const char* stop_reason_key(const char* reason, uint8_t err_code) {
    const size_t row = ui_code_find(std::span<const StopReason>(kStopReasons), reason);
    if (row == kStopReasons.size()) return kUserStop;
    if (kStopReasons[row].key != nullptr) return kStopReasons[row].key;
    return err_code < kLocalStopKeys.size() ? kLocalStopKeys[err_code] : kUserStop;
}

} // namespace

void ui_stopping_screen_init(void) {
    ui_stopping = ui_screen_create();

    ui_stopping_img = ui_image_create(ui_stopping, 62, 63, 0, -27);

    ui_stopping_explanation_lable =
        ui_label_create(ui_stopping, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 0, 30, "Stopping...");
    lv_label_set_recolor(ui_stopping_explanation_lable, true);
    lv_obj_set_style_text_font(ui_stopping_explanation_lable, &lv_font_montserrat_14,
                               LV_PART_MAIN | LV_STATE_DEFAULT);

    ui_stopping_tips_lable = ui_label_create(ui_stopping, 320, 30, 0, 66, "Connector removed");
    lv_obj_set_style_text_align(ui_stopping_tips_lable, LV_TEXT_ALIGN_CENTER,
                                LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_set_style_text_font(ui_stopping_tips_lable, &lv_font_montserrat_14,
                               LV_PART_MAIN | LV_STATE_DEFAULT);
}

lv_obj_t* ui_stopping_init(void) {
    ui_stopping_screen_init();
    lv_img_set_src(ui_stopping_img, "A:qorv_lvgl/assets/img/misc_icon/red_exclaim.png");
    ui_label_set_font(ui_stopping_explanation_lable, 4);
    ui_label_set_font(ui_stopping_tips_lable, 3);
    return ui_stopping;
}

void ui_stopping_onshow(void) {
    ui_statusbar_set_show(0);
}

void ui_stopping_onhide(void) {
    ui_statusbar_restore_show();
}

void ui_stopping_set_data(const cJSON* root) {
    ui_label_set_key(ui_stopping_explanation_lable, "s_stopping");

    const uint8_t err_code = msg_u8(root, "conns[0].m1768Info.errCode");
    const char* reason = msg_text(root, "conns[0].sessionConnInfo.saveData._stopReason");
    LV_LOG_USER("%s", reason != nullptr ? reason : "(none)");

    s_ui_stopping_cur_key = stop_reason_key(reason, err_code);
    ui_label_set_key(ui_stopping_tips_lable, s_ui_stopping_cur_key);
}

void ui_stopping_language_changed(void) {
    ui_label_set_key(ui_stopping_explanation_lable, "s_stopping");
    // Before the first reason the tips label keeps its design-time text.
    if (s_ui_stopping_cur_key != nullptr) ui_label_set_key(ui_stopping_tips_lable, s_ui_stopping_cur_key);
}
