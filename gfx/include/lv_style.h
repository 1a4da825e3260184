/**
 * Style values shared by objects and drawing.
 */
#ifndef LV_STYLE_H
#define LV_STYLE_H

#include <stdint.h>

#include "lv_conf.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
    LV_BORDER_SIDE_NONE = 0x00,
    LV_BORDER_SIDE_BOTTOM = 0x01,
    LV_BORDER_SIDE_TOP = 0x02,
    LV_BORDER_SIDE_LEFT = 0x04,
    LV_BORDER_SIDE_RIGHT = 0x08,
    LV_BORDER_SIDE_FULL = 0x0F,
    LV_BORDER_SIDE_INTERNAL = 0x10,
};
typedef uint8_t lv_border_side_t;

enum {
    LV_BLEND_MODE_NORMAL,
    LV_BLEND_MODE_ADDITIVE,
    LV_BLEND_MODE_SUBTRACTIVE,
    LV_BLEND_MODE_MULTIPLY,
    LV_BLEND_MODE_REPLACE,
};
typedef uint8_t lv_blend_mode_t;

#define LV_IMG_ZOOM_NONE 256

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_STYLE_H */
