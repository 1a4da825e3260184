#include "ui_common.h"

#include "i18n/lv_i18n.h"

namespace {

constexpr lv_style_selector_t kMain = LV_PART_MAIN | LV_STATE_DEFAULT;

lv_obj_t* create(const ui_widget_t& row, lv_obj_t* parent) {
    switch (row.kind) {
    case UI_IMG: {
        lv_obj_t* img = lv_img_create(parent);
        if (row.content != nullptr) lv_img_set_src(img, row.content);
        return img;
    }
    case UI_GIF: {
        lv_obj_t* gif = lv_gif_create(parent);
        lv_gif_set_src(gif, row.content);
        return gif;
    }
    case UI_LABEL:
        break;
    }
    lv_obj_t* label = lv_label_create(parent);
    if (row.content != nullptr && !(row.flags & UI_KEY)) lv_label_set_text(label, row.content);
    lv_obj_set_style_text_color(label, lv_color_hex(0xFFFFFF), kMain);
    lv_obj_set_style_text_opa(label, 255, kMain);
    // A font that cannot be loaded leaves the theme's built-in one: a label without a font shows
    // nothing here, and LVGL 8.3 crashes on it.
    const lv_font_t* font = row.font != UI_FONT_THEME ? font_loader_get_font(uint32_t(row.font)) : nullptr;
    if (font != nullptr) lv_obj_set_style_text_font(label, font, kMain);
    if (row.align != LV_TEXT_ALIGN_AUTO) lv_obj_set_style_text_align(label, row.align, kMain);
    if (row.flags & UI_RECOLOR) lv_label_set_recolor(label, true);
    return label;
}

} // namespace

lv_obj_t* ui_screen_create(void) {
    lv_obj_t* scr = lv_obj_create(nullptr);
    lv_obj_clear_flag(scr, LV_OBJ_FLAG_SCROLLABLE);
    lv_obj_set_style_bg_color(scr, lv_color_hex(0x000000), kMain);
    lv_obj_set_style_bg_opa(scr, 255, kMain);
    return scr;
}

void ui_widgets_create(lv_obj_t* root, std::span<const ui_widget_t> rows) {
    for (const ui_widget_t& row : rows) {
        lv_obj_t* obj = create(row, row.parent != nullptr ? *row.parent : root);
        lv_obj_set_size(obj, row.w, row.h);
        lv_obj_align(obj, row.anchor, row.x, row.y);
        if (row.kind != UI_LABEL) {
            lv_obj_add_flag(obj, LV_OBJ_FLAG_ADV_HITTEST);
            lv_obj_clear_flag(obj, LV_OBJ_FLAG_SCROLLABLE);
        }
        if (row.flags & UI_HIDDEN) lv_obj_add_flag(obj, LV_OBJ_FLAG_HIDDEN);
        *row.obj = obj;
    }
}

void ui_widgets_set_texts(std::span<const ui_widget_t> rows) {
    for (const ui_widget_t& row : rows)
        if (row.flags & UI_KEY) ui_label_set_key(*row.obj, row.content);
}

void ui_label_set_key(lv_obj_t* label, const char* key) {
    lv_label_set_text(label, lv_i18n_get_text(key));
}

void ui_obj_set_hidden(lv_obj_t* obj, bool hidden) {
    if (hidden)
        lv_obj_add_flag(obj, LV_OBJ_FLAG_HIDDEN);
    else
        lv_obj_clear_flag(obj, LV_OBJ_FLAG_HIDDEN);
}
