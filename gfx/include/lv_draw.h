/**
 * The draw context: where the renderer writes (coordinates are absolute screen coordinates).
 */
#ifndef LV_DRAW_H
#define LV_DRAW_H

#include "lv_conf.h"
#include "lv_area.h"
#include "lv_style.h"
#include "lv_txt.h"
#include "lv_img_decoder.h"
#include "lv_img_cache.h"
#include "lv_draw_rect.h"
#include "lv_draw_label.h"
#include "lv_draw_img.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _lv_draw_ctx_t {
    void* buf;                  /* lv_color_t pixels covering buf_area, rows tightly packed */
    lv_area_t* buf_area;        /* where the buffer lies on the screen */
    const lv_area_t* clip_area; /* nothing outside it is written */
    void* user_data;
} lv_draw_ctx_t;

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_DRAW_H */
