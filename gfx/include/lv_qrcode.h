/**
 * The QR code widget: a size x size image showing the QR code of the last update.
 */
#ifndef LV_QRCODE_H
#define LV_QRCODE_H

#include "lv_obj.h"
#include "lv_color.h"
#include "lv_types.h"

#ifdef __cplusplus
extern "C" {
#endif

lv_obj_t* lv_qrcode_create(lv_obj_t* parent, lv_coord_t size, lv_color_t dark_color, lv_color_t light_color);
lv_res_t lv_qrcode_update(lv_obj_t* qrcode, const void* data, uint32_t data_len);
void lv_qrcode_delete(lv_obj_t* qrcode);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_QRCODE_H */
