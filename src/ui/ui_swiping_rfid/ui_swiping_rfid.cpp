#include "ui/ui_swiping_rfid/ui_swiping_rfid.h"

#include "ui/ui_common.h"
#include "ui/ui_statusbar/ui_statusbar.h"

lv_obj_t* ui_swiping_rfid;
lv_obj_t* ui_swiping_rfid_img;
lv_obj_t* ui_swiping_rfid_explanation_lable;

void ui_swiping_rfid_screen_init(void) {
    ui_swiping_rfid = ui_screen_create();
    ui_swiping_rfid_img = ui_image_create(ui_swiping_rfid, 100, 80, 0, -27);
    ui_swiping_rfid_explanation_lable = ui_label_create(ui_swiping_rfid, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 0,
                                                        51, "Swipe RFID to start charging");
}

lv_obj_t* ui_swiping_rfid_init(void) {
    ui_swiping_rfid_screen_init();
    lv_img_set_src(ui_swiping_rfid_img, "A:qorv_lvgl/assets/img/misc_icon/swap_card.png");
    ui_label_set_font(ui_swiping_rfid_explanation_lable, 4);
    ui_label_set_key(ui_swiping_rfid_explanation_lable, "s_swiping_the_RFID");
    return ui_swiping_rfid;
}

void ui_swiping_rfid_onshow(void) {
    ui_statusbar_set_show(1);
}

void ui_swiping_rfid_onhide(void) {
    ui_statusbar_restore_show();
}

void ui_swiping_rfid_set_data(const cJSON*) {}

void ui_swiping_rfid_language_changed(void) {
    ui_label_set_key(ui_swiping_rfid_explanation_lable, "s_swiping_the_RFID");
}
