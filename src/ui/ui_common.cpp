#include "ui_common.h"

#include "i18n/lv_i18n.h"
#include "ui/font_loader/font_loader.h"

lv_obj_t* ui_screen_create(void) {
    lv_obj_t* scr = lv_obj_create(nullptr);
    lv_obj_clear_flag(scr, LV_OBJ_FLAG_SCROLLABLE);
    lv_obj_set_style_bg_color(scr, lv_color_hex(0x000000), LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_set_style_bg_opa(scr, 255, LV_PART_MAIN | LV_STATE_DEFAULT);
    return scr;
}

lv_obj_t* ui_image_create(lv_obj_t* parent, lv_coord_t w, lv_coord_t h, lv_coord_t x, lv_coord_t y) {
    lv_obj_t* img = lv_img_create(parent);
    lv_obj_set_size(img, w, h);
    lv_obj_align(img, LV_ALIGN_CENTER, x, y);
    lv_obj_add_flag(img, LV_OBJ_FLAG_ADV_HITTEST);
    lv_obj_clear_flag(img, LV_OBJ_FLAG_SCROLLABLE);
    return img;
}

lv_obj_t* ui_label_create(lv_obj_t* parent, lv_coord_t w, lv_coord_t h, lv_coord_t x, lv_coord_t y,
                          const char* text) {
    lv_obj_t* label = lv_label_create(parent);
    lv_obj_set_size(label, w, h);
    lv_obj_align(label, LV_ALIGN_CENTER, x, y);
    lv_label_set_text(label, text);
    lv_obj_set_style_text_color(label, lv_color_hex(0xFFFFFF), LV_PART_MAIN | LV_STATE_DEFAULT);
    lv_obj_set_style_text_opa(label, 255, LV_PART_MAIN | LV_STATE_DEFAULT);
    return label;
}

void ui_label_set_font(lv_obj_t* label, uint32_t font_id) {
    lv_obj_set_style_text_font(label, font_loader_get_font(font_id), LV_PART_MAIN | LV_STATE_DEFAULT);
}

void ui_label_set_key(lv_obj_t* label, const char* key) {
    lv_label_set_text(label, lv_i18n_get_text(key));
}

bool ui_text_equal_nocase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); i++) {
        auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : char(c); };
        if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}
