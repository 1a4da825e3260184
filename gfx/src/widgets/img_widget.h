// The image widget's object, for widgets built on it (GIF player, QR code).
#pragma once

#include "core/obj_internal.h"

namespace gfx {

extern const ObjClass img_class;

struct ImgObj : _lv_obj_t {
    ~ImgObj() override;

    const ObjClass& cls() const override { return img_class; }
    lv_coord_t default_width() const override { return LV_SIZE_CONTENT; }
    lv_coord_t default_height() const override { return LV_SIZE_CONTENT; }
    void construct() override;
    lv_point_t self_size() override { return {w, h}; }
    void draw_main(lv_draw_ctx_t* ctx) override;

    const void* src = nullptr; // FILE/SYMBOL: own copy; VARIABLE: the caller's descriptor
    lv_img_src_t src_type = LV_IMG_SRC_UNKNOWN;
    lv_img_cf_t cf = LV_IMG_CF_UNKNOWN;
    lv_coord_t w = 0; // size of the picture (tiles are this big)
    lv_coord_t h = 0;
    bool info_ok = false; // a decoder recognised the source
};

// Null unless `obj` is an image or a widget built on it.
ImgObj* as_img(lv_obj_t* obj);

} // namespace gfx
