/**
 * LVGL's own font format, as lv_font_conv writes it for LVGL 8.3: glyph descriptors, character maps,
 * kerning and bitmaps compiled into the program. A font made for LVGL 8.3 compiles against this as it
 * is and uses the two callbacks below.
 */
#ifndef LV_FONT_FMT_TXT_H
#define LV_FONT_FMT_TXT_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#include "lv_conf.h"
#include "lv_font.h"

#ifdef __cplusplus
extern "C" {
#endif

/* One glyph. adv_w is in 1/16 px; ofs_y is the height of the box's bottom edge above the baseline;
 * the bitmap starts at glyph_bitmap[bitmap_index]. */
typedef struct {
#if LV_FONT_FMT_TXT_LARGE == 0
    uint32_t bitmap_index : 20;
    uint32_t adv_w : 12;
    uint8_t box_w;
    uint8_t box_h;
    int8_t ofs_x;
    int8_t ofs_y;
#else
    uint32_t bitmap_index;
    uint32_t adv_w;
    uint16_t box_w;
    uint16_t box_h;
    int16_t ofs_x;
    int16_t ofs_y;
#endif
} lv_font_fmt_txt_glyph_dsc_t;

enum {
    LV_FONT_FMT_TXT_CMAP_FORMAT0_FULL,
    LV_FONT_FMT_TXT_CMAP_SPARSE_FULL,
    LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY,
    LV_FONT_FMT_TXT_CMAP_SPARSE_TINY,
};
typedef uint8_t lv_font_fmt_txt_cmap_type_t;

/* Code points range_start .. range_start + range_length - 1 mapped to glyph ids. For a letter at
 * offset r into the range:
 *   FORMAT0_TINY  id = glyph_id_start + r
 *   FORMAT0_FULL  id = glyph_id_start + ((const uint8_t *)glyph_id_ofs_list)[r]
 *   SPARSE_TINY   id = glyph_id_start + k                 where unicode_list[k] == r
 *   SPARSE_FULL   id = glyph_id_start + ((const uint16_t *)glyph_id_ofs_list)[k]  likewise
 * unicode_list is sorted and holds list_length entries. */
typedef struct {
    uint32_t range_start;
    uint16_t range_length;
    uint16_t glyph_id_start;
    const uint16_t* unicode_list;
    const void* glyph_id_ofs_list;
    uint16_t list_length;
    lv_font_fmt_txt_cmap_type_t type;
} lv_font_fmt_txt_cmap_t;

/* Kerning by glyph pairs: glyph_ids holds pair_cnt (left, right) pairs sorted by left then right, as
 * uint8_t (glyph_ids_size 0) or uint16_t (glyph_ids_size 1); values[k] belongs to pair k. */
typedef struct {
    const void* glyph_ids;
    const int8_t* values;
    uint32_t pair_cnt : 30;
    uint32_t glyph_ids_size : 2;
} lv_font_fmt_txt_kern_pair_t;

/* Kerning by classes: a glyph id maps to a left and a right class (0: no kerning); classes l and r
 * kern by class_pair_values[(l - 1) * right_class_cnt + (r - 1)]. */
typedef struct {
    const int8_t* class_pair_values;
    const uint8_t* left_class_mapping;
    const uint8_t* right_class_mapping;
    uint8_t left_class_cnt;
    uint8_t right_class_cnt;
} lv_font_fmt_txt_kern_classes_t;

/* How glyph bitmaps are stored. lv_font_conv writes 2 for compressed bitmaps without the row filter;
 * LVGL 8.3 names that value nothing of its own. */
typedef enum {
    LV_FONT_FMT_TXT_PLAIN = 0,
    LV_FONT_FMT_TXT_COMPRESSED = 1,
    LV_FONT_FMT_TXT_COMPRESSED_NO_PREFILTER = 1,
} lv_font_fmt_txt_bitmap_format_t;

/* The last letter looked up and its glyph id. */
typedef struct {
    uint32_t last_letter;
    uint32_t last_glyph_id;
} lv_font_fmt_txt_glyph_cache_t;

/* What lv_font_t.dsc points to in a font of this format. Kerning values are multiplied by
 * kern_scale / 16 to give 1/16 px; kern_dsc is an lv_font_fmt_txt_kern_classes_t when kern_classes is
 * 1, an lv_font_fmt_txt_kern_pair_t when 0, or NULL. bpp is 1, 2, 3 (compressed only), 4 or 8. */
typedef struct {
    const uint8_t* glyph_bitmap;
    const lv_font_fmt_txt_glyph_dsc_t* glyph_dsc;
    const lv_font_fmt_txt_cmap_t* cmaps;
    const void* kern_dsc;
    uint16_t kern_scale;
    uint16_t cmap_num : 9;
    uint16_t bpp : 4;
    uint16_t kern_classes : 1;
    uint16_t bitmap_format : 2;
    lv_font_fmt_txt_glyph_cache_t* cache;
} lv_font_fmt_txt_dsc_t;

/* The lv_font_t callbacks of a font in this format. A compressed glyph is unpacked into a buffer that
 * the next call reuses. */
const uint8_t* lv_font_get_bitmap_fmt_txt(const lv_font_t* font, uint32_t letter);
bool lv_font_get_glyph_dsc_fmt_txt(const lv_font_t* font, lv_font_glyph_dsc_t* dsc_out,
                                   uint32_t unicode_letter, uint32_t unicode_letter_next);

/* Frees the buffer of unpacked glyphs. */
void _lv_font_clean_up_fmt_txt(void);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_FONT_FMT_TXT_H */
