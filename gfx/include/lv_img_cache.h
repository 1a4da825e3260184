/**
 * The cache of opened images.
 */
#ifndef LV_IMG_CACHE_H
#define LV_IMG_CACHE_H

#include "lv_img_decoder.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct {
    lv_img_decoder_dsc_t dec_dsc;
    int32_t life;
} _lv_img_cache_entry_t;

_lv_img_cache_entry_t* _lv_img_cache_open(const void* src, lv_color_t color, int32_t frame_id);
void lv_img_cache_set_size(uint16_t new_slot_num);
void lv_img_cache_invalidate_src(const void* src);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_IMG_CACHE_H */
