#include "ui/ui_idle/ui_idle.h"

#include "ui/ui_common.h"
#include "ui/ui_statusbar/ui_statusbar.h"

lv_obj_t* ui_idle;
lv_obj_t* ui_idle_plug_in_img;
lv_obj_t* ui_idle_inform_label;

void ui_idle_screen_init(void) {
    ui_idle = ui_screen_create();
    ui_idle_plug_in_img = ui_image_create(ui_idle, 270, 80, 0, -20);
    ui_idle_inform_label = ui_label_create(ui_idle, 280, LV_SIZE_CONTENT, 0, 50, "Connect the charging plug");
    lv_obj_set_style_text_align(ui_idle_inform_label, LV_TEXT_ALIGN_CENTER, LV_PART_MAIN | LV_STATE_DEFAULT);
}

lv_obj_t* ui_idle_init(void) {
    ui_idle_screen_init();
    lv_img_set_src(ui_idle_plug_in_img, "A:qorv_lvgl/assets/img/misc_icon/plug_in.png");
    ui_label_set_font(ui_idle_inform_label, 4);
    ui_label_set_key(ui_idle_inform_label, "s_connect_plug");
    return ui_idle;
}

void ui_idle_onshow(void) {
    ui_statusbar_set_show(1);
}

void ui_idle_onhide(void) {
    ui_statusbar_restore_show();
}

void ui_idle_set_data(const cJSON*) {}

void ui_idle_language_changed(void) {
    ui_label_set_key(ui_idle_inform_label, "s_connect_plug");
}
