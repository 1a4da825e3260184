#include "ui/ui_swipe_normal/ui_swipe_normal.h"

#include <cstring>

#include "i18n/lv_i18n.h"
#include "msg/msg.h"
#include "ui/ui_common.h"
#include "ui/ui_statusbar/ui_statusbar.h"

lv_obj_t* ui_swipe_normal;
lv_obj_t* ui_swipe_normal_image;
lv_obj_t* ui_swipe_normal_station_number;
lv_obj_t* ui_swipe_normal_inform_text;
lv_obj_t* ui_swipe_normal_code;

// The key the inform text shows, looked up again on a language change.
static const char* s_idle_inform_current_key = nullptr;

// The QR code and its white frame share their centre; the frame is 5 px larger.
constexpr lv_coord_t kQrSize = 100;
constexpr lv_coord_t kQrX = 80;
constexpr lv_coord_t kQrY = -25;

static void ui_swipe_normal_set_inform_text(const char* key) {
    s_idle_inform_current_key = key;
    const char* text = lv_i18n_get_text(key);
    lv_label_set_text(ui_swipe_normal_inform_text, text);
    LV_LOG_USER("set the label to key:\"%s\"", key);
    LV_LOG_USER("Got value from key:\"%s\"", text);
}

void ui_swipe_normal_screen_init(void) {
    ui_swipe_normal = ui_screen_create();

    ui_swipe_normal_image = ui_image_create(ui_swipe_normal, 100, 80, -70, -20);

    ui_swipe_normal_station_number =
        ui_label_create(ui_swipe_normal, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 80, 40, "12345");

    ui_swipe_normal_inform_text = ui_label_create(
        ui_swipe_normal, 280, LV_SIZE_CONTENT, 0, 80,
        "TextTextTextTexTextTextTextTexTextTextTextTexTextTextTextTexTextTextTextTexTextTextTextTex");
    lv_label_set_long_mode(ui_swipe_normal_inform_text, LV_LABEL_LONG_WRAP);
    lv_obj_set_content_height(ui_swipe_normal_inform_text, 50);
    lv_obj_set_style_text_align(ui_swipe_normal_inform_text, LV_TEXT_ALIGN_CENTER,
                                LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_set_style_text_font(ui_swipe_normal_inform_text, &lv_font_montserrat_14,
                               LV_PART_MAIN | LV_STATE_DEFAULT);

    // Stands where init puts the QR code.
    ui_swipe_normal_code = ui_image_create(ui_swipe_normal, kQrSize, kQrSize, kQrX, kQrY);
}

lv_obj_t* ui_swipe_normal_init(void) {
    ui_swipe_normal_screen_init();

    lv_obj_t* frame = lv_obj_create(ui_swipe_normal);
    lv_obj_set_size(frame, kQrSize + 5, kQrSize + 5);
    lv_obj_align(frame, LV_ALIGN_CENTER, kQrX, kQrY);
    lv_obj_set_style_radius(frame, 0, LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_set_style_bg_color(frame, lv_color_hex(0xFFFFFF), LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_set_style_bg_opa(frame, 255, LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_clear_flag(frame, LV_OBJ_FLAG_SCROLLABLE);

    lv_img_set_src(ui_swipe_normal_image, "A:qorv_lvgl/assets/img/misc_icon/swap_card.png");

    lv_obj_del(ui_swipe_normal_code);
    ui_swipe_normal_code =
        lv_qrcode_create(ui_swipe_normal, kQrSize, lv_color_hex(0x000000), lv_color_hex(0xFFFFFF));
    lv_obj_set_size(ui_swipe_normal_code, kQrSize, kQrSize);
    lv_obj_align(ui_swipe_normal_code, LV_ALIGN_CENTER, kQrX, kQrY);
    lv_obj_add_flag(ui_swipe_normal_code, LV_OBJ_FLAG_ADV_HITTEST);
    lv_obj_clear_flag(ui_swipe_normal_code, LV_OBJ_FLAG_SCROLLABLE);
    lv_qrcode_update(ui_swipe_normal_code, "ERROR", 5);

    lv_label_set_text_fmt(ui_swipe_normal_station_number, "%s", "0");
    ui_swipe_normal_set_inform_text("s_swipe_normal_default_text");
    ui_label_set_font(ui_swipe_normal_inform_text, 3);
    return ui_swipe_normal;
}

void ui_swipe_normal_onshow(void) {
    ui_statusbar_set_show(1);
}

void ui_swipe_normal_onhide(void) {
    ui_statusbar_restore_show();
}

// An absent or non-text connCode or connQR leaves the label or the QR code as it is.
void ui_swipe_normal_set_data(const cJSON* root) {
    if (root == nullptr) {
        LV_LOG_ERROR("UI IDLE:ERROR JSON WHEN SET DATA");
        return;
    }
    const cJSON* config = msg_item(root, "conns[0].connConfig");
    if (const char* code = msg_text(config, "connCode")) {
        lv_label_set_text_fmt(ui_swipe_normal_station_number, "%s", code);
    }
    if (const char* qr = msg_text(config, "connQR")) {
        lv_qrcode_update(ui_swipe_normal_code, qr, uint32_t(std::strlen(qr)));
    }
}

void ui_swipe_normal_language_changed(void) {
    ui_swipe_normal_set_inform_text(s_idle_inform_current_key);
}
