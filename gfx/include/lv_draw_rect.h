/**
 * Drawing rectangles: background, border and outline.
 */
#ifndef LV_DRAW_RECT_H
#define LV_DRAW_RECT_H

#include "lv_conf.h"
#include "lv_area.h"
#include "lv_color.h"
#include "lv_style.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LV_RADIUS_CIRCLE 0x7FFF

struct _lv_draw_ctx_t;

typedef struct {
    lv_coord_t radius;
    lv_blend_mode_t blend_mode;
    lv_color_t bg_color;
    lv_opa_t bg_opa;
    lv_color_t border_color;
    lv_coord_t border_width;
    lv_opa_t border_opa;
    uint8_t border_post : 1;
    lv_border_side_t border_side : 5;
    lv_color_t outline_color;
    lv_coord_t outline_width;
    lv_coord_t outline_pad;
    lv_opa_t outline_opa;
} lv_draw_rect_dsc_t;

void lv_draw_rect_dsc_init(lv_draw_rect_dsc_t* dsc);
void lv_draw_rect(struct _lv_draw_ctx_t* draw_ctx, const lv_draw_rect_dsc_t* dsc, const lv_area_t* coords);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_DRAW_RECT_H */
