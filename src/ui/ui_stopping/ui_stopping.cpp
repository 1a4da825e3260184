#include "ui/ui_stopping/ui_stopping.h"

#include <array>
#include <span>

#include "ui/ui_common.h"

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

constexpr ui_widget_t kWidgets[] = {
    {&ui_stopping_img, UI_IMG, 62, 63, 0, -27, "A:qorv_lvgl/assets/img/misc_icon/red_exclaim.png"},
    {&ui_stopping_explanation_lable, UI_LABEL, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 0, 30, "s_stopping",
     FONT_SANS_20, LV_TEXT_ALIGN_AUTO, UI_KEY | UI_RECOLOR},
    {&ui_stopping_tips_lable, UI_LABEL, 320, 30, 0, 66, nullptr, FONT_SANS_16, LV_TEXT_ALIGN_CENTER},
};

const char* stop_reason_key(const char* reason, uint8_t err_code) {
    const size_t row = ui_code_find(std::span<const StopReason>(kStopReasons), reason);
    if (row == kStopReasons.size()) return kUserStop;
    if (kStopReasons[row].key != nullptr) return kStopReasons[row].key;
    return err_code < kLocalStopKeys.size() ? kLocalStopKeys[err_code] : kUserStop;
}

} // namespace

UI_ROWS_SCREEN(stopping, kWidgets, 0)

void ui_stopping_set_data(const msg_status_t* msg) {
    LV_LOG_USER("%s", msg->stop_reason != nullptr ? msg->stop_reason : "(none)");
    s_ui_stopping_cur_key = stop_reason_key(msg->stop_reason, msg->local_stop_code);
    ui_stopping_language_changed();
}

void ui_stopping_language_changed(void) {
    ui_widgets_set_texts(kWidgets);
    // Before the first reason the tips label keeps its text.
    if (s_ui_stopping_cur_key != nullptr) ui_label_set_key(ui_stopping_tips_lable, s_ui_stopping_cur_key);
}
