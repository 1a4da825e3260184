/**
 * The image widget.
 */
#ifndef LV_IMG_H
#define LV_IMG_H

#include "lv_conf.h"
#include "lv_obj.h"

#ifdef __cplusplus
extern "C" {
#endif

lv_obj_t* lv_img_create(lv_obj_t* parent);
void lv_img_set_src(lv_obj_t* obj, const void* src);
const void* lv_img_get_src(lv_obj_t* obj);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_IMG_H */
