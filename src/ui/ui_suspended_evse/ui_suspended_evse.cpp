#include "ui/ui_suspended_evse/ui_suspended_evse.h"

#include "ui/ui_common.h"
#include "ui/ui_statusbar/ui_statusbar.h"

lv_obj_t* ui_suspended_evse;
lv_obj_t* ui_suspended_evse_img;
lv_obj_t* ui_suspended_evse_explanation_lable;

void ui_suspended_evse_screen_init(void) {
    ui_suspended_evse = ui_screen_create();
    ui_suspended_evse_img = ui_image_create(ui_suspended_evse, 110, 120, -95, -10);
    ui_suspended_evse_explanation_lable =
        ui_label_create(ui_suspended_evse, 200, LV_SIZE_CONTENT, 10, 20, "Suspended by EVSE");
    lv_label_set_recolor(ui_suspended_evse_explanation_lable, true);
    lv_obj_set_style_text_align(ui_suspended_evse_explanation_lable, LV_TEXT_ALIGN_LEFT,
                                LV_PART_MAIN | LV_STATE_DEFAULT);
}

lv_obj_t* ui_suspended_evse_init(void) {
    ui_suspended_evse_screen_init();
    lv_obj_set_x(ui_suspended_evse_explanation_lable, 10);
    lv_img_set_src(ui_suspended_evse_img, "A:qorv_lvgl/assets/img/misc_icon/fast_charge_suspend.png");
    ui_label_set_font(ui_suspended_evse_explanation_lable, 4);
    return ui_suspended_evse;
}

void ui_suspended_evse_onshow(void) {
    ui_statusbar_set_show(1);
}

void ui_suspended_evse_onhide(void) {
    ui_statusbar_restore_show();
}

// The text is the same whatever the message holds.
void ui_suspended_evse_set_data(const cJSON*) {
    ui_label_set_key(ui_suspended_evse_explanation_lable, "s_suspended_by_evse");
}

void ui_suspended_evse_language_changed(void) {
    ui_label_set_key(ui_suspended_evse_explanation_lable, "s_suspended_by_evse");
}
