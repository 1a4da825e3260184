#include "ui/ui_swiping_card/ui_swiping_card.h"

#include "ui/ui_common.h"

lv_obj_t* ui_swiping_card;
lv_obj_t* ui_swiping_card_img;
lv_obj_t* ui_swiping_card_explanation_lable;

namespace {

constexpr ui_widget_t kWidgets[] = {
    {&ui_swiping_card_img, UI_IMG, 100, 80, 0, -27, "A:qorv_lvgl/assets/img/misc_icon/swap_card.png"},
    {&ui_swiping_card_explanation_lable, UI_LABEL, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 0, 50,
     "s_swiping_the_card", FONT_SANS_20, LV_TEXT_ALIGN_AUTO, UI_KEY},
};

} // namespace

UI_ROWS_SCREEN(swiping_card, kWidgets, 0)

void ui_swiping_card_set_data(const msg_status_t*) {}

void ui_swiping_card_language_changed(void) {
    ui_widgets_set_texts(kWidgets);
}
