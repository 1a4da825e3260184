#include "ui/ui_idle/ui_idle.h"

#include "ui/ui_common.h"

lv_obj_t* ui_idle;
lv_obj_t* ui_idle_plug_in_img;
lv_obj_t* ui_idle_inform_label;

namespace {

constexpr ui_widget_t kWidgets[] = {
    {&ui_idle_plug_in_img, UI_IMG, 270, 80, 0, -20, "A:qorv_lvgl/assets/img/misc_icon/plug_in.png"},
    {&ui_idle_inform_label, UI_LABEL, 280, LV_SIZE_CONTENT, 0, 50, "s_connect_plug", FONT_SANS_20,
     LV_TEXT_ALIGN_CENTER, UI_KEY},
};

} // namespace

UI_ROWS_SCREEN(idle, kWidgets, 1)

void ui_idle_set_data(const msg_status_t*) {}

void ui_idle_language_changed(void) {
    ui_widgets_set_texts(kWidgets);
}
