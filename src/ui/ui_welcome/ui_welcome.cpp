#include "ui/ui_welcome/ui_welcome.h"

#include "ui/ui_common.h"
#include "ui/ui_statusbar/ui_statusbar.h"

lv_obj_t* ui_welcome;
lv_obj_t* ui_welcome_img;
lv_obj_t* ui_welcome_loading_label;

namespace {

// The figure is not tied to any work: it only shows that the display is alive.
constexpr uint32_t kStepPeriodMs = 500;
constexpr uint8_t kLastCount = 99;

uint8_t s_welcome_fake_process_count = 0;
lv_timer_t* s_welcome_fake_process_timer = nullptr;

// The figure sits near the picture's lower right corner, clipped to the picture.
constexpr ui_widget_t kWidgets[] = {
    {&ui_welcome_img, UI_IMG, 320, 240, 0, 0, "A:qorv_lvgl/assets/img/misc_icon/welcome.png"},
    {&ui_welcome_loading_label, UI_LABEL, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 130, 100, "", FONT_SANS_14,
     LV_TEXT_ALIGN_AUTO, 0, &ui_welcome_img},
};

} // namespace

void ui_welcome_screen_init(void) {
    ui_welcome = ui_screen_create();
    ui_widgets_create(ui_welcome, kWidgets);
}

lv_obj_t* ui_welcome_init(void) {
    ui_welcome_screen_init();
    s_welcome_fake_process_timer = lv_timer_create(welcome_fake_process, kStepPeriodMs, nullptr);
    return ui_welcome;
}

void ui_welcome_onshow(void) {
    ui_statusbar_set_show(0);
    s_welcome_fake_process_count = 0;
    // A resumed timer keeps the time of its last run, so after a long pause the first step comes at once.
    lv_timer_resume(s_welcome_fake_process_timer);
}

void ui_welcome_onhide(void) {
    ui_statusbar_restore_show();
    lv_label_set_text(ui_welcome_loading_label, "");
    lv_timer_pause(s_welcome_fake_process_timer);
}

void ui_welcome_set_data(const msg_status_t*) {}

void ui_welcome_language_changed(void) {}

void welcome_fake_process(lv_timer_t*) {
    if (s_welcome_fake_process_count >= kLastCount) return;
    s_welcome_fake_process_count++;
    lv_label_set_text_fmt(ui_welcome_loading_label, "%d%%", s_welcome_fake_process_count);
}
