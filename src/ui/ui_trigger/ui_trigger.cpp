#include "ui_trigger.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "i18n/lv_i18n.h"
#include "msg/msg.h"
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
    std::string_view code;
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
constexpr std::array<const char*, 7> PROMPT_IMG_PATH = {
    nullptr,
    "A:qorv_lvgl/assets/img/misc_icon/red_fill_X.png",
    "A:qorv_lvgl/assets/img/misc_icon/red_fill_exclaim.png",
    "A:qorv_lvgl/assets/img/misc_icon/red_X.png",
    "A:qorv_lvgl/assets/img/misc_icon/green_hook.png",
    "A:qorv_lvgl/assets/img/misc_icon/gray_stop.png",
    nullptr,
};
constexpr std::array<const char*, 7> PROMPT_INFORM = {
    "",
    "s_fail_to_start_charging",
    "s_fault_found_stop_charging",
    "s_not_permit",
    "s_rfid_card_activated",
    "s_rfid_card_deactivated",
    "ERROR",
};

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

// A null path leaves the picture out.
void set_picture(const char* path) {
    if (path == nullptr) {
        lv_obj_add_flag(ui_trigger_img, LV_OBJ_FLAG_HIDDEN);
        return;
    }
    lv_obj_clear_flag(ui_trigger_img, LV_OBJ_FLAG_HIDDEN);
    lv_img_set_src(ui_trigger_img, path);
}

// The overlay's text lines: the inform text as given, the reason line from a key (null: empty).
void set_texts(const char* inform, const char* reason_key) {
    lv_label_set_text(ui_trigger_inform_label, inform);
    lv_label_set_text(ui_trigger_reason_label, reason_key != nullptr ? lv_i18n_get_text(reason_key) : "");
}

void show_progress(const char* picture, const char* inform_key, uint8_t percent) {
    set_picture(picture);
    set_texts(lv_i18n_get_text(inform_key), nullptr);
    lv_obj_clear_flag(ui_trigger_process_label, LV_OBJ_FLAG_HIDDEN);
    lv_label_set_text_fmt(ui_trigger_process_label, "%d%%", int(percent));
}

void show_prompt(uint8_t index) {
    const bool known = index < PROMPT_INFORM.size();
    set_picture(known ? PROMPT_IMG_PATH[index] : nullptr);
    set_texts(known ? lv_i18n_get_text(PROMPT_INFORM[index]) : "", nullptr);
    lv_obj_add_flag(ui_trigger_process_label, LV_OBJ_FLAG_HIDDEN);
}

void show_auth(uint8_t index) {
    set_picture(kAuthImg);
    set_texts(lv_i18n_get_text("s_invalid_auth"), index < AUTH_REASON.size() ? AUTH_REASON[index] : nullptr);
    lv_obj_add_flag(ui_trigger_process_label, LV_OBJ_FLAG_HIDDEN);
}

// Any other index keeps the colour the panel has.
void show_test(uint8_t index) {
    if (index >= TEST_COLOR.size()) return;
    lv_obj_set_style_bg_color(ui_trigger_panel, lv_color_hex(TEST_COLOR[index]),
                              LV_PART_MAIN | LV_STATE_DEFAULT);
}

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

    // The labels keep their default text (null) until a message writes them.
    ui_trigger_img = ui_image_create(ui_trigger_panel, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 0, -20);
    ui_trigger_inform_label =
        ui_label_create(ui_trigger_panel, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 0, 30, nullptr);
    ui_label_set_font(ui_trigger_inform_label, 4);
    ui_trigger_reason_label = ui_label_create(ui_trigger_panel, 310, 25, 0, 70, nullptr);
    lv_obj_set_style_text_align(ui_trigger_reason_label, LV_TEXT_ALIGN_CENTER,
                                LV_PART_MAIN | LV_STATE_DEFAULT);
    ui_trigger_process_label = ui_label_create(ui_trigger_panel, 60, 20, 130, 100, nullptr);
    ui_label_set_font(ui_trigger_process_label, 1);
    lv_obj_set_style_text_align(ui_trigger_process_label, LV_TEXT_ALIGN_LEFT,
                                LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_set_style_bg_color(ui_trigger_process_label, lv_color_hex(0x000000),
                              LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_set_style_bg_opa(ui_trigger_process_label, 255, LV_PART_MAIN | LV_STATE_DEFAULT);

    lv_obj_add_flag(ui_trigger_panel, LV_OBJ_FLAG_HIDDEN);
    s_trigger_timer = lv_timer_create(trigger_timer, 1000, nullptr);
    lv_timer_pause(s_trigger_timer);
    return ui_trigger_panel;
}

void ui_trigger_set_data(const cJSON* root) {
    // A Trigger that is not a text is logged as empty and matches no command.
    const char* trigger = msg_text(root, "Trigger");
    const char* logged = trigger != nullptr ? trigger : "";
    LV_LOG_USER("TRIGGER %s", logged);

    // An absent count leaves a running count-down alone; 0 lets the next tick hide the overlay.
    if (msg_item(root, "seconds") != nullptr) {
        s_trigger_time_counter = msg_u16(root, "seconds");
        if (s_trigger_time_counter != 0) {
            LV_LOG_USER("Set trigger timer and start it");
            lv_timer_resume(s_trigger_timer);
        }
    }

    const size_t row = ui_code_find<TriggerCommand>(kCommands, trigger);
    if (row == kCommands.size()) {
        LV_LOG_ERROR("ERROR TRIGGER: unknown command:%s", logged);
        lv_obj_add_flag(ui_trigger_panel, LV_OBJ_FLAG_HIDDEN);
        return;
    }
    s_trigger_cur_state = kCommands[row].state;
    const uint8_t index = msg_u8(root, "Msg");
    switch (s_trigger_cur_state) {
    case TRIGGER_DOWNLOADING:
        show_progress(kDownloadImg, "s_downloading", msg_u8(root, "percent"));
        break;
    case TRIGGER_INSTALLING:
        show_progress(kInstallImg, "s_auto_upgrade", msg_u8(root, "percent"));
        break;
    case TRIGGER_PROMPT:
        show_prompt(index);
        break;
    case TRIGGER_AUTH:
        show_auth(index);
        break;
    case TRIGGER_TEST:
        show_test(index);
        break;
    }
    lv_obj_clear_flag(ui_trigger_panel, LV_OBJ_FLAG_HIDDEN);
}
