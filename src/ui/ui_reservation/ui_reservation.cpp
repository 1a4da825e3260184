#include "ui/ui_reservation/ui_reservation.h"

#include <cinttypes>

#include "i18n/lv_i18n.h"
#include "msg/msg.h"
#include "ui/ui_common.h"
#include "ui/ui_statusbar/ui_statusbar.h"

lv_obj_t* ui_reservation;
lv_obj_t* ui_reservation_img;
lv_obj_t* ui_reservation_explanation_lable;
lv_obj_t* ui_reservation_timer_lable;
lv_obj_t* ui_reservation_unit_lable;

void ui_reservation_screen_init(void) {
    ui_reservation = ui_screen_create();

    ui_reservation_img = ui_image_create(ui_reservation, 65, 65, 0, -27);

    ui_reservation_explanation_lable =
        ui_label_create(ui_reservation, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 0, 30, "Reservation");
    lv_label_set_recolor(ui_reservation_explanation_lable, true);
    lv_obj_set_style_text_font(ui_reservation_explanation_lable, &lv_font_montserrat_14,
                               LV_PART_MAIN | LV_STATE_DEFAULT);

    // The number ends 4 px right of the centre line and its unit starts 10 px right of it.
    ui_reservation_timer_lable = ui_label_create(ui_reservation, 58, LV_SIZE_CONTENT, -25, 66, "");
    lv_obj_set_style_text_align(ui_reservation_timer_lable, LV_TEXT_ALIGN_RIGHT,
                                LV_PART_MAIN | LV_STATE_DEFAULT);

    ui_reservation_unit_lable = ui_label_create(ui_reservation, 90, LV_SIZE_CONTENT, 55, 66, "minutes left");
    lv_obj_set_style_text_align(ui_reservation_unit_lable, LV_TEXT_ALIGN_LEFT,
                                LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_set_style_text_font(ui_reservation_unit_lable, &lv_font_montserrat_14,
                               LV_PART_MAIN | LV_STATE_DEFAULT);
}

lv_obj_t* ui_reservation_init(void) {
    ui_reservation_screen_init();
    lv_img_set_src(ui_reservation_img, "A:qorv_lvgl/assets/img/misc_icon/gray_clock.png");
    ui_label_set_font(ui_reservation_explanation_lable, 4);
    ui_label_set_font(ui_reservation_timer_lable, 4);
    ui_label_set_font(ui_reservation_unit_lable, 1);
    ui_reservation_language_changed();
    return ui_reservation;
}

void ui_reservation_onshow(void) {
    ui_statusbar_set_show(1);
}

void ui_reservation_onhide(void) {
    ui_statusbar_restore_show();
}

void ui_reservation_set_data(const cJSON* root) {
    const int64_t expiry = msg_time(root, "conns[0].reserveConnInfo.expireDate");
    const int64_t now = msg_now();
    // Started minutes in total, whole days included: 0 to 59 s left show 1, and so does an expiry
    // already past. The difference is taken unsigned so that no pair of times can overflow it.
    const uint64_t left = expiry > now ? uint64_t(expiry) - uint64_t(now) : 0;
    lv_label_set_text_fmt(ui_reservation_timer_lable, "%" PRIu64, left / 60 + 1);
}

void ui_reservation_language_changed(void) {
    ui_label_set_key(ui_reservation_explanation_lable, "s_rservation");
    ui_label_set_key(ui_reservation_unit_lable, "s_minutes_left");
}
