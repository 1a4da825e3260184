/**
 * Colours (LV_COLOR_DEPTH 32: blue, green, red, alpha in memory), opacity and the palette.
 */
#ifndef LV_COLOR_H
#define LV_COLOR_H

#include <stdint.h>

#include "lv_conf.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef union {
    struct {
        uint8_t blue;
        uint8_t green;
        uint8_t red;
        uint8_t alpha;
    } ch;
    uint32_t full;
} lv_color32_t;
typedef lv_color32_t lv_color_t;
typedef uint8_t lv_opa_t;

enum {
    LV_OPA_TRANSP = 0,
    LV_OPA_0 = 0,
    LV_OPA_10 = 25,
    LV_OPA_20 = 51,
    LV_OPA_30 = 76,
    LV_OPA_40 = 102,
    LV_OPA_50 = 127,
    LV_OPA_60 = 153,
    LV_OPA_70 = 178,
    LV_OPA_80 = 204,
    LV_OPA_90 = 229,
    LV_OPA_100 = 255,
    LV_OPA_COVER = 255,
};
#define LV_OPA_MIN 2
#define LV_OPA_MAX 253

#define LV_COLOR_SIZE 32

static inline lv_color_t lv_color_make(uint8_t r, uint8_t g, uint8_t b) {
    lv_color_t c;
    c.ch.blue = b;
    c.ch.green = g;
    c.ch.red = r;
    c.ch.alpha = 0xff;
    return c;
}
static inline lv_color_t lv_color_hex(uint32_t c) {
    return lv_color_make((uint8_t)((c >> 16) & 0xFF), (uint8_t)((c >> 8) & 0xFF), (uint8_t)(c & 0xFF));
}
static inline lv_color_t lv_color_hex3(uint32_t c) {
    return lv_color_make((uint8_t)(((c >> 4) & 0xF0) | ((c >> 8) & 0xF)),
                         (uint8_t)((c & 0xF0) | ((c & 0xF0) >> 4)), (uint8_t)((c & 0xF) | ((c & 0xF) << 4)));
}
static inline uint32_t lv_color_to32(lv_color_t color) {
    return color.full;
}
static inline lv_color_t lv_color_white(void) {
    return lv_color_make(0xff, 0xff, 0xff);
}
static inline lv_color_t lv_color_black(void) {
    return lv_color_make(0x00, 0x00, 0x00);
}
/* Mixes c1 into c2 with ratio mix (255 = only c1). */
lv_color_t lv_color_mix(lv_color_t c1, lv_color_t c2, uint8_t mix);

typedef enum {
    LV_PALETTE_RED,
    LV_PALETTE_PINK,
    LV_PALETTE_PURPLE,
    LV_PALETTE_DEEP_PURPLE,
    LV_PALETTE_INDIGO,
    LV_PALETTE_BLUE,
    LV_PALETTE_LIGHT_BLUE,
    LV_PALETTE_CYAN,
    LV_PALETTE_TEAL,
    LV_PALETTE_GREEN,
    LV_PALETTE_LIGHT_GREEN,
    LV_PALETTE_LIME,
    LV_PALETTE_YELLOW,
    LV_PALETTE_AMBER,
    LV_PALETTE_ORANGE,
    LV_PALETTE_DEEP_ORANGE,
    LV_PALETTE_BROWN,
    LV_PALETTE_BLUE_GREY,
    LV_PALETTE_GREY,
    _LV_PALETTE_LAST,
    LV_PALETTE_NONE = 0xff,
} lv_palette_t;

lv_color_t lv_palette_main(lv_palette_t p);
lv_color_t lv_palette_lighten(lv_palette_t p, uint8_t lvl);
lv_color_t lv_palette_darken(lv_palette_t p, uint8_t lvl);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_COLOR_H */
