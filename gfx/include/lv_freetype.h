/**
 * Fonts rendered at run time by FreeType.
 */
#ifndef LV_FREETYPE_H
#define LV_FREETYPE_H

#include "lv_font.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    FT_FONT_STYLE_NORMAL = 0,
    FT_FONT_STYLE_ITALIC = 1 << 0,
    FT_FONT_STYLE_BOLD = 1 << 1
} LV_FT_FONT_STYLE;

typedef struct {
    const char* name;
    const void* mem;
    size_t mem_size;
    lv_font_t* font;
    uint16_t weight;
    uint16_t style;
} lv_ft_info_t;

bool lv_freetype_init(uint16_t max_faces, uint16_t max_sizes, uint32_t max_bytes);
void lv_freetype_destroy(void);
bool lv_ft_font_init(lv_ft_info_t* info);
void lv_ft_font_destroy(lv_font_t* font);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_FREETYPE_H */
