/**
 * Image decoders: the registry and the interface a decoder implements.
 */
#ifndef LV_IMG_DECODER_H
#define LV_IMG_DECODER_H

#include <stdint.h>

#include "lv_conf.h"
#include "lv_area.h"
#include "lv_color.h"
#include "lv_img_buf.h"
#include "lv_types.h"

#ifdef __cplusplus
extern "C" {
#endif

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

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_IMG_DECODER_H */
