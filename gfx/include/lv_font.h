/**
 * Fonts: glyph descriptors and the font interface.
 */
#ifndef LV_FONT_H
#define LV_FONT_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#include "lv_conf.h"
#include "lv_area.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct {
    uint16_t adv_w;
    uint16_t box_w;
    uint16_t box_h;
    int16_t ofs_x;
    int16_t ofs_y;
    uint8_t bpp : 4;
    uint8_t is_placeholder : 1;
} lv_font_glyph_dsc_t;

enum {
    LV_FONT_SUBPX_NONE,
    LV_FONT_SUBPX_HOR,
    LV_FONT_SUBPX_VER,
    LV_FONT_SUBPX_BOTH,
};
typedef uint8_t lv_font_subpx_t;

typedef struct _lv_font_t {
    bool (*get_glyph_dsc)(const struct _lv_font_t*, lv_font_glyph_dsc_t*, uint32_t letter,
                          uint32_t letter_next);
    const uint8_t* (*get_glyph_bitmap)(const struct _lv_font_t*, uint32_t);
    lv_coord_t line_height;
    lv_coord_t base_line;
    uint8_t subpx : 2;
    int8_t underline_position;
    int8_t underline_thickness;
    const void* dsc;
    const struct _lv_font_t* fallback;
    void* user_data;
} lv_font_t;

const uint8_t* lv_font_get_glyph_bitmap(const lv_font_t* font_p, uint32_t letter);
bool lv_font_get_glyph_dsc(const lv_font_t* font_p, lv_font_glyph_dsc_t* dsc_out, uint32_t letter,
                           uint32_t letter_next);
uint16_t lv_font_get_glyph_width(const lv_font_t* font, uint32_t letter, uint32_t letter_next);
static inline lv_coord_t lv_font_get_line_height(const lv_font_t* font_p) {
    return font_p->line_height;
}

extern const lv_font_t lv_font_montserrat_14;
#define LV_FONT_DECLARE(font_name) extern const lv_font_t font_name;

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_FONT_H */
