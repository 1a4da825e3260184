#include "ui_trigger.h"

#include <array>
#include <cstdint>

#include "i18n/lv_i18n.h"
#include "ui/ui_common.h"

lv_obj_t* ui_trigger_panel;
lv_obj_t* ui_trigger_img;
lv_obj_t* ui_trigger_inform_label;
lv_obj_t* ui_trigger_reason_label;
lv_obj_t* ui_trigger_process_label;

namespace {

// The commands, as kept in s_trigger_cur_state.
enum : uint8_t {
    TRIGGER_DOWNLOADING = 1,
    TRIGGER_INSTALLING = 2,
    TRIGGER_PROMPT = 4,
    TRIGGER_AUTH = 5,
    TRIGGER_TEST = 6,
    TRIGGER_NONE = 7, // no trigger message accepted yet
};

struct TriggerCommand {
    const char* code;
    uint8_t state;
};

// Tried in this order; the first match wins.
constexpr std::array<TriggerCommand, 5> kCommands = {{
    {"Downloading", TRIGGER_DOWNLOADING},
    {"Installing", TRIGGER_INSTALLING},
    {"Auth", TRIGGER_AUTH},
    {"Prompt", TRIGGER_PROMPT},
    {"Test", TRIGGER_TEST},
}};

// Prompt pictures and texts by Msg; null means no picture. The inform texts go through the
// translations, so "ERROR" (no key) and "" come back unchanged.
struct Prompt {
    const char* img_path;
    const char* inform;
};
constexpr std::array<Prompt, 7> PROMPTS = {{
    {nullptr, ""},
    {"A:qorv_lvgl/assets/img/misc_icon/red_fill_X.png", "s_fail_to_start_charging"},
    {"A:qorv_lvgl/assets/img/misc_icon/red_fill_exclaim.png", "s_fault_found_stop_charging"},
    {"A:qorv_lvgl/assets/img/misc_icon/red_X.png", "s_not_permit"},
    {"A:qorv_lvgl/assets/img/misc_icon/green_hook.png", "s_rfid_card_activated"},
    {"A:qorv_lvgl/assets/img/misc_icon/gray_stop.png", "s_rfid_card_deactivated"},
    {nullptr, "ERROR"},
}};

// Reasons of a failed authorisation by Msg.
constexpr std::array<const char*, 5> AUTH_REASON = {
    "s_id_other", "s_id_block", "s_id_expired", "s_id_unknown", "s_id_reuse",
};

// Panel colours of the colour test by Msg: red, green, blue.
constexpr std::array<uint32_t, 3> TEST_COLOR = {0xFF0000, 0x00FF00, 0x0000FF};

constexpr const char* kDownloadImg = "A:qorv_lvgl/assets/img/misc_icon/gray_download.png";
constexpr const char* kInstallImg = "A:qorv_lvgl/assets/img/misc_icon/gray_auto_upgrade.png";
constexpr const char* kAuthImg = "A:qorv_lvgl/assets/img/misc_icon/validate_fail.png";

lv_timer_t* s_trigger_timer;
uint16_t s_trigger_time_counter = 0;
uint8_t s_trigger_cur_state = TRIGGER_NONE;

// One tick a second while counting down: the tick that finds the count used up hides the overlay.
void trigger_timer(lv_timer_t* timer) {
    (void)timer;
    if (s_trigger_time_counter == 0) {
        lv_timer_pause(s_trigger_timer);
        lv_obj_add_flag(ui_trigger_panel, LV_OBJ_FLAG_HIDDEN);
        return;
    }
    s_trigger_time_counter--;
}

// The overlay's content: a picture (null: none), the inform text, the reason line from a translation
// key (null: empty) and the progress figure (negative: hidden).
void show(const char* picture, const char* inform, const char* reason_key, int percent) {
    ui_obj_set_hidden(ui_trigger_img, picture == nullptr);
    if (picture != nullptr) lv_img_set_src(ui_trigger_img, picture);
    lv_label_set_text(ui_trigger_inform_label, inform);
    lv_label_set_text(ui_trigger_reason_label, reason_key != nullptr ? lv_i18n_get_text(reason_key) : "");
    ui_obj_set_hidden(ui_trigger_process_label, percent < 0);
    if (percent >= 0) lv_label_set_text_fmt(ui_trigger_process_label, "%d%%", percent);
}

// The labels keep the runtime's default text until a message writes them.
constexpr ui_widget_t kWidgets[] = {
    {&ui_trigger_img, UI_IMG, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 0, -20},
    {&ui_trigger_inform_label, UI_LABEL, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 0, 30, nullptr, FONT_SANS_20},
    {&ui_trigger_reason_label, UI_LABEL, 310, 25, 0, 70, nullptr, UI_FONT_THEME, LV_TEXT_ALIGN_CENTER},
    {&ui_trigger_process_label, UI_LABEL, 60, 20, 130, 100, nullptr, FONT_SANS_14, LV_TEXT_ALIGN_LEFT},
};

} // namespace

lv_obj_t* ui_trigger_init(void) {
    lv_disp_t* disp = lv_disp_get_default();
    ui_trigger_panel = lv_obj_create(lv_disp_get_layer_top(disp));
    lv_obj_set_size(ui_trigger_panel, lv_disp_get_hor_res(disp), lv_disp_get_ver_res(disp));
    lv_obj_align(ui_trigger_panel, LV_ALIGN_CENTER, 0, 0);
    lv_obj_clear_flag(ui_trigger_panel, LV_OBJ_FLAG_SCROLLABLE);
    lv_obj_set_style_bg_color(ui_trigger_panel, lv_color_hex(0x000000), LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_set_style_bg_opa(ui_trigger_panel, 255, LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_set_style_border_side(ui_trigger_panel, LV_BORDER_SIDE_NONE, LV_PART_MAIN | LV_STATE_DEFAULT);
    ui_widgets_create(ui_trigger_panel, kWidgets);
    lv_obj_set_style_bg_color(ui_trigger_process_label, lv_color_hex(0x000000),
                              LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_set_style_bg_opa(ui_trigger_process_label, 255, LV_PART_MAIN | LV_STATE_DEFAULT);

    lv_obj_add_flag(ui_trigger_panel, LV_OBJ_FLAG_HIDDEN);
    s_trigger_timer = lv_timer_create(trigger_timer, 1000, nullptr);
    lv_timer_pause(s_trigger_timer);
    return ui_trigger_panel;
}

void ui_trigger_set_data(const msg_trigger_t* msg) {
    // A Trigger that is not a text is logged as empty and matches no command.
    const char* logged = msg->command != nullptr ? msg->command : "";
    LV_LOG_USER("TRIGGER %s", logged);

    // An absent count leaves a running count-down alone; 0 lets the next tick hide the overlay.
    if (msg->has_seconds) {
        s_trigger_time_counter = msg->seconds;
        if (s_trigger_time_counter != 0) {
            LV_LOG_USER("Set trigger timer and start it");
            lv_timer_resume(s_trigger_timer);
        }
    }

    const size_t row = ui_code_find<TriggerCommand>(kCommands, msg->command);
    if (row == kCommands.size()) {
        LV_LOG_ERROR("ERROR TRIGGER: unknown command:%s", logged);
        lv_obj_add_flag(ui_trigger_panel, LV_OBJ_FLAG_HIDDEN);
        return;
    }
    s_trigger_cur_state = kCommands[row].state;
    const uint8_t index = msg->index;
    switch (s_trigger_cur_state) {
    case TRIGGER_DOWNLOADING:
        show(kDownloadImg, lv_i18n_get_text("s_downloading"), nullptr, msg->percent);
        break;
    case TRIGGER_INSTALLING:
        show(kInstallImg, lv_i18n_get_text("s_auto_upgrade"), nullptr, msg->percent);
        break;
    case TRIGGER_PROMPT: {
        const Prompt prompt = index < PROMPTS.size() ? PROMPTS[index] : Prompt{nullptr, ""};
        show(prompt.img_path, lv_i18n_get_text(prompt.inform), nullptr, -1);
        break;
    }
    case TRIGGER_AUTH:
        show(kAuthImg, lv_i18n_get_text("s_invalid_auth"),
             index < AUTH_REASON.size() ? AUTH_REASON[index] : nullptr, -1);
        break;
    case TRIGGER_TEST: // any other index keeps the colour the panel has
        if (index < TEST_COLOR.size())
            lv_obj_set_style_bg_color(ui_trigger_panel, lv_color_hex(TEST_COLOR[index]),
                                      LV_PART_MAIN | LV_STATE_DEFAULT);
        break;
    }
    lv_obj_clear_flag(ui_trigger_panel, LV_OBJ_FLAG_HIDDEN);
}
