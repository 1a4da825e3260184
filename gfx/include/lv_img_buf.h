/**
 * Image formats, headers and in-memory image descriptors.
 */
#ifndef LV_IMG_BUF_H
#define LV_IMG_BUF_H

#include <stdint.h>

#include "lv_conf.h"
#include "lv_color.h"

#ifdef __cplusplus
extern "C" {
#endif

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

#define LV_IMG_PX_SIZE_ALPHA_BYTE 4

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_IMG_BUF_H */
