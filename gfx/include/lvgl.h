/**
 * Public API of the graphics runtime: the subset of LVGL 8.3 that the status display uses,
 * with LVGL's names, types, values and signatures. Configuration comes from lv_conf.h.
 */
#ifndef LVGL_H
#define LVGL_H

#include <stdarg.h>
#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#include "lv_conf.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LVGL_VERSION_MAJOR 8
#define LVGL_VERSION_MINOR 3
#define LVGL_VERSION_PATCH 11
#define LVGL_VERSION_INFO ""

#if defined(__GNUC__)
#define LV_FORMAT_ATTRIBUTE(fmtstr, vararg) __attribute__((format(printf, fmtstr, vararg)))
#else
#define LV_FORMAT_ATTRIBUTE(fmtstr, vararg)
#endif
#define LV_ATTRIBUTE_FAST_MEM
#define LV_UNUSED(x) ((void)x)

/*=====================================================================================================
 * Basic types
 *===================================================================================================*/

typedef int16_t lv_coord_t;
#define LV_COORD_MAX ((1 << 13) - 1)
#define LV_COORD_MIN (-LV_COORD_MAX)
#define _LV_COORD_TYPE_SHIFT (13U)
#define _LV_COORD_TYPE_SPEC (1 << _LV_COORD_TYPE_SHIFT)
#define LV_COORD_SET_SPEC(x) ((x) | _LV_COORD_TYPE_SPEC)
#define LV_SIZE_CONTENT LV_COORD_SET_SPEC(2001)
#define LV_PCT(x) (x < 0 ? LV_COORD_SET_SPEC(1000 - (x)) : LV_COORD_SET_SPEC(x))

enum {
    LV_RES_INV = 0,
    LV_RES_OK,
};
typedef uint8_t lv_res_t;

typedef struct {
    lv_coord_t x;
    lv_coord_t y;
} lv_point_t;

typedef struct {
    lv_coord_t x1;
    lv_coord_t y1;
    lv_coord_t x2;
    lv_coord_t y2;
} lv_area_t;

void lv_area_set(lv_area_t* area_p, lv_coord_t x1, lv_coord_t y1, lv_coord_t x2, lv_coord_t y2);
static inline void lv_area_copy(lv_area_t* dest, const lv_area_t* src) {
    *dest = *src;
}
static inline lv_coord_t lv_area_get_width(const lv_area_t* area_p) {
    return (lv_coord_t)(area_p->x2 - area_p->x1 + 1);
}
static inline lv_coord_t lv_area_get_height(const lv_area_t* area_p) {
    return (lv_coord_t)(area_p->y2 - area_p->y1 + 1);
}
uint32_t lv_area_get_size(const lv_area_t* area_p);
bool _lv_area_intersect(lv_area_t* res_p, const lv_area_t* a1_p, const lv_area_t* a2_p);
void _lv_area_join(lv_area_t* a_res_p, const lv_area_t* a1_p, const lv_area_t* a2_p);
bool _lv_area_is_point_on(const lv_area_t* a_p, const lv_point_t* p_p, lv_coord_t radius);
bool _lv_area_is_on(const lv_area_t* a1_p, const lv_area_t* a2_p);
bool _lv_area_is_in(const lv_area_t* ain_p, const lv_area_t* aholder_p, lv_coord_t radius);

/* Alignment */
enum {
    LV_ALIGN_DEFAULT = 0,
    LV_ALIGN_TOP_LEFT,
    LV_ALIGN_TOP_MID,
    LV_ALIGN_TOP_RIGHT,
    LV_ALIGN_BOTTOM_LEFT,
    LV_ALIGN_BOTTOM_MID,
    LV_ALIGN_BOTTOM_RIGHT,
    LV_ALIGN_LEFT_MID,
    LV_ALIGN_RIGHT_MID,
    LV_ALIGN_CENTER,

    LV_ALIGN_OUT_TOP_LEFT,
    LV_ALIGN_OUT_TOP_MID,
    LV_ALIGN_OUT_TOP_RIGHT,
    LV_ALIGN_OUT_BOTTOM_LEFT,
    LV_ALIGN_OUT_BOTTOM_MID,
    LV_ALIGN_OUT_BOTTOM_RIGHT,
    LV_ALIGN_OUT_LEFT_TOP,
    LV_ALIGN_OUT_LEFT_MID,
    LV_ALIGN_OUT_LEFT_BOTTOM,
    LV_ALIGN_OUT_RIGHT_TOP,
    LV_ALIGN_OUT_RIGHT_MID,
    LV_ALIGN_OUT_RIGHT_BOTTOM,
};
typedef uint8_t lv_align_t;

enum {
    LV_DIR_NONE = 0x00,
    LV_DIR_LEFT = (1 << 0),
    LV_DIR_RIGHT = (1 << 1),
    LV_DIR_TOP = (1 << 2),
    LV_DIR_BOTTOM = (1 << 3),
    LV_DIR_HOR = LV_DIR_LEFT | LV_DIR_RIGHT,
    LV_DIR_VER = LV_DIR_TOP | LV_DIR_BOTTOM,
    LV_DIR_ALL = LV_DIR_HOR | LV_DIR_VER,
};
typedef uint8_t lv_dir_t;

/*=====================================================================================================
 * Colour (LV_COLOR_DEPTH 32: blue, green, red, alpha in memory)
 *===================================================================================================*/

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
#define LV_IMG_PX_SIZE_ALPHA_BYTE 4

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

/*=====================================================================================================
 * Memory, tick, log, asserts
 *===================================================================================================*/

void* lv_mem_alloc(size_t size);
void lv_mem_free(void* data);
void* lv_mem_realloc(void* data_p, size_t new_size);

uint32_t lv_tick_get(void);
uint32_t lv_tick_elaps(uint32_t prev_tick);

#define LV_LOG_LEVEL_TRACE 0
#define LV_LOG_LEVEL_INFO 1
#define LV_LOG_LEVEL_WARN 2
#define LV_LOG_LEVEL_ERROR 3
#define LV_LOG_LEVEL_USER 4
#define LV_LOG_LEVEL_NONE 5
#define _LV_LOG_LEVEL_NUM 6
typedef int8_t lv_log_level_t;
typedef void (*lv_log_print_g_cb_t)(const char* buf);

void lv_log_register_print_cb(lv_log_print_g_cb_t print_cb);
void lv_log(const char* format, ...) LV_FORMAT_ATTRIBUTE(1, 2);
void _lv_log_add(lv_log_level_t level, const char* file, int line, const char* func, const char* format, ...)
    LV_FORMAT_ATTRIBUTE(5, 6);

#if LV_USE_LOG && LV_LOG_LEVEL <= LV_LOG_LEVEL_TRACE
#define LV_LOG_TRACE(...) _lv_log_add(LV_LOG_LEVEL_TRACE, __FILE__, __LINE__, __func__, __VA_ARGS__)
#else
#define LV_LOG_TRACE(...)                                                                                    \
    do {                                                                                                     \
    } while (0)
#endif
#if LV_USE_LOG && LV_LOG_LEVEL <= LV_LOG_LEVEL_INFO
#define LV_LOG_INFO(...) _lv_log_add(LV_LOG_LEVEL_INFO, __FILE__, __LINE__, __func__, __VA_ARGS__)
#else
#define LV_LOG_INFO(...)                                                                                     \
    do {                                                                                                     \
    } while (0)
#endif
#if LV_USE_LOG && LV_LOG_LEVEL <= LV_LOG_LEVEL_WARN
#define LV_LOG_WARN(...) _lv_log_add(LV_LOG_LEVEL_WARN, __FILE__, __LINE__, __func__, __VA_ARGS__)
#else
#define LV_LOG_WARN(...)                                                                                     \
    do {                                                                                                     \
    } while (0)
#endif
#if LV_USE_LOG && LV_LOG_LEVEL <= LV_LOG_LEVEL_ERROR
#define LV_LOG_ERROR(...) _lv_log_add(LV_LOG_LEVEL_ERROR, __FILE__, __LINE__, __func__, __VA_ARGS__)
#else
#define LV_LOG_ERROR(...)                                                                                    \
    do {                                                                                                     \
    } while (0)
#endif
#if LV_USE_LOG && LV_LOG_LEVEL <= LV_LOG_LEVEL_USER
#define LV_LOG_USER(...) _lv_log_add(LV_LOG_LEVEL_USER, __FILE__, __LINE__, __func__, __VA_ARGS__)
#else
#define LV_LOG_USER(...)                                                                                     \
    do {                                                                                                     \
    } while (0)
#endif
#if LV_USE_LOG
#define LV_LOG(...) lv_log(__VA_ARGS__)
#else
#define LV_LOG(...)                                                                                          \
    do {                                                                                                     \
    } while (0)
#endif

#ifndef LV_ASSERT_HANDLER
#define LV_ASSERT_HANDLER                                                                                    \
    while (1)                                                                                                \
        ;
#endif
#define LV_ASSERT_MSG(expr, msg)                                                                             \
    do {                                                                                                     \
        if (!(expr)) {                                                                                       \
            LV_LOG_ERROR("Asserted at expression: %s (%s)", #expr, msg);                                     \
            LV_ASSERT_HANDLER                                                                                \
        }                                                                                                    \
    } while (0)
#define LV_ASSERT(expr)                                                                                      \
    do {                                                                                                     \
        if (!(expr)) {                                                                                       \
            LV_LOG_ERROR("Asserted at expression: %s", #expr);                                               \
            LV_ASSERT_HANDLER                                                                                \
        }                                                                                                    \
    } while (0)
#if LV_USE_ASSERT_NULL
#define LV_ASSERT_NULL(p) LV_ASSERT_MSG(p != NULL, "NULL pointer");
#else
#define LV_ASSERT_NULL(p)
#endif
#if LV_USE_ASSERT_MALLOC
#define LV_ASSERT_MALLOC(p) LV_ASSERT_MSG(p != NULL, "Out of memory");
#else
#define LV_ASSERT_MALLOC(p)
#endif

/* LVGL's own formatter (no floating point unless LV_SPRINTF_USE_FLOAT). */
int lv_snprintf(char* buffer, size_t count, const char* format, ...) LV_FORMAT_ATTRIBUTE(3, 4);
int lv_vsnprintf(char* buffer, size_t count, const char* format, va_list va) LV_FORMAT_ATTRIBUTE(3, 0);

/*=====================================================================================================
 * Timers
 *===================================================================================================*/

#define LV_NO_TIMER_READY 0xFFFFFFFF

struct _lv_timer_t;
typedef void (*lv_timer_cb_t)(struct _lv_timer_t*);

typedef struct _lv_timer_t {
    uint32_t period;
    uint32_t last_run;
    lv_timer_cb_t timer_cb;
    void* user_data;
    int32_t repeat_count;
    uint32_t paused : 1;
} lv_timer_t;

void _lv_timer_core_init(void);
uint32_t lv_timer_handler(void);
lv_timer_t* lv_timer_create_basic(void);
lv_timer_t* lv_timer_create(lv_timer_cb_t timer_xcb, uint32_t period, void* user_data);
void lv_timer_del(lv_timer_t* timer);
void lv_timer_pause(lv_timer_t* timer);
void lv_timer_resume(lv_timer_t* timer);
void lv_timer_set_cb(lv_timer_t* timer, lv_timer_cb_t timer_cb);
void lv_timer_set_period(lv_timer_t* timer, uint32_t period);
void lv_timer_ready(lv_timer_t* timer);
void lv_timer_set_repeat_count(lv_timer_t* timer, int32_t repeat_count);
void lv_timer_reset(lv_timer_t* timer);
void lv_timer_enable(bool en);
uint8_t lv_timer_get_idle(void);
lv_timer_t* lv_timer_get_next(lv_timer_t* timer);

/*=====================================================================================================
 * Animations
 *===================================================================================================*/

#define LV_ANIM_REPEAT_INFINITE 0xFFFF
#define LV_ANIM_PLAYTIME_INFINITE 0xFFFFFFFF

typedef enum {
    LV_ANIM_OFF,
    LV_ANIM_ON,
} lv_anim_enable_t;

struct _lv_anim_t;
typedef int32_t (*lv_anim_path_cb_t)(const struct _lv_anim_t*);
typedef void (*lv_anim_exec_xcb_t)(void*, int32_t);
typedef void (*lv_anim_custom_exec_cb_t)(struct _lv_anim_t*, int32_t);
typedef void (*lv_anim_ready_cb_t)(struct _lv_anim_t*);
typedef void (*lv_anim_start_cb_t)(struct _lv_anim_t*);
typedef int32_t (*lv_anim_get_value_cb_t)(struct _lv_anim_t*);
typedef void (*lv_anim_deleted_cb_t)(struct _lv_anim_t*);

typedef struct _lv_anim_t {
    void* var;
    lv_anim_exec_xcb_t exec_cb;
    lv_anim_start_cb_t start_cb;
    lv_anim_ready_cb_t ready_cb;
    lv_anim_deleted_cb_t deleted_cb;
    lv_anim_get_value_cb_t get_value_cb;
    void* user_data;
    lv_anim_path_cb_t path_cb;
    int32_t start_value;
    int32_t current_value;
    int32_t end_value;
    int32_t time;
    int32_t act_time;
    uint32_t playback_delay;
    uint32_t playback_time;
    uint32_t repeat_delay;
    uint16_t repeat_cnt;
    uint8_t early_apply : 1;
    uint8_t playback_now : 1;
    uint8_t run_round : 1;
    uint8_t start_cb_called : 1;
} lv_anim_t;

void _lv_anim_core_init(void);
void lv_anim_init(lv_anim_t* a);
static inline void lv_anim_set_var(lv_anim_t* a, void* var) {
    a->var = var;
}
static inline void lv_anim_set_exec_cb(lv_anim_t* a, lv_anim_exec_xcb_t exec_cb) {
    a->exec_cb = exec_cb;
}
static inline void lv_anim_set_time(lv_anim_t* a, uint32_t duration) {
    a->time = (int32_t)duration;
}
static inline void lv_anim_set_delay(lv_anim_t* a, uint32_t delay) {
    a->act_time = -(int32_t)(delay);
}
static inline void lv_anim_set_values(lv_anim_t* a, int32_t start, int32_t end) {
    a->start_value = start;
    a->current_value = start;
    a->end_value = end;
}
static inline void lv_anim_set_custom_exec_cb(lv_anim_t* a, lv_anim_custom_exec_cb_t exec_cb) {
    a->var = a;
    a->exec_cb = (lv_anim_exec_xcb_t)exec_cb;
}
static inline void lv_anim_set_path_cb(lv_anim_t* a, lv_anim_path_cb_t path_cb) {
    a->path_cb = path_cb;
}
static inline void lv_anim_set_start_cb(lv_anim_t* a, lv_anim_start_cb_t start_cb) {
    a->start_cb = start_cb;
}
static inline void lv_anim_set_get_value_cb(lv_anim_t* a, lv_anim_get_value_cb_t get_value_cb) {
    a->get_value_cb = get_value_cb;
}
static inline void lv_anim_set_ready_cb(lv_anim_t* a, lv_anim_ready_cb_t ready_cb) {
    a->ready_cb = ready_cb;
}
static inline void lv_anim_set_deleted_cb(lv_anim_t* a, lv_anim_deleted_cb_t deleted_cb) {
    a->deleted_cb = deleted_cb;
}
static inline void lv_anim_set_playback_time(lv_anim_t* a, uint32_t time) {
    a->playback_time = time;
}
static inline void lv_anim_set_playback_delay(lv_anim_t* a, uint32_t delay) {
    a->playback_delay = delay;
}
static inline void lv_anim_set_repeat_count(lv_anim_t* a, uint16_t cnt) {
    a->repeat_cnt = cnt;
}
static inline void lv_anim_set_repeat_delay(lv_anim_t* a, uint32_t delay) {
    a->repeat_delay = delay;
}
static inline void lv_anim_set_early_apply(lv_anim_t* a, bool en) {
    a->early_apply = en;
}
static inline void lv_anim_set_user_data(lv_anim_t* a, void* user_data) {
    a->user_data = user_data;
}
static inline void* lv_anim_get_user_data(lv_anim_t* a) {
    return a->user_data;
}
static inline int32_t lv_anim_get_delay(lv_anim_t* a) {
    return -a->act_time;
}

lv_anim_t* lv_anim_start(const lv_anim_t* a);
uint32_t lv_anim_get_playtime(lv_anim_t* a);
bool lv_anim_del(void* var, lv_anim_exec_xcb_t exec_cb);
void lv_anim_del_all(void);
lv_anim_t* lv_anim_get(void* var, lv_anim_exec_xcb_t exec_cb);
uint16_t lv_anim_count_running(void);
uint32_t lv_anim_speed_to_time(uint32_t speed, int32_t start, int32_t end);
void lv_anim_refr_now(void);

int32_t lv_anim_path_linear(const lv_anim_t* a);
int32_t lv_anim_path_ease_in(const lv_anim_t* a);
int32_t lv_anim_path_ease_out(const lv_anim_t* a);
int32_t lv_anim_path_ease_in_out(const lv_anim_t* a);
int32_t lv_anim_path_overshoot(const lv_anim_t* a);
int32_t lv_anim_path_bounce(const lv_anim_t* a);
int32_t lv_anim_path_step(const lv_anim_t* a);

/* Math helpers used by the animation paths. */
#define LV_BEZIER_VAL_MAX 1024
#define LV_BEZIER_VAL_SHIFT 10
uint32_t lv_bezier3(uint32_t t, uint32_t u0, uint32_t u1, uint32_t u2, uint32_t u3);
int32_t lv_map(int32_t x, int32_t min_in, int32_t max_in, int32_t min_out, int32_t max_out);

/*=====================================================================================================
 * File system
 *===================================================================================================*/

enum {
    LV_FS_RES_OK = 0,
    LV_FS_RES_HW_ERR,
    LV_FS_RES_FS_ERR,
    LV_FS_RES_NOT_EX,
    LV_FS_RES_FULL,
    LV_FS_RES_LOCKED,
    LV_FS_RES_DENIED,
    LV_FS_RES_BUSY,
    LV_FS_RES_TOUT,
    LV_FS_RES_NOT_IMP,
    LV_FS_RES_OUT_OF_MEM,
    LV_FS_RES_INV_PARAM,
    LV_FS_RES_UNKNOWN,
};
typedef uint8_t lv_fs_res_t;

enum {
    LV_FS_MODE_WR = 0x01,
    LV_FS_MODE_RD = 0x02,
};
typedef uint8_t lv_fs_mode_t;

typedef enum {
    LV_FS_SEEK_SET = 0x00,
    LV_FS_SEEK_CUR = 0x01,
    LV_FS_SEEK_END = 0x02,
} lv_fs_whence_t;

typedef struct _lv_fs_drv_t {
    char letter;
    uint16_t cache_size;
    bool (*ready_cb)(struct _lv_fs_drv_t* drv);
    void* (*open_cb)(struct _lv_fs_drv_t* drv, const char* path, lv_fs_mode_t mode);
    lv_fs_res_t (*close_cb)(struct _lv_fs_drv_t* drv, void* file_p);
    lv_fs_res_t (*read_cb)(struct _lv_fs_drv_t* drv, void* file_p, void* buf, uint32_t btr, uint32_t* br);
    lv_fs_res_t (*write_cb)(struct _lv_fs_drv_t* drv, void* file_p, const void* buf, uint32_t btw,
                            uint32_t* bw);
    lv_fs_res_t (*seek_cb)(struct _lv_fs_drv_t* drv, void* file_p, uint32_t pos, lv_fs_whence_t whence);
    lv_fs_res_t (*tell_cb)(struct _lv_fs_drv_t* drv, void* file_p, uint32_t* pos_p);
    void* (*dir_open_cb)(struct _lv_fs_drv_t* drv, const char* path);
    lv_fs_res_t (*dir_read_cb)(struct _lv_fs_drv_t* drv, void* rddir_p, char* fn);
    lv_fs_res_t (*dir_close_cb)(struct _lv_fs_drv_t* drv, void* rddir_p);
    void* user_data;
} lv_fs_drv_t;

typedef struct {
    uint32_t start;
    uint32_t end;
    uint32_t file_position;
    void* buffer;
} lv_fs_file_cache_t;

typedef struct {
    void* file_d;
    lv_fs_drv_t* drv;
    lv_fs_file_cache_t* cache;
} lv_fs_file_t;

void _lv_fs_init(void);
void lv_fs_drv_init(lv_fs_drv_t* drv);
void lv_fs_drv_register(lv_fs_drv_t* drv);
lv_fs_drv_t* lv_fs_get_drv(char letter);
bool lv_fs_is_ready(char letter);
lv_fs_res_t lv_fs_open(lv_fs_file_t* file_p, const char* path, lv_fs_mode_t mode);
lv_fs_res_t lv_fs_close(lv_fs_file_t* file_p);
lv_fs_res_t lv_fs_read(lv_fs_file_t* file_p, void* buf, uint32_t btr, uint32_t* br);
lv_fs_res_t lv_fs_write(lv_fs_file_t* file_p, const void* buf, uint32_t btw, uint32_t* bw);
lv_fs_res_t lv_fs_seek(lv_fs_file_t* file_p, uint32_t pos, lv_fs_whence_t whence);
lv_fs_res_t lv_fs_tell(lv_fs_file_t* file_p, uint32_t* pos);
const char* lv_fs_get_ext(const char* fn);
void lv_fs_stdio_init(void);

/*=====================================================================================================
 * Fonts and text
 *===================================================================================================*/

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

/*=====================================================================================================
 * Images and decoders
 *===================================================================================================*/

enum {
    LV_IMG_CF_UNKNOWN = 0,
    LV_IMG_CF_RAW,
    LV_IMG_CF_RAW_ALPHA,
    LV_IMG_CF_RAW_CHROMA_KEYED,
    LV_IMG_CF_TRUE_COLOR,
    LV_IMG_CF_TRUE_COLOR_ALPHA,
    LV_IMG_CF_TRUE_COLOR_CHROMA_KEYED,
    LV_IMG_CF_INDEXED_1BIT,
    LV_IMG_CF_INDEXED_2BIT,
    LV_IMG_CF_INDEXED_4BIT,
    LV_IMG_CF_INDEXED_8BIT,
    LV_IMG_CF_ALPHA_1BIT,
    LV_IMG_CF_ALPHA_2BIT,
    LV_IMG_CF_ALPHA_4BIT,
    LV_IMG_CF_ALPHA_8BIT,
};
typedef uint8_t lv_img_cf_t;

typedef struct {
    uint32_t cf : 5;
    uint32_t always_zero : 3;
    uint32_t reserved : 2;
    uint32_t w : 11;
    uint32_t h : 11;
} lv_img_header_t;

typedef struct {
    lv_img_header_t header;
    uint32_t data_size;
    const uint8_t* data;
} lv_img_dsc_t;

enum {
    LV_IMG_SRC_VARIABLE,
    LV_IMG_SRC_FILE,
    LV_IMG_SRC_SYMBOL,
    LV_IMG_SRC_UNKNOWN,
};
typedef uint8_t lv_img_src_t;

struct _lv_img_decoder_t;
struct _lv_img_decoder_dsc_t;

typedef lv_res_t (*lv_img_decoder_info_f_t)(struct _lv_img_decoder_t* decoder, const void* src,
                                            lv_img_header_t* header);
typedef lv_res_t (*lv_img_decoder_open_f_t)(struct _lv_img_decoder_t* decoder,
                                            struct _lv_img_decoder_dsc_t* dsc);
typedef lv_res_t (*lv_img_decoder_read_line_f_t)(struct _lv_img_decoder_t* decoder,
                                                 struct _lv_img_decoder_dsc_t* dsc, lv_coord_t x,
                                                 lv_coord_t y, lv_coord_t len, uint8_t* buf);
typedef void (*lv_img_decoder_close_f_t)(struct _lv_img_decoder_t* decoder,
                                         struct _lv_img_decoder_dsc_t* dsc);

typedef struct _lv_img_decoder_t {
    lv_img_decoder_info_f_t info_cb;
    lv_img_decoder_open_f_t open_cb;
    lv_img_decoder_read_line_f_t read_line_cb;
    lv_img_decoder_close_f_t close_cb;
    void* user_data;
} lv_img_decoder_t;

typedef struct _lv_img_decoder_dsc_t {
    lv_img_decoder_t* decoder;
    const void* src;
    lv_color_t color;
    int32_t frame_id;
    lv_img_src_t src_type;
    lv_img_header_t header;
    const uint8_t* img_data;
    uint32_t time_to_open;
    const char* error_msg;
    void* user_data;
} lv_img_decoder_dsc_t;

void _lv_img_decoder_init(void);
lv_res_t lv_img_decoder_get_info(const void* src, lv_img_header_t* header);
lv_res_t lv_img_decoder_open(lv_img_decoder_dsc_t* dsc, const void* src, lv_color_t color, int32_t frame_id);
lv_res_t lv_img_decoder_read_line(lv_img_decoder_dsc_t* dsc, lv_coord_t x, lv_coord_t y, lv_coord_t len,
                                  uint8_t* buf);
void lv_img_decoder_close(lv_img_decoder_dsc_t* dsc);
lv_img_decoder_t* lv_img_decoder_create(void);
void lv_img_decoder_delete(lv_img_decoder_t* decoder);
void lv_img_decoder_set_info_cb(lv_img_decoder_t* decoder, lv_img_decoder_info_f_t info_cb);
void lv_img_decoder_set_open_cb(lv_img_decoder_t* decoder, lv_img_decoder_open_f_t open_cb);
void lv_img_decoder_set_read_line_cb(lv_img_decoder_t* decoder, lv_img_decoder_read_line_f_t read_line_cb);
void lv_img_decoder_set_close_cb(lv_img_decoder_t* decoder, lv_img_decoder_close_f_t close_cb);

typedef struct {
    lv_img_decoder_dsc_t dec_dsc;
    int32_t life;
} _lv_img_cache_entry_t;

_lv_img_cache_entry_t* _lv_img_cache_open(const void* src, lv_color_t color, int32_t frame_id);
void lv_img_cache_set_size(uint16_t new_slot_num);
void lv_img_cache_invalidate_src(const void* src);

lv_img_src_t lv_img_src_get_type(const void* src);
void lv_png_init(void);

/*=====================================================================================================
 * Drawing (software renderer); coordinates are absolute screen coordinates
 *===================================================================================================*/

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

#define LV_RADIUS_CIRCLE 0x7FFF

typedef struct _lv_draw_ctx_t {
    void* buf;                  /* lv_color_t pixels covering buf_area, rows tightly packed */
    lv_area_t* buf_area;        /* where the buffer lies on the screen */
    const lv_area_t* clip_area; /* nothing outside it is written */
    void* user_data;
} lv_draw_ctx_t;

typedef struct {
    lv_coord_t radius;
    lv_blend_mode_t blend_mode;
    lv_color_t bg_color;
    lv_opa_t bg_opa;
    lv_color_t border_color;
    lv_coord_t border_width;
    lv_opa_t border_opa;
    uint8_t border_post : 1;
    lv_border_side_t border_side : 5;
    lv_color_t outline_color;
    lv_coord_t outline_width;
    lv_coord_t outline_pad;
    lv_opa_t outline_opa;
} lv_draw_rect_dsc_t;

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

#define LV_IMG_ZOOM_NONE 256

void lv_draw_rect_dsc_init(lv_draw_rect_dsc_t* dsc);
void lv_draw_rect(lv_draw_ctx_t* draw_ctx, const lv_draw_rect_dsc_t* dsc, const lv_area_t* coords);
void lv_draw_label_dsc_init(lv_draw_label_dsc_t* dsc);
void lv_draw_label(lv_draw_ctx_t* draw_ctx, const lv_draw_label_dsc_t* dsc, const lv_area_t* coords,
                   const char* txt, lv_draw_label_hint_t* hint);
void lv_draw_img_dsc_init(lv_draw_img_dsc_t* dsc);
void lv_draw_img(lv_draw_ctx_t* draw_ctx, const lv_draw_img_dsc_t* dsc, const lv_area_t* coords,
                 const void* src);

/*=====================================================================================================
 * Objects
 *===================================================================================================*/

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
typedef uint32_t lv_style_selector_t;

enum {
    LV_SCROLLBAR_MODE_OFF,
    LV_SCROLLBAR_MODE_ON,
    LV_SCROLLBAR_MODE_ACTIVE,
    LV_SCROLLBAR_MODE_AUTO,
};
typedef uint8_t lv_scrollbar_mode_t;

void lv_init(void);
bool lv_is_initialized(void);

lv_obj_t* lv_obj_create(lv_obj_t* parent);
void lv_obj_del(lv_obj_t* obj);
void lv_obj_clean(lv_obj_t* obj);
void lv_obj_add_flag(lv_obj_t* obj, lv_obj_flag_t f);
void lv_obj_clear_flag(lv_obj_t* obj, lv_obj_flag_t f);
bool lv_obj_has_flag(const lv_obj_t* obj, lv_obj_flag_t f);
bool lv_obj_has_flag_any(const lv_obj_t* obj, lv_obj_flag_t f);
void lv_obj_add_state(lv_obj_t* obj, lv_state_t state);
void lv_obj_clear_state(lv_obj_t* obj, lv_state_t state);
lv_state_t lv_obj_get_state(const lv_obj_t* obj);
void lv_obj_set_user_data(lv_obj_t* obj, void* user_data);
void* lv_obj_get_user_data(lv_obj_t* obj);

void lv_obj_set_pos(lv_obj_t* obj, lv_coord_t x, lv_coord_t y);
void lv_obj_set_x(lv_obj_t* obj, lv_coord_t x);
void lv_obj_set_y(lv_obj_t* obj, lv_coord_t y);
void lv_obj_set_size(lv_obj_t* obj, lv_coord_t w, lv_coord_t h);
void lv_obj_set_width(lv_obj_t* obj, lv_coord_t w);
void lv_obj_set_height(lv_obj_t* obj, lv_coord_t h);
void lv_obj_set_content_width(lv_obj_t* obj, lv_coord_t w);
void lv_obj_set_content_height(lv_obj_t* obj, lv_coord_t h);
void lv_obj_set_align(lv_obj_t* obj, lv_align_t align);
void lv_obj_align(lv_obj_t* obj, lv_align_t align, lv_coord_t x_ofs, lv_coord_t y_ofs);
void lv_obj_center(lv_obj_t* obj);
void lv_obj_update_layout(const lv_obj_t* obj);
void lv_obj_get_coords(const lv_obj_t* obj, lv_area_t* coords);
lv_coord_t lv_obj_get_x(const lv_obj_t* obj);
lv_coord_t lv_obj_get_x2(const lv_obj_t* obj);
lv_coord_t lv_obj_get_y(const lv_obj_t* obj);
lv_coord_t lv_obj_get_y2(const lv_obj_t* obj);
lv_coord_t lv_obj_get_x_aligned(const lv_obj_t* obj);
lv_coord_t lv_obj_get_y_aligned(const lv_obj_t* obj);
lv_coord_t lv_obj_get_width(const lv_obj_t* obj);
lv_coord_t lv_obj_get_height(const lv_obj_t* obj);
lv_coord_t lv_obj_get_content_width(const lv_obj_t* obj);
lv_coord_t lv_obj_get_content_height(const lv_obj_t* obj);
void lv_obj_get_content_coords(const lv_obj_t* obj, lv_area_t* area);
lv_coord_t lv_obj_get_self_width(const lv_obj_t* obj);
lv_coord_t lv_obj_get_self_height(const lv_obj_t* obj);
void lv_obj_invalidate(const lv_obj_t* obj);
void lv_obj_invalidate_area(const lv_obj_t* obj, const lv_area_t* area);
bool lv_obj_is_visible(const lv_obj_t* obj);
bool lv_obj_refresh_self_size(lv_obj_t* obj);
void lv_obj_mark_layout_as_dirty(lv_obj_t* obj);

void lv_obj_set_scroll_dir(lv_obj_t* obj, lv_dir_t dir);
void lv_obj_set_scrollbar_mode(lv_obj_t* obj, lv_scrollbar_mode_t mode);
lv_dir_t lv_obj_get_scroll_dir(const lv_obj_t* obj);

lv_obj_t* lv_obj_get_screen(const lv_obj_t* obj);
lv_obj_t* lv_obj_get_parent(const lv_obj_t* obj);
lv_obj_t* lv_obj_get_child(const lv_obj_t* obj, int32_t id);
uint32_t lv_obj_get_child_cnt(const lv_obj_t* obj);
uint32_t lv_obj_get_index(const lv_obj_t* obj);
void lv_obj_move_foreground(lv_obj_t* obj);
void lv_obj_move_background(lv_obj_t* obj);

/* Local styles. The selector is part | state; LV_PART_MAIN | LV_STATE_DEFAULT is 0. */
void lv_obj_remove_style_all(lv_obj_t* obj);
void lv_obj_set_style_bg_color(lv_obj_t* obj, lv_color_t value, lv_style_selector_t selector);
void lv_obj_set_style_bg_opa(lv_obj_t* obj, lv_opa_t value, lv_style_selector_t selector);
void lv_obj_set_style_text_color(lv_obj_t* obj, lv_color_t value, lv_style_selector_t selector);
void lv_obj_set_style_text_opa(lv_obj_t* obj, lv_opa_t value, lv_style_selector_t selector);
void lv_obj_set_style_text_font(lv_obj_t* obj, const lv_font_t* value, lv_style_selector_t selector);
void lv_obj_set_style_text_align(lv_obj_t* obj, lv_text_align_t value, lv_style_selector_t selector);
void lv_obj_set_style_text_letter_space(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_text_line_space(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_radius(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_border_width(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_border_color(lv_obj_t* obj, lv_color_t value, lv_style_selector_t selector);
void lv_obj_set_style_border_opa(lv_obj_t* obj, lv_opa_t value, lv_style_selector_t selector);
void lv_obj_set_style_border_side(lv_obj_t* obj, lv_border_side_t value, lv_style_selector_t selector);
void lv_obj_set_style_border_post(lv_obj_t* obj, bool value, lv_style_selector_t selector);
void lv_obj_set_style_outline_width(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_shadow_width(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_pad_left(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_pad_right(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_pad_top(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_pad_bottom(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_pad_row(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_pad_column(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_width(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_height(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_x(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_y(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector);
void lv_obj_set_style_align(lv_obj_t* obj, lv_align_t value, lv_style_selector_t selector);
void lv_obj_set_style_opa(lv_obj_t* obj, lv_opa_t value, lv_style_selector_t selector);
void lv_obj_set_style_img_opa(lv_obj_t* obj, lv_opa_t value, lv_style_selector_t selector);
void lv_obj_set_style_anim_speed(lv_obj_t* obj, uint32_t value, lv_style_selector_t selector);
static inline void lv_obj_set_style_pad_all(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector) {
    lv_obj_set_style_pad_left(obj, value, selector);
    lv_obj_set_style_pad_right(obj, value, selector);
    lv_obj_set_style_pad_top(obj, value, selector);
    lv_obj_set_style_pad_bottom(obj, value, selector);
}
static inline void lv_obj_set_style_pad_hor(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector) {
    lv_obj_set_style_pad_left(obj, value, selector);
    lv_obj_set_style_pad_right(obj, value, selector);
}
static inline void lv_obj_set_style_pad_ver(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector) {
    lv_obj_set_style_pad_top(obj, value, selector);
    lv_obj_set_style_pad_bottom(obj, value, selector);
}
static inline void lv_obj_set_style_pad_gap(lv_obj_t* obj, lv_coord_t value, lv_style_selector_t selector) {
    lv_obj_set_style_pad_row(obj, value, selector);
    lv_obj_set_style_pad_column(obj, value, selector);
}

/* Style getters (resolved value for a part of the object in its current state). */
lv_color_t lv_obj_get_style_bg_color(const lv_obj_t* obj, uint32_t part);
lv_opa_t lv_obj_get_style_bg_opa(const lv_obj_t* obj, uint32_t part);
lv_color_t lv_obj_get_style_text_color(const lv_obj_t* obj, uint32_t part);
const lv_font_t* lv_obj_get_style_text_font(const lv_obj_t* obj, uint32_t part);
lv_text_align_t lv_obj_get_style_text_align(const lv_obj_t* obj, uint32_t part);
lv_coord_t lv_obj_get_style_radius(const lv_obj_t* obj, uint32_t part);
lv_coord_t lv_obj_get_style_border_width(const lv_obj_t* obj, uint32_t part);
lv_color_t lv_obj_get_style_border_color(const lv_obj_t* obj, uint32_t part);
lv_border_side_t lv_obj_get_style_border_side(const lv_obj_t* obj, uint32_t part);
lv_coord_t lv_obj_get_style_pad_left(const lv_obj_t* obj, uint32_t part);
lv_coord_t lv_obj_get_style_pad_right(const lv_obj_t* obj, uint32_t part);
lv_coord_t lv_obj_get_style_pad_top(const lv_obj_t* obj, uint32_t part);
lv_coord_t lv_obj_get_style_pad_bottom(const lv_obj_t* obj, uint32_t part);
lv_coord_t lv_obj_get_style_pad_row(const lv_obj_t* obj, uint32_t part);
lv_coord_t lv_obj_get_style_pad_column(const lv_obj_t* obj, uint32_t part);
lv_opa_t lv_obj_get_style_opa(const lv_obj_t* obj, uint32_t part);

/* Theme */
#define LV_DPX(n) lv_disp_dpx(NULL, n)
lv_coord_t lv_dpx(lv_coord_t n);

/*=====================================================================================================
 * Display
 *===================================================================================================*/

typedef enum { LV_DISP_ROT_NONE = 0, LV_DISP_ROT_90, LV_DISP_ROT_180, LV_DISP_ROT_270 } lv_disp_rot_t;

typedef struct _lv_disp_draw_buf_t {
    void* buf1;
    void* buf2;
    void* buf_act;
    uint32_t size;
    volatile int flushing;
    volatile int flushing_last;
    volatile uint32_t last_area : 1;
    volatile uint32_t last_part : 1;
} lv_disp_draw_buf_t;

struct _lv_disp_t;

typedef struct _lv_disp_drv_t {
    lv_coord_t hor_res;
    lv_coord_t ver_res;
    lv_coord_t physical_hor_res;
    lv_coord_t physical_ver_res;
    lv_coord_t offset_x;
    lv_coord_t offset_y;
    lv_disp_draw_buf_t* draw_buf;
    uint32_t direct_mode : 1;
    uint32_t full_refresh : 1;
    uint32_t sw_rotate : 1;
    uint32_t antialiasing : 1;
    uint32_t rotated : 2;
    uint32_t screen_transp : 1;
    uint32_t dpi : 10;
    void (*flush_cb)(struct _lv_disp_drv_t* disp_drv, const lv_area_t* area, lv_color_t* color_p);
    void (*rounder_cb)(struct _lv_disp_drv_t* disp_drv, lv_area_t* area);
    void (*set_px_cb)(struct _lv_disp_drv_t* disp_drv, uint8_t* buf, lv_coord_t buf_w, lv_coord_t x,
                      lv_coord_t y, lv_color_t color, lv_opa_t opa);
    void (*clear_cb)(struct _lv_disp_drv_t* disp_drv, uint8_t* buf, uint32_t size);
    void (*monitor_cb)(struct _lv_disp_drv_t* disp_drv, uint32_t time, uint32_t px);
    void (*wait_cb)(struct _lv_disp_drv_t* disp_drv);
    void (*clean_dcache_cb)(struct _lv_disp_drv_t* disp_drv);
    void (*drv_update_cb)(struct _lv_disp_drv_t* disp_drv);
    void (*render_start_cb)(struct _lv_disp_drv_t* disp_drv);
    lv_color_t color_chroma_key;
    lv_draw_ctx_t* draw_ctx;
    void* user_data;
} lv_disp_drv_t;

typedef struct _lv_disp_t lv_disp_t;

void lv_disp_drv_init(lv_disp_drv_t* driver);
void lv_disp_draw_buf_init(lv_disp_draw_buf_t* draw_buf, void* buf1, void* buf2, uint32_t size_in_px_cnt);
lv_disp_t* lv_disp_drv_register(lv_disp_drv_t* driver);
void lv_disp_drv_update(lv_disp_t* disp, lv_disp_drv_t* new_drv);
void lv_disp_remove(lv_disp_t* disp);
void lv_disp_set_default(lv_disp_t* disp);
lv_disp_t* lv_disp_get_default(void);
lv_coord_t lv_disp_get_hor_res(lv_disp_t* disp);
lv_coord_t lv_disp_get_ver_res(lv_disp_t* disp);
lv_coord_t lv_disp_get_dpi(const lv_disp_t* disp);
void lv_disp_set_rotation(lv_disp_t* disp, lv_disp_rot_t rotation);
lv_disp_rot_t lv_disp_get_rotation(lv_disp_t* disp);
lv_coord_t lv_disp_dpx(const lv_disp_t* disp, lv_coord_t n);
void lv_disp_flush_ready(lv_disp_drv_t* disp_drv);
bool lv_disp_flush_is_last(lv_disp_drv_t* disp_drv);
lv_timer_t* _lv_disp_get_refr_timer(lv_disp_t* disp);

lv_obj_t* lv_disp_get_scr_act(lv_disp_t* disp);
lv_obj_t* lv_disp_get_scr_prev(lv_disp_t* disp);
void lv_disp_load_scr(lv_obj_t* scr);
lv_obj_t* lv_disp_get_layer_top(lv_disp_t* disp);
lv_obj_t* lv_disp_get_layer_sys(lv_disp_t* disp);
void lv_disp_set_bg_color(lv_disp_t* disp, lv_color_t color);
void lv_disp_set_bg_opa(lv_disp_t* disp, lv_opa_t opa);
static inline lv_obj_t* lv_scr_act(void) {
    return lv_disp_get_scr_act(lv_disp_get_default());
}
static inline lv_obj_t* lv_layer_top(void) {
    return lv_disp_get_layer_top(lv_disp_get_default());
}
static inline lv_obj_t* lv_layer_sys(void) {
    return lv_disp_get_layer_sys(lv_disp_get_default());
}
static inline void lv_scr_load(lv_obj_t* scr) {
    lv_disp_load_scr(scr);
}

void lv_refr_now(lv_disp_t* disp);
void _lv_inv_area(lv_disp_t* disp, const lv_area_t* area_p);
void _lv_disp_refr_timer(lv_timer_t* timer);

/*=====================================================================================================
 * Widgets: label, image
 *===================================================================================================*/

#define LV_LABEL_DOT_NUM 3
#define LV_LABEL_POS_LAST 0xFFFF
#define LV_LABEL_TEXT_SELECTION_OFF LV_DRAW_LABEL_NO_TXT_SEL

enum {
    LV_LABEL_LONG_WRAP,
    LV_LABEL_LONG_DOT,
    LV_LABEL_LONG_SCROLL,
    LV_LABEL_LONG_SCROLL_CIRCULAR,
    LV_LABEL_LONG_CLIP,
};
typedef uint8_t lv_label_long_mode_t;

lv_obj_t* lv_label_create(lv_obj_t* parent);
void lv_label_set_text(lv_obj_t* obj, const char* text);
void lv_label_set_text_fmt(lv_obj_t* obj, const char* fmt, ...) LV_FORMAT_ATTRIBUTE(2, 3);
void lv_label_set_text_static(lv_obj_t* obj, const char* text);
void lv_label_set_long_mode(lv_obj_t* obj, lv_label_long_mode_t long_mode);
void lv_label_set_recolor(lv_obj_t* obj, bool en);
char* lv_label_get_text(const lv_obj_t* obj);
lv_label_long_mode_t lv_label_get_long_mode(const lv_obj_t* obj);
bool lv_label_get_recolor(const lv_obj_t* obj);

lv_obj_t* lv_img_create(lv_obj_t* parent);
void lv_img_set_src(lv_obj_t* obj, const void* src);
const void* lv_img_get_src(lv_obj_t* obj);

/*=====================================================================================================
 * Widgets: GIF image, QR code
 *===================================================================================================*/

/* An image that plays a GIF89a file (path through a drive, or an lv_img_dsc_t holding the file). */
lv_obj_t* lv_gif_create(lv_obj_t* parent);
void lv_gif_set_src(lv_obj_t* obj, const void* src);
void lv_gif_restart(lv_obj_t* gif);

/* A size x size image showing the QR code of the last update. */
lv_obj_t* lv_qrcode_create(lv_obj_t* parent, lv_coord_t size, lv_color_t dark_color, lv_color_t light_color);
lv_res_t lv_qrcode_update(lv_obj_t* qrcode, const void* data, uint32_t data_len);
void lv_qrcode_delete(lv_obj_t* qrcode);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LVGL_H */
