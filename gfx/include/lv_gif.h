/**
 * The GIF widget: an image that plays a GIF89a file (path through a drive, or an lv_img_dsc_t holding
 * the file).
 */
#ifndef LV_GIF_H
#define LV_GIF_H

#include "lv_obj.h"

#ifdef __cplusplus
extern "C" {
#endif

lv_obj_t* lv_gif_create(lv_obj_t* parent);
void lv_gif_set_src(lv_obj_t* obj, const void* src);
void lv_gif_restart(lv_obj_t* gif);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_GIF_H */
