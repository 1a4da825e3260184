/**
 * Drawing text.
 */
#ifndef LV_DRAW_LABEL_H
#define LV_DRAW_LABEL_H

#include "lv_conf.h"
#include "lv_area.h"
#include "lv_color.h"
#include "lv_font.h"
#include "lv_style.h"
#include "lv_txt.h"

#ifdef __cplusplus
extern "C" {
#endif

struct _lv_draw_ctx_t;

#define LV_DRAW_LABEL_NO_TXT_SEL (0xFFFF)

typedef struct {
    const lv_font_t* font;
    uint32_t sel_start;
    uint32_t sel_end;
    lv_color_t color;
    lv_color_t sel_color;
    lv_color_t sel_bg_color;
    lv_coord_t line_space;
    lv_coord_t letter_space;
    lv_coord_t ofs_x;
    lv_coord_t ofs_y;
    lv_opa_t opa;
    uint8_t bidi_dir;
    lv_text_align_t align;
    lv_text_flag_t flag;
    uint8_t decor;
    lv_blend_mode_t blend_mode;
} lv_draw_label_dsc_t;

typedef struct {
    int32_t line_start;
    int32_t y;
    int32_t coord_y;
} lv_draw_label_hint_t;

void lv_draw_label_dsc_init(lv_draw_label_dsc_t* dsc);
void lv_draw_label(struct _lv_draw_ctx_t* draw_ctx, const lv_draw_label_dsc_t* dsc, const lv_area_t* coords,
                   const char* txt, lv_draw_label_hint_t* hint);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_DRAW_LABEL_H */
