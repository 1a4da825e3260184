// Solid fills and pixel-map copies into the draw buffer, clipped to the clip and buffer areas.
#include "draw/gfx_blend.h"

#include <algorithm>
#include <cstring>

namespace gfx {
namespace {

// The part of `a` that is inside both the clip area and the buffer; false when nothing is left.
bool clip_to_ctx(const lv_draw_ctx_t* draw_ctx, const lv_area_t& a, lv_area_t& out) {
    const lv_area_t& clip = *draw_ctx->clip_area;
    const lv_area_t& buf = *draw_ctx->buf_area;
    out.x1 = std::max({a.x1, clip.x1, buf.x1});
    out.y1 = std::max({a.y1, clip.y1, buf.y1});
    out.x2 = std::min({a.x2, clip.x2, buf.x2});
    out.y2 = std::min({a.y2, clip.y2, buf.y2});
    return out.x1 <= out.x2 && out.y1 <= out.y2;
}

bool intersect(lv_area_t& a, const lv_area_t& b) {
    a.x1 = std::max(a.x1, b.x1);
    a.y1 = std::max(a.y1, b.y1);
    a.x2 = std::min(a.x2, b.x2);
    a.y2 = std::min(a.y2, b.y2);
    return a.x1 <= a.x2 && a.y1 <= a.y2;
}

lv_color_t* buf_row(const lv_draw_ctx_t* draw_ctx, lv_coord_t x, lv_coord_t y) {
    const lv_area_t& buf = *draw_ctx->buf_area;
    int32_t stride = buf.x2 - buf.x1 + 1;
    return static_cast<lv_color_t*>(draw_ctx->buf) + (int32_t)(y - buf.y1) * stride + (x - buf.x1);
}

lv_color_t opaque(lv_color_t c) {
    c.ch.alpha = 0xff;
    return c;
}

// Mixes one fixed colour with a fixed coverage over many destination pixels: the colour's share is
// computed once, and runs of equal destination pixels (backgrounds) reuse the last result.
struct FixedMix {
    uint32_t r, g, b, na;
    uint32_t last_in = 0, last_out = 0;
    bool have_last = false;

    FixedMix(lv_color_t c, uint32_t a) : r(c.ch.red * a), g(c.ch.green * a), b(c.ch.blue * a), na(255 - a) {}

    lv_color_t operator()(lv_color_t bg) {
        if (have_last && bg.full == last_in) {
            lv_color_t o;
            o.full = last_out;
            return o;
        }
        lv_color_t o;
        o.ch.red = (uint8_t)div255(r + bg.ch.red * na);
        o.ch.green = (uint8_t)div255(g + bg.ch.green * na);
        o.ch.blue = (uint8_t)div255(b + bg.ch.blue * na);
        o.ch.alpha = 0xff;
        last_in = bg.full;
        last_out = o.full;
        have_last = true;
        return o;
    }
};

} // namespace

void blend_fill(const lv_draw_ctx_t* draw_ctx, const lv_area_t& area, lv_color_t color, lv_opa_t opa,
                const lv_opa_t* mask, const lv_area_t* mask_area) {
    if (opa < LV_OPA_MIN) return;
    lv_area_t r;
    if (!clip_to_ctx(draw_ctx, area, r)) return;
    if (mask && mask_area && !intersect(r, *mask_area)) return;

    const int32_t w = r.x2 - r.x1 + 1;
    const int32_t buf_stride = lv_area_get_width(draw_ctx->buf_area);
    lv_color_t* row = buf_row(draw_ctx, r.x1, r.y1);
    color = opaque(color);
    const bool cover = opa >= LV_OPA_MAX;

    if (!mask) {
        if (cover) {
            // Filled as plain words: the compiler turns this into wide stores.
            for (lv_coord_t y = r.y1; y <= r.y2; y++, row += buf_stride) {
                std::fill_n(reinterpret_cast<uint32_t*>(row), w, color.full);
            }
            return;
        }
        FixedMix mix_px(color, opa);
        for (lv_coord_t y = r.y1; y <= r.y2; y++, row += buf_stride) {
            for (int32_t x = 0; x < w; x++) row[x] = mix_px(row[x]);
        }
        return;
    }

    const int32_t mask_stride = lv_area_get_width(mask_area);
    const lv_opa_t* mrow = mask + (int32_t)(r.y1 - mask_area->y1) * mask_stride + (r.x1 - mask_area->x1);
    for (lv_coord_t y = r.y1; y <= r.y2; y++, row += buf_stride, mrow += mask_stride) {
        for (int32_t x = 0; x < w; x++) {
            uint32_t a = cover ? mrow[x] : (mrow[x] * (uint32_t)opa) >> 8;
            if (a == 0) continue;
            row[x] = a == 255 ? color : mix(color, row[x], a);
        }
    }
}

void blend_map(const lv_draw_ctx_t* draw_ctx, const lv_area_t& area, const lv_color_t* src,
               const lv_area_t& src_area, bool src_has_alpha, lv_opa_t opa) {
    if (opa < LV_OPA_MIN) return;
    lv_area_t r;
    if (!clip_to_ctx(draw_ctx, area, r) || !intersect(r, src_area)) return;

    const int32_t w = r.x2 - r.x1 + 1;
    const int32_t buf_stride = lv_area_get_width(draw_ctx->buf_area);
    const int32_t src_stride = lv_area_get_width(&src_area);
    lv_color_t* row = buf_row(draw_ctx, r.x1, r.y1);
    const lv_color_t* srow = src + (int32_t)(r.y1 - src_area.y1) * src_stride + (r.x1 - src_area.x1);
    const bool cover = opa >= LV_OPA_MAX;

    if (!src_has_alpha) {
        for (lv_coord_t y = r.y1; y <= r.y2; y++, row += buf_stride, srow += src_stride) {
            if (cover) {
                std::memcpy(row, srow, (size_t)w * sizeof(lv_color_t));
            } else {
                for (int32_t x = 0; x < w; x++) row[x] = mix(srow[x], row[x], opa);
            }
        }
        return;
    }

    for (lv_coord_t y = r.y1; y <= r.y2; y++, row += buf_stride, srow += src_stride) {
        for (int32_t x = 0; x < w; x++) {
            uint32_t a = srow[x].ch.alpha;
            if (!cover) a = (a * opa) >> 8;
            if (a == 0) continue;
            row[x] = a == 255 ? opaque(srow[x]) : mix(srow[x], row[x], a);
        }
    }
}

} // namespace gfx
