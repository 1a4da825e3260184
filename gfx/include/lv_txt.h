/**
 * Text measuring, line breaking and the UTF-8 encoding.
 */
#ifndef LV_TXT_H
#define LV_TXT_H

#include <stdbool.h>
#include <stdarg.h>

#include "lv_conf.h"
#include "lv_area.h"
#include "lv_font.h"
#include "lv_printf.h"
#include "lv_types.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
    LV_TEXT_FLAG_NONE = 0x00,
    LV_TEXT_FLAG_RECOLOR = 0x01,
    LV_TEXT_FLAG_EXPAND = 0x02,
    LV_TEXT_FLAG_FIT = 0x04,
};
typedef uint8_t lv_text_flag_t;

enum {
    LV_TEXT_CMD_STATE_WAIT,
    LV_TEXT_CMD_STATE_PAR,
    LV_TEXT_CMD_STATE_IN,
};
typedef uint8_t lv_text_cmd_state_t;

enum {
    LV_TEXT_ALIGN_AUTO,
    LV_TEXT_ALIGN_LEFT,
    LV_TEXT_ALIGN_CENTER,
    LV_TEXT_ALIGN_RIGHT,
};
typedef uint8_t lv_text_align_t;

#define LV_TXT_ENC_UTF8 1
#define LV_TXT_COLOR_CMD "#"

void lv_txt_get_size(lv_point_t* size_res, const char* text, const lv_font_t* font, lv_coord_t letter_space,
                     lv_coord_t line_space, lv_coord_t max_width, lv_text_flag_t flag);
uint32_t _lv_txt_get_next_line(const char* txt, const lv_font_t* font, lv_coord_t letter_space,
                               lv_coord_t max_width, lv_coord_t* used_width, lv_text_flag_t flag);
lv_coord_t lv_txt_get_width(const char* txt, uint32_t length, const lv_font_t* font, lv_coord_t letter_space,
                            lv_text_flag_t flag);
bool _lv_txt_is_cmd(lv_text_cmd_state_t* state, uint32_t c);
/* The text encoding (UTF-8) behind pointers, as LVGL keeps it. _lv_txt_encoded_next reads the letter at
 * *i and advances *i; it never steps over the terminating zero. */
extern uint32_t (*_lv_txt_encoded_next)(const char* txt, uint32_t* i);
extern uint8_t (*_lv_txt_encoded_size)(const char* txt);
extern uint32_t (*_lv_txt_get_encoded_length)(const char* txt);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_TXT_H */
