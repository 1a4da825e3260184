/**
 * Local styles of objects and the resolved style values.
 */
#ifndef LV_OBJ_STYLE_H
#define LV_OBJ_STYLE_H

#include <stdbool.h>
#include <stdint.h>

#include "lv_area.h"
#include "lv_obj.h"
#include "lv_color.h"
#include "lv_font.h"
#include "lv_style.h"
#include "lv_txt.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t lv_style_selector_t;

/* Local styles. The selector is part | state; LV_PART_MAIN | LV_STATE_DEFAULT is 0. */
void lv_obj_remove_style_all(lv_obj_t* obj);
void lv_obj_set_style_bg_color(lv_obj_t* obj, lv_color_t value, lv_style_selector_t selector);
void lv_obj_set_style_bg_opa(lv_obj_t* obj, lv_opa_t value, lv_style_selector_t selector);
void lv_obj_set_style_text_color(lv_obj_t* obj, lv_color_t value, lv_style_selector_t selector);
void lv_obj_set_style_text_opa(lv_obj_t* obj, lv_opa_t value, lv_style_selector_t selector);
void lv_obj_set_style_text_font(lv_obj_t* obj, const lv_font_t* value, lv_style_selector_t selector);
void lv_obj_set_style_text_align(lv_obj_t* obj, lv_text_align_t value, lv_style_selector_t selector);
void lv_obj_set_style_text_letter_space(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_text_line_space(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_radius(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_border_width(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_border_color(lv_obj_t* obj, lv_color_t value, lv_style_selector_t selector);
void lv_obj_set_style_border_opa(lv_obj_t* obj, lv_opa_t value, lv_style_selector_t selector);
void lv_obj_set_style_border_side(lv_obj_t* obj, lv_border_side_t value, lv_style_selector_t selector);
void lv_obj_set_style_border_post(lv_obj_t* obj, bool value, lv_style_selector_t selector);
void lv_obj_set_style_outline_width(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_shadow_width(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_pad_left(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_pad_right(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_pad_top(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_pad_bottom(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_pad_row(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_pad_column(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_width(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_height(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_x(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_y(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_align(lv_obj_t* obj, lv_align_t value, lv_style_selector_t selector);
void lv_obj_set_style_opa(lv_obj_t* obj, lv_opa_t value, lv_style_selector_t selector);
void lv_obj_set_style_img_opa(lv_obj_t* obj, lv_opa_t value, lv_style_selector_t selector);
void lv_obj_set_style_anim_speed(lv_obj_t* obj, uint32_t value, lv_style_selector_t selector);
static inline void lv_obj_set_style_pad_all(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector) {
    lv_obj_set_style_pad_left(obj, value, selector);
    lv_obj_set_style_pad_right(obj, value, selector);
    lv_obj_set_style_pad_top(obj, value, selector);
    lv_obj_set_style_pad_bottom(obj, value, selector);
}
static inline void lv_obj_set_style_pad_hor(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector) {
    lv_obj_set_style_pad_left(obj, value, selector);
    lv_obj_set_style_pad_right(obj, value, selector);
}
static inline void lv_obj_set_style_pad_ver(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector) {
    lv_obj_set_style_pad_top(obj, value, selector);
    lv_obj_set_style_pad_bottom(obj, value, selector);
}
static inline void lv_obj_set_style_pad_gap(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector) {
    lv_obj_set_style_pad_row(obj, value, selector);
    lv_obj_set_style_pad_column(obj, value, selector);
}

/* Style getters (resolved value for a part of the object in its current state). */
lv_color_t lv_obj_get_style_bg_color(const lv_obj_t* obj, uint32_t part);
lv_opa_t lv_obj_get_style_bg_opa(const lv_obj_t* obj, uint32_t part);
lv_color_t lv_obj_get_style_text_color(const lv_obj_t* obj, uint32_t part);
const lv_font_t* lv_obj_get_style_text_font(const lv_obj_t* obj, uint32_t part);
lv_text_align_t lv_obj_get_style_text_align(const lv_obj_t* obj, uint32_t part);
lv_coord_t lv_obj_get_style_radius(const lv_obj_t* obj, uint32_t part);
lv_coord_t lv_obj_get_style_border_width(const lv_obj_t* obj, uint32_t part);
lv_color_t lv_obj_get_style_border_color(const lv_obj_t* obj, uint32_t part);
lv_border_side_t lv_obj_get_style_border_side(const lv_obj_t* obj, uint32_t part);
lv_coord_t lv_obj_get_style_pad_left(const lv_obj_t* obj, uint32_t part);
lv_coord_t lv_obj_get_style_pad_right(const lv_obj_t* obj, uint32_t part);
lv_coord_t lv_obj_get_style_pad_top(const lv_obj_t* obj, uint32_t part);
lv_coord_t lv_obj_get_style_pad_bottom(const lv_obj_t* obj, uint32_t part);
lv_coord_t lv_obj_get_style_pad_row(const lv_obj_t* obj, uint32_t part);
lv_coord_t lv_obj_get_style_pad_column(const lv_obj_t* obj, uint32_t part);
lv_opa_t lv_obj_get_style_opa(const lv_obj_t* obj, uint32_t part);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_OBJ_STYLE_H */
