#include "ui_finishing.h"

#include <cstdio>

#include "ui/ui_common.h"
#include "ui/ui_statusbar/ui_statusbar.h"

lv_obj_t* ui_finishing;
lv_obj_t* ui_finishing_inform_label;
lv_obj_t* ui_finishing_Q_label;
lv_obj_t* ui_finishing_gun_img;
lv_obj_t* ui_finishing_arrow_img;
lv_obj_t* ui_finishing_plug_img;

namespace {

void s_anim_set_x(void* var, int32_t value) {
    lv_obj_set_x(static_cast<lv_obj_t*>(var), static_cast<lv_coord_t>(value));
}

void s_anim_set_y(void* var, int32_t value) {
    lv_obj_set_y(static_cast<lv_obj_t*>(var), static_cast<lv_coord_t>(value));
}

// Starts `tmpl` on `obj` from `from` to `to`; the library keeps its own copy.
void anim_start(lv_anim_t& tmpl, lv_obj_t* obj, int32_t from, int32_t to) {
    lv_anim_set_var(&tmpl, obj);
    lv_anim_set_values(&tmpl, from, to);
    lv_anim_start(&tmpl);
}

constexpr ui_widget_t kWidgets[] = {
    {&ui_finishing_inform_label, UI_LABEL, 280, LV_SIZE_CONTENT, 0, 50, "s_remove_plug", FONT_SANS_20,
     LV_TEXT_ALIGN_CENTER, UI_KEY},
    {&ui_finishing_Q_label, UI_LABEL, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 0, 80, "", FONT_SANS_20},
    {&ui_finishing_gun_img, UI_IMG, LV_SIZE_CONTENT, LV_SIZE_CONTENT, -80, -20,
     "A:qorv_lvgl/assets/img/misc_icon/plug_in_out/gun.png"},
    {&ui_finishing_arrow_img, UI_IMG, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 5, -20,
     "A:qorv_lvgl/assets/img/misc_icon/plug_in_out/left_arrow.png"},
    {&ui_finishing_plug_img, UI_IMG, LV_SIZE_CONTENT, LV_SIZE_CONTENT, 90, -20,
     "A:qorv_lvgl/assets/img/misc_icon/plug_in_out/plug.png"},
};

} // namespace

void ui_finishing_screen_init(void) {
    ui_finishing = ui_screen_create();
    ui_widgets_create(ui_finishing, kWidgets);
    // A text wider than the label scrolls sideways in an endless loop.
    lv_label_set_long_mode(ui_finishing_inform_label, LV_LABEL_LONG_SCROLL_CIRCULAR);
    lv_obj_set_scroll_dir(ui_finishing_inform_label, LV_DIR_LEFT);
}

lv_obj_t* ui_finishing_init(void) {
    ui_finishing_screen_init();
    ui_finishing_language_changed();
    return ui_finishing;
}

void ui_finishing_onshow(void) {
    ui_statusbar_set_show(1);

    // The texts drop 20 px at once and settle back into place.
    lv_anim_t slide_in;
    lv_anim_init(&slide_in);
    lv_anim_set_exec_cb(&slide_in, s_anim_set_y);
    lv_anim_set_path_cb(&slide_in, lv_anim_path_ease_in);
    lv_anim_set_time(&slide_in, 300);
    lv_anim_set_delay(&slide_in, 100);

    // The gun and the arrow point left, five times.
    lv_anim_t nudge;
    lv_anim_init(&nudge);
    lv_anim_set_exec_cb(&nudge, s_anim_set_x);
    lv_anim_set_path_cb(&nudge, lv_anim_path_ease_in_out);
    lv_anim_set_time(&nudge, 800);
    lv_anim_set_delay(&nudge, 800);
    lv_anim_set_playback_delay(&nudge, 500);
    lv_anim_set_playback_time(&nudge, 200);
    lv_anim_set_repeat_delay(&nudge, 500);
    lv_anim_set_repeat_count(&nudge, 5);

    // From wherever the widgets are now: an earlier run may still be moving them.
    const lv_coord_t inform_y = lv_obj_get_y_aligned(ui_finishing_inform_label);
    anim_start(slide_in, ui_finishing_inform_label, inform_y - 20, inform_y);
    const lv_coord_t q_y = lv_obj_get_y_aligned(ui_finishing_Q_label);
    anim_start(slide_in, ui_finishing_Q_label, q_y - 20, q_y);
    const lv_coord_t gun_x = lv_obj_get_x_aligned(ui_finishing_gun_img);
    anim_start(nudge, ui_finishing_gun_img, gun_x, gun_x - 20);
    const lv_coord_t arrow_x = lv_obj_get_x_aligned(ui_finishing_arrow_img);
    anim_start(nudge, ui_finishing_arrow_img, arrow_x, arrow_x - 20);
}

void ui_finishing_onhide(void) {
    // The animations run to their end on the hidden widgets.
    ui_statusbar_restore_show();
}

void ui_finishing_set_data(const msg_status_t* msg) {
    char buf[31] = {};
    snprintf(buf, sizeof buf, "%.2lf kWh", msg->actual_meter * 0.001);
    lv_label_set_text(ui_finishing_Q_label, buf);
}

void ui_finishing_language_changed(void) {
    ui_widgets_set_texts(kWidgets);
}
