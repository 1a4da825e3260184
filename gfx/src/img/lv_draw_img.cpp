// Image painter: opens a source through the image cache and blends its pixels into the draw buffer.
#include "img/img_internal.h"
#include "lv_draw_img.h"
#include "lv_log.h"

#include "draw/gfx_blend.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Lives as long as the process and is never destroyed, so what it holds stays reachable at exit.

std::vector<lv_color_t>& g_row = *new std::vector<lv_color_t>; // one converted row; reused between draws

// Releases a cache entry when the draw is done with it.
struct EntryUse {
    _lv_img_cache_entry_t* entry;
    ~EntryUse() { gfx::img_cache_release(entry); }
};

bool intersect(const lv_area_t& a, const lv_area_t& b, lv_area_t& out) {
    out.x1 = std::max(a.x1, b.x1);
    out.y1 = std::max(a.y1, b.y1);
    out.x2 = std::min(a.x2, b.x2);
    out.y2 = std::min(a.y2, b.y2);
    return out.x1 <= out.x2 && out.y1 <= out.y2;
}

// What stands in for an image that cannot be shown: a white box with a short black text.
void show_error(lv_draw_ctx_t* draw_ctx, const lv_area_t* coords, const char* msg) {
    lv_draw_rect_dsc_t rect;
    lv_draw_rect_dsc_init(&rect);
    rect.bg_color = lv_color_white();
    rect.bg_opa = LV_OPA_COVER;
    lv_draw_rect(draw_ctx, &rect, coords);

    lv_draw_label_dsc_t label;
    lv_draw_label_dsc_init(&label);
    label.font = LV_FONT_DEFAULT;
    label.color = lv_color_black();
    lv_draw_label(draw_ctx, &label, coords, msg, nullptr);
}

// Per-row pixel adjustments that blend_map cannot do on its own.
struct RowStyle {
    bool chroma_keyed;
    bool recolor;
    lv_color_t recolor_color;
    lv_opa_t recolor_opa;
};

void convert_row(lv_color_t* px, int32_t n, const RowStyle& st) {
    if (st.chroma_keyed) {
        const uint32_t key = LV_COLOR_CHROMA_KEY.full & 0xFFFFFFu;
        for (int32_t i = 0; i < n; i++) px[i].ch.alpha = (px[i].full & 0xFFFFFFu) == key ? 0x00 : 0xFF;
    }
    if (st.recolor) {
        for (int32_t i = 0; i < n; i++) {
            const uint8_t a = px[i].ch.alpha;
            px[i] = gfx::mix(st.recolor_color, px[i], st.recolor_opa);
            px[i].ch.alpha = a;
        }
    }
}

// Draws row by row through g_row: for read_line decoders, chroma keys, recolouring and
// pixel data that is not aligned for lv_color_t.
void draw_rows(lv_draw_ctx_t* draw_ctx, lv_img_decoder_dsc_t& dec, const lv_area_t& img_area,
               const lv_area_t& draw_area, bool has_alpha, lv_opa_t opa, const RowStyle& st) {
    const int32_t len = lv_area_get_width(&draw_area);
    const int32_t x_ofs = draw_area.x1 - img_area.x1;
    const uint32_t img_w = dec.header.w;
    if (g_row.size() < (size_t)len) g_row.resize((size_t)len);
    lv_color_t* row = g_row.data();

    for (lv_coord_t y = draw_area.y1; y <= draw_area.y2; y++) {
        const int32_t y_ofs = y - img_area.y1;
        if (dec.img_data != nullptr) {
            const uint8_t* src = dec.img_data + ((size_t)y_ofs * img_w + (size_t)x_ofs) * sizeof(lv_color_t);
            std::memcpy(row, src, (size_t)len * sizeof(lv_color_t));
        } else if (lv_img_decoder_read_line(&dec, (lv_coord_t)x_ofs, (lv_coord_t)y_ofs, (lv_coord_t)len,
                                            reinterpret_cast<uint8_t*>(row)) != LV_RES_OK) {
            LV_LOG_WARN("Image draw can't read the line");
            return;
        }
        convert_row(row, len, st);
        const lv_area_t row_area = {draw_area.x1, y, draw_area.x2, y};
        gfx::blend_map(draw_ctx, row_area, row, row_area, has_alpha || st.chroma_keyed, opa);
    }
}

// False when the source cannot be opened at all.
bool decode_and_draw(lv_draw_ctx_t* draw_ctx, const lv_draw_img_dsc_t* dsc, const lv_area_t* coords,
                     const void* src) {
    lv_area_t clip;
    if (!intersect(*coords, *draw_ctx->clip_area, clip)) return true;

    EntryUse use{_lv_img_cache_open(src, dsc->recolor, dsc->frame_id)};
    if (use.entry == nullptr) return false;
    lv_img_decoder_dsc_t& dec = use.entry->dec_dsc;

    if (dec.error_msg != nullptr) {
        LV_LOG_WARN("Image draw error");
        show_error(draw_ctx, coords, dec.error_msg);
        return true;
    }

    // Never beyond the image itself, even if the box given is larger.
    const lv_area_t img_area = {coords->x1, coords->y1, (lv_coord_t)(coords->x1 + (int32_t)dec.header.w - 1),
                                (lv_coord_t)(coords->y1 + (int32_t)dec.header.h - 1)};
    lv_area_t draw_area;
    if (dec.header.w == 0 || dec.header.h == 0 || !intersect(img_area, clip, draw_area)) return true;

    const lv_img_cf_t cf = dec.header.cf;
    if (!gfx::img_cf_is_32bit(cf)) {
        LV_LOG_WARN("Image draw: colour format %d is not supported", cf);
        return false;
    }
    const bool has_alpha = cf == LV_IMG_CF_TRUE_COLOR_ALPHA;
    const lv_opa_t opa = dsc->opa >= LV_OPA_MAX ? (lv_opa_t)LV_OPA_COVER : dsc->opa;
    const RowStyle st = {cf == LV_IMG_CF_TRUE_COLOR_CHROMA_KEYED, dsc->recolor_opa >= LV_OPA_MIN,
                         dsc->recolor, dsc->recolor_opa};
    const bool aligned = reinterpret_cast<uintptr_t>(dec.img_data) % alignof(lv_color_t) == 0;

    if (dec.img_data != nullptr && aligned && !st.chroma_keyed && !st.recolor) {
        gfx::blend_map(draw_ctx, draw_area, reinterpret_cast<const lv_color_t*>(dec.img_data), img_area,
                       has_alpha, opa);
    } else {
        draw_rows(draw_ctx, dec, img_area, draw_area, has_alpha, opa, st);
    }
    return true;
}

} // namespace

void lv_draw_img_dsc_init(lv_draw_img_dsc_t* dsc) {
    std::memset(dsc, 0, sizeof(*dsc));
    dsc->recolor = lv_color_black();
    dsc->opa = LV_OPA_COVER;
    dsc->zoom = LV_IMG_ZOOM_NONE;
    dsc->antialias = LV_COLOR_DEPTH > 8 ? 1 : 0;
}

void lv_draw_img(lv_draw_ctx_t* draw_ctx, const lv_draw_img_dsc_t* dsc, const lv_area_t* coords,
                 const void* src) {
    if (src == nullptr) {
        LV_LOG_WARN("Image draw: src is NULL");
        show_error(draw_ctx, coords, "No\ndata");
        return;
    }
    if (dsc->opa <= LV_OPA_MIN) return;
    if (!decode_and_draw(draw_ctx, dsc, coords, src)) {
        LV_LOG_WARN("Image draw error");
        show_error(draw_ctx, coords, "No\ndata");
    }
}
