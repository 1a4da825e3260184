#include "ui/ui_swiping_rfid/ui_swiping_rfid.h"

#include "ui/ui_common.h"

lv_obj_t* ui_swiping_rfid;
lv_obj_t* ui_swiping_rfid_img;
lv_obj_t* ui_swiping_rfid_explanation_lable;

namespace {

constexpr ui_widget_t kWidgets[] = {
    {&ui_swiping_rfid_img, UI_IMG, 100, 80, 0, -27, "A:qorv_lvgl/assets/img/misc_icon/swap_card.png"},
    {&ui_swiping_rfid_explanation_lable, UI_LABEL, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 0, 51,
     "s_swiping_the_RFID", FONT_SANS_20, LV_TEXT_ALIGN_AUTO, UI_KEY},
};

} // namespace

UI_ROWS_SCREEN(swiping_rfid, kWidgets, 1)

void ui_swiping_rfid_set_data(const msg_status_t*) {}

void ui_swiping_rfid_language_changed(void) {
    ui_widgets_set_texts(kWidgets);
}
