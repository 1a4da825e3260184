// The image widget: keeps its source (a copied path or symbol, or a borrowed descriptor), takes its
// size from the decoder, and tiles the picture over its content area when it is larger.
#include <cstring>

#include "lv_img.h"
#include "lv_log.h"
#include "lv_mem.h"
#include "widgets/img_widget.h"

namespace gfx {

const ObjClass img_class = {"lv_img", &obj_class};

namespace {

bool owns_src(lv_img_src_t type) {
    return type == LV_IMG_SRC_FILE || type == LV_IMG_SRC_SYMBOL;
}

void free_src(ImgObj* img) {
    if (owns_src(img->src_type)) lv_mem_free(const_cast<void*>(img->src));
    img->src = nullptr;
}

} // namespace

ImgObj::~ImgObj() {
    free_src(this);
}

void ImgObj::construct() {
    _lv_obj_t::construct();
    flags &= ~LV_OBJ_FLAG_CLICKABLE;
    flags |= LV_OBJ_FLAG_ADV_HITTEST;
}

void ImgObj::draw_main(lv_draw_ctx_t* ctx) {
    // A file nobody could read still shows the placeholder over the widget's area.
    const bool unreadable_file = src_type == LV_IMG_SRC_FILE && !info_ok;
    if ((w == 0 || h == 0) && !unreadable_file) return;
    _lv_obj_t::draw_main(ctx);

    lv_area_t content;
    lv_obj_get_content_coords(this, &content);
    lv_area_t clip;
    if (!_lv_area_intersect(&clip, &content, ctx->clip_area)) return;
    const lv_area_t* clip_ori = ctx->clip_area;
    ctx->clip_area = &clip;

    if (src_type == LV_IMG_SRC_FILE || src_type == LV_IMG_SRC_VARIABLE) {
        lv_draw_img_dsc_t dsc;
        lv_draw_img_dsc_init(&dsc);
        obj_init_draw_img_dsc(this, LV_PART_MAIN, &dsc);
        if (dsc.opa > LV_OPA_MIN) {
            if (unreadable_file) {
                lv_draw_img(ctx, &dsc, &content, src);
            } else {
                // Tiles start at the top-left corner and repeat while they start inside.
                lv_area_t tile;
                for (int32_t y = content.y1; y < content.y2; y += h) {
                    tile.y1 = (lv_coord_t)y;
                    tile.y2 = (lv_coord_t)(y + h - 1);
                    if (tile.y1 > clip.y2) break;
                    if (tile.y2 < clip.y1) continue;
                    for (int32_t x = content.x1; x < content.x2; x += w) {
                        tile.x1 = (lv_coord_t)x;
                        tile.x2 = (lv_coord_t)(x + w - 1);
                        if (tile.x1 > clip.x2) break;
                        if (tile.x2 < clip.x1) continue;
                        lv_draw_img(ctx, &dsc, &tile, src);
                    }
                }
            }
        }
    } else if (src_type == LV_IMG_SRC_SYMBOL) {
        lv_draw_label_dsc_t dsc;
        lv_draw_label_dsc_init(&dsc);
        obj_init_draw_label_dsc(this, LV_PART_MAIN, &dsc);
        if (dsc.opa > LV_OPA_MIN) lv_draw_label(ctx, &dsc, &content, static_cast<const char*>(src), nullptr);
    }
    ctx->clip_area = clip_ori;
}

ImgObj* as_img(lv_obj_t* obj) {
    return obj_is_kind_of(obj, img_class) ? static_cast<ImgObj*>(obj) : nullptr;
}

} // namespace gfx

using gfx::ImgObj;

extern "C" {

lv_obj_t* lv_img_create(lv_obj_t* parent) {
    return gfx::obj_create<ImgObj>(parent);
}

void lv_img_set_src(lv_obj_t* obj, const void* src) {
    ImgObj* img = gfx::as_img(obj);
    if (img == nullptr) return;
    lv_obj_invalidate(obj);

    const lv_img_src_t type = lv_img_src_get_type(src);
    if (type == LV_IMG_SRC_UNKNOWN) {
        LV_LOG_WARN("lv_img_set_src: unknown type");
        LV_LOG_WARN("lv_img_set_src: unknown image type");
        gfx::free_src(img);
        img->src_type = LV_IMG_SRC_UNKNOWN;
        img->info_ok = false;
        return;
    }

    lv_img_header_t header;
    std::memset(&header, 0, sizeof(header));
    const bool info_ok = lv_img_decoder_get_info(src, &header) == LV_RES_OK;
    if (!info_ok) std::memset(&header, 0, sizeof(header));

    if (type == LV_IMG_SRC_VARIABLE) {
        gfx::free_src(img);
        img->src = src;
    } else if (src != img->src) {
        // Copy first, then free: the new text must land at a new address for the image cache.
        const char* text = static_cast<const char*>(src);
        const size_t len = std::strlen(text);
        char* copy = static_cast<char*>(lv_mem_alloc(len + 1));
        LV_ASSERT_MALLOC(copy);
        if (copy == nullptr) return;
        std::memcpy(copy, text, len + 1);
        gfx::free_src(img);
        img->src = copy;
    }

    if (type == LV_IMG_SRC_FILE && !info_ok) {
        LV_LOG_WARN("cannot read image %s", static_cast<const char*>(img->src));
    }
    if (type == LV_IMG_SRC_SYMBOL) {
        const lv_font_t* font = gfx::style_font(obj, LV_PART_MAIN);
        lv_point_t size{0, 0};
        if (font != nullptr) {
            lv_txt_get_size(&size, static_cast<const char*>(img->src), font,
                            gfx::style_coord(obj, LV_PART_MAIN, gfx::Prop::TextLetterSpace),
                            gfx::style_coord(obj, LV_PART_MAIN, gfx::Prop::TextLineSpace), LV_COORD_MAX,
                            LV_TEXT_FLAG_NONE);
        }
        header.w = (uint32_t)size.x;
        header.h = (uint32_t)size.y;
    }

    img->src_type = type;
    img->info_ok = info_ok || type == LV_IMG_SRC_SYMBOL;
    img->w = (lv_coord_t)header.w;
    img->h = (lv_coord_t)header.h;
    img->cf = (lv_img_cf_t)header.cf;
    lv_obj_refresh_self_size(obj);
    lv_obj_invalidate(obj);
}

const void* lv_img_get_src(lv_obj_t* obj) {
    ImgObj* img = gfx::as_img(obj);
    return img != nullptr ? img->src : nullptr;
}

} // extern "C"
