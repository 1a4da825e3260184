#include "ui/ui_swiping_card/ui_swiping_card.h"

#include "ui/ui_common.h"
#include "ui/ui_statusbar/ui_statusbar.h"

lv_obj_t* ui_swiping_card;
lv_obj_t* ui_swiping_card_img;
lv_obj_t* ui_swiping_card_explanation_lable;

void ui_swiping_card_screen_init(void) {
    ui_swiping_card = ui_screen_create();
    ui_swiping_card_img = ui_image_create(ui_swiping_card, 100, 80, 0, -27);
    ui_swiping_card_explanation_lable =
        ui_label_create(ui_swiping_card, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 0, 50, "Swiping the Card");
}

lv_obj_t* ui_swiping_card_init(void) {
    ui_swiping_card_screen_init();
    lv_img_set_src(ui_swiping_card_img, "A:qorv_lvgl/assets/img/misc_icon/swap_card.png");
    ui_label_set_font(ui_swiping_card_explanation_lable, 4);
    ui_label_set_key(ui_swiping_card_explanation_lable, "s_swiping_the_card");
    return ui_swiping_card;
}

// The card is being read: the status bar stays hidden.
void ui_swiping_card_onshow(void) {
    ui_statusbar_set_show(0);
}

void ui_swiping_card_onhide(void) {
    ui_statusbar_restore_show();
}

void ui_swiping_card_set_data(const cJSON*) {}

void ui_swiping_card_language_changed(void) {
    ui_label_set_key(ui_swiping_card_explanation_lable, "s_swiping_the_card");
}
