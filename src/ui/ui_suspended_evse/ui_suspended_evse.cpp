#include "ui/ui_suspended_evse/ui_suspended_evse.h"

#include "ui/ui_common.h"

lv_obj_t* ui_suspended_evse;
lv_obj_t* ui_suspended_evse_img;
lv_obj_t* ui_suspended_evse_explanation_lable;

namespace {

constexpr ui_widget_t kWidgets[] = {
    {&ui_suspended_evse_img, UI_IMG, 110, 120, -95, -10,
     "A:qorv_lvgl/assets/img/misc_icon/fast_charge_suspend.png"},
    {&ui_suspended_evse_explanation_lable, UI_LABEL, 200, LV_SIZE_CONTENT, 10, 20, "s_suspended_by_evse",
     FONT_SANS_20, LV_TEXT_ALIGN_LEFT, UI_KEY | UI_RECOLOR},
};

} // namespace

UI_ROWS_SCREEN(suspended_evse, kWidgets, 1)

// The text is written again for every status message; the message itself is not read.
void ui_suspended_evse_set_data(const msg_status_t*) {
    ui_suspended_evse_language_changed();
}

void ui_suspended_evse_language_changed(void) {
    ui_widgets_set_texts(kWidgets);
}
