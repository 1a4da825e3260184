/**
 * Drawing images.
 */
#ifndef LV_DRAW_IMG_H
#define LV_DRAW_IMG_H

#include "lv_conf.h"
#include "lv_area.h"
#include "lv_color.h"
#include "lv_img_decoder.h"
#include "lv_style.h"

#ifdef __cplusplus
extern "C" {
#endif

struct _lv_draw_ctx_t;

typedef struct {
    int16_t angle;
    uint16_t zoom;
    lv_point_t pivot;
    lv_color_t recolor;
    lv_opa_t recolor_opa;
    lv_opa_t opa;
    lv_blend_mode_t blend_mode;
    int32_t frame_id;
    uint8_t antialias : 1;
} lv_draw_img_dsc_t;

void lv_draw_img_dsc_init(lv_draw_img_dsc_t* dsc);
void lv_draw_img(struct _lv_draw_ctx_t* draw_ctx, const lv_draw_img_dsc_t* dsc, const lv_area_t* coords,
                 const void* src);

lv_img_src_t lv_img_src_get_type(const void* src);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_DRAW_IMG_H */
