#include "ui/ui_reservation/ui_reservation.h"

#include <cinttypes>

#include "ui/ui_common.h"

lv_obj_t* ui_reservation;
lv_obj_t* ui_reservation_img;
lv_obj_t* ui_reservation_explanation_lable;
lv_obj_t* ui_reservation_timer_lable;
lv_obj_t* ui_reservation_unit_lable;

namespace {

// The number ends 4 px right of the centre line and its unit starts 10 px right of it.
constexpr ui_widget_t kWidgets[] = {
    {&ui_reservation_img, UI_IMG, 65, 65, 0, -27, "A:qorv_lvgl/assets/img/misc_icon/gray_clock.png"},
    {&ui_reservation_explanation_lable, UI_LABEL, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 0, 30, "s_rservation",
     FONT_SANS_20, LV_TEXT_ALIGN_AUTO, UI_KEY | UI_RECOLOR},
    {&ui_reservation_timer_lable, UI_LABEL, 58, LV_SIZE_CONTENT, -25, 66, "", FONT_SANS_20,
     LV_TEXT_ALIGN_RIGHT},
    {&ui_reservation_unit_lable, UI_LABEL, 90, LV_SIZE_CONTENT, 55, 66, "s_minutes_left", FONT_SANS_14,
     LV_TEXT_ALIGN_LEFT, UI_KEY},
};

} // namespace

UI_ROWS_SCREEN(reservation, kWidgets, 1)

void ui_reservation_set_data(const msg_status_t* msg) {
    const int64_t now = msg_now();
    // Started minutes in total, whole days included: 0 to 59 s left show 1, and so does an expiry
    // already past. The difference is taken unsigned so that no pair of times can overflow it.
    const uint64_t left = msg->expire_date > now ? uint64_t(msg->expire_date) - uint64_t(now) : 0;
    lv_label_set_text_fmt(ui_reservation_timer_lable, "%" PRIu64, left / 60 + 1);
}

void ui_reservation_language_changed(void) {
    ui_widgets_set_texts(kWidgets);
}
