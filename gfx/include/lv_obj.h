/**
 * The base object: flags, states, parts, creation and user data.
 */
#ifndef LV_OBJ_H
#define LV_OBJ_H

#include <stdbool.h>
#include <stddef.h>

#include "lv_conf.h"
#include "lv_area.h"
#include "lv_color.h"
#include "lv_style.h"
#include "lv_types.h"
#include "lv_assert.h"
#include "lv_hal.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _lv_obj_t lv_obj_t;

typedef enum {
    LV_OBJ_FLAG_HIDDEN = (1L << 0),
    LV_OBJ_FLAG_CLICKABLE = (1L << 1),
    LV_OBJ_FLAG_CLICK_FOCUSABLE = (1L << 2),
    LV_OBJ_FLAG_CHECKABLE = (1L << 3),
    LV_OBJ_FLAG_SCROLLABLE = (1L << 4),
    LV_OBJ_FLAG_SCROLL_ELASTIC = (1L << 5),
    LV_OBJ_FLAG_SCROLL_MOMENTUM = (1L << 6),
    LV_OBJ_FLAG_SCROLL_ONE = (1L << 7),
    LV_OBJ_FLAG_SCROLL_CHAIN_HOR = (1L << 8),
    LV_OBJ_FLAG_SCROLL_CHAIN_VER = (1L << 9),
    LV_OBJ_FLAG_SCROLL_CHAIN = (LV_OBJ_FLAG_SCROLL_CHAIN_HOR | LV_OBJ_FLAG_SCROLL_CHAIN_VER),
    LV_OBJ_FLAG_SCROLL_ON_FOCUS = (1L << 10),
    LV_OBJ_FLAG_SCROLL_WITH_ARROW = (1L << 11),
    LV_OBJ_FLAG_SNAPPABLE = (1L << 12),
    LV_OBJ_FLAG_PRESS_LOCK = (1L << 13),
    LV_OBJ_FLAG_EVENT_BUBBLE = (1L << 14),
    LV_OBJ_FLAG_GESTURE_BUBBLE = (1L << 15),
    LV_OBJ_FLAG_ADV_HITTEST = (1L << 16),
    LV_OBJ_FLAG_IGNORE_LAYOUT = (1L << 17),
    LV_OBJ_FLAG_FLOATING = (1L << 18),
    LV_OBJ_FLAG_OVERFLOW_VISIBLE = (1L << 19),
    LV_OBJ_FLAG_LAYOUT_1 = (1L << 23),
    LV_OBJ_FLAG_LAYOUT_2 = (1L << 24),
    LV_OBJ_FLAG_WIDGET_1 = (1L << 25),
    LV_OBJ_FLAG_WIDGET_2 = (1L << 26),
    LV_OBJ_FLAG_USER_1 = (1L << 27),
    LV_OBJ_FLAG_USER_2 = (1L << 28),
    LV_OBJ_FLAG_USER_3 = (1L << 29),
    LV_OBJ_FLAG_USER_4 = (1L << 30),
} _lv_obj_flag_t;
typedef uint32_t lv_obj_flag_t;

enum {
    LV_STATE_DEFAULT = 0x0000,
    LV_STATE_CHECKED = 0x0001,
    LV_STATE_FOCUSED = 0x0002,
    LV_STATE_FOCUS_KEY = 0x0004,
    LV_STATE_EDITED = 0x0008,
    LV_STATE_HOVERED = 0x0010,
    LV_STATE_PRESSED = 0x0020,
    LV_STATE_SCROLLED = 0x0040,
    LV_STATE_DISABLED = 0x0080,
    LV_STATE_USER_1 = 0x1000,
    LV_STATE_USER_2 = 0x2000,
    LV_STATE_USER_3 = 0x4000,
    LV_STATE_USER_4 = 0x8000,
    LV_STATE_ANY = 0xFFFF,
};
typedef uint16_t lv_state_t;

enum {
    LV_PART_MAIN = 0x000000,
    LV_PART_SCROLLBAR = 0x010000,
    LV_PART_INDICATOR = 0x020000,
    LV_PART_KNOB = 0x030000,
    LV_PART_SELECTED = 0x040000,
    LV_PART_ITEMS = 0x050000,
    LV_PART_TICKS = 0x060000,
    LV_PART_CURSOR = 0x070000,
    LV_PART_CUSTOM_FIRST = 0x080000,
    LV_PART_ANY = 0x0F0000,
};
typedef uint32_t lv_part_t;

void lv_init(void);
bool lv_is_initialized(void);

lv_obj_t* lv_obj_create(lv_obj_t* parent);

void lv_obj_add_flag(lv_obj_t* obj, lv_obj_flag_t f);
void lv_obj_clear_flag(lv_obj_t* obj, lv_obj_flag_t f);
bool lv_obj_has_flag(const lv_obj_t* obj, lv_obj_flag_t f);
bool lv_obj_has_flag_any(const lv_obj_t* obj, lv_obj_flag_t f);
void lv_obj_add_state(lv_obj_t* obj, lv_state_t state);
void lv_obj_clear_state(lv_obj_t* obj, lv_state_t state);
lv_state_t lv_obj_get_state(const lv_obj_t* obj);
void lv_obj_set_user_data(lv_obj_t* obj, void* user_data);
void* lv_obj_get_user_data(lv_obj_t* obj);

#ifdef __cplusplus
} /* extern "C" */
#endif

#include "lv_obj_tree.h"
#include "lv_obj_pos.h"
#include "lv_obj_scroll.h"
#include "lv_obj_style.h"

#endif /* LV_OBJ_H */
