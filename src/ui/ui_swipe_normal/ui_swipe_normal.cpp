#include "ui/ui_swipe_normal/ui_swipe_normal.h"

#include <cstring>

#include "i18n/lv_i18n.h"
#include "ui/ui_common.h"
#include "ui/ui_statusbar/ui_statusbar.h"

lv_obj_t* ui_swipe_normal;
lv_obj_t* ui_swipe_normal_image;
lv_obj_t* ui_swipe_normal_station_number;
lv_obj_t* ui_swipe_normal_inform_text;
lv_obj_t* ui_swipe_normal_code;

namespace {

// The key the inform text shows, looked up again on a language change.
const char* s_idle_inform_current_key = nullptr;

// The QR code and its white frame share their centre; the frame is 5 px larger.
constexpr lv_coord_t kQrSize = 100;
constexpr lv_coord_t kQrX = 80;
constexpr lv_coord_t kQrY = -25;

constexpr ui_widget_t kWidgets[] = {
    {&ui_swipe_normal_image, UI_IMG, 100, 80, -70, -20, "A:qorv_lvgl/assets/img/misc_icon/swap_card.png"},
    {&ui_swipe_normal_station_number, UI_LABEL, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 80, 40, "0"},
    {&ui_swipe_normal_inform_text, UI_LABEL, 280, LV_SIZE_CONTENT, 0, 80, nullptr, FONT_SANS_16,
     LV_TEXT_ALIGN_CENTER},
};

void ui_swipe_normal_set_inform_text(const char* key) {
    s_idle_inform_current_key = key;
    const char* text = lv_i18n_get_text(key);
    lv_label_set_text(ui_swipe_normal_inform_text, text);
    LV_LOG_USER("set the label to key:\"%s\"", key);
    LV_LOG_USER("Got value from key:\"%s\"", text);
}

} // namespace

void ui_swipe_normal_screen_init(void) {
    ui_swipe_normal = ui_screen_create();
    ui_widgets_create(ui_swipe_normal, kWidgets);
    lv_obj_set_content_height(ui_swipe_normal_inform_text, 50);

    lv_obj_t* frame = lv_obj_create(ui_swipe_normal);
    lv_obj_set_size(frame, kQrSize + 5, kQrSize + 5);
    lv_obj_align(frame, LV_ALIGN_CENTER, kQrX, kQrY);
    lv_obj_set_style_radius(frame, 0, LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_set_style_bg_color(frame, lv_color_hex(0xFFFFFF), LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_set_style_bg_opa(frame, 255, LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_clear_flag(frame, LV_OBJ_FLAG_SCROLLABLE);

    ui_swipe_normal_code =
        lv_qrcode_create(ui_swipe_normal, kQrSize, lv_color_hex(0x000000), lv_color_hex(0xFFFFFF));
    lv_obj_set_size(ui_swipe_normal_code, kQrSize, kQrSize);
    lv_obj_align(ui_swipe_normal_code, LV_ALIGN_CENTER, kQrX, kQrY);
    lv_obj_add_flag(ui_swipe_normal_code, LV_OBJ_FLAG_ADV_HITTEST);
    lv_obj_clear_flag(ui_swipe_normal_code, LV_OBJ_FLAG_SCROLLABLE);
    // Until the first status message the code encodes the word ERROR.
    lv_qrcode_update(ui_swipe_normal_code, "ERROR", 5);
}

lv_obj_t* ui_swipe_normal_init(void) {
    ui_swipe_normal_screen_init();
    ui_swipe_normal_set_inform_text("s_swipe_normal_default_text");
    return ui_swipe_normal;
}

void ui_swipe_normal_onshow(void) {
    ui_statusbar_set_show(1);
}

void ui_swipe_normal_onhide(void) {
    ui_statusbar_restore_show();
}

// An absent or non-text connCode or connQR leaves the label or the QR code as it is.
void ui_swipe_normal_set_data(const msg_status_t* msg) {
    if (msg->conn_code != nullptr)
        lv_label_set_text_fmt(ui_swipe_normal_station_number, "%s", msg->conn_code);
    if (msg->conn_qr != nullptr)
        lv_qrcode_update(ui_swipe_normal_code, msg->conn_qr, uint32_t(std::strlen(msg->conn_qr)));
}

void ui_swipe_normal_language_changed(void) {
    ui_swipe_normal_set_inform_text(s_idle_inform_current_key);
}
