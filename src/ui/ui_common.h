// Small helpers shared by the screen modules: widget creation with the common styles, and the
// code tables that map texts from the controller to what a screen shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "lvgl.h"

// A screen root: not scrollable, black, opaque.
lv_obj_t* ui_screen_create(void);
// An image of w x h (LV_SIZE_CONTENT allowed) centred at (x, y) from the parent's centre,
// with ADV_HITTEST set and SCROLLABLE cleared.
lv_obj_t* ui_image_create(lv_obj_t* parent, lv_coord_t w, lv_coord_t h, lv_coord_t x, lv_coord_t y);
// A white, opaque label of w x h centred at (x, y) from the parent's centre, with `text`.
lv_obj_t* ui_label_create(lv_obj_t* parent, lv_coord_t w, lv_coord_t h, lv_coord_t x, lv_coord_t y,
                          const char* text);
// Sets the font with the given font id as the label's text font.
void ui_label_set_font(lv_obj_t* label, uint32_t font_id);
// Sets a translated text: lv_i18n_get_text(key).
void ui_label_set_key(lv_obj_t* label, const char* key);

// ASCII case-insensitive comparison of whole strings.
bool ui_text_equal_nocase(std::string_view a, std::string_view b);

// Index of the first row whose `code` equals `text` without regard to ASCII case; `rows.size()`
// when `text` is null or nothing matches.
template <typename Row> size_t ui_code_find(std::span<const Row> rows, const char* text) {
    if (text == nullptr) return rows.size();
    for (size_t i = 0; i < rows.size(); i++) {
        if (ui_text_equal_nocase(rows[i].code, text)) return i;
    }
    return rows.size();
}
