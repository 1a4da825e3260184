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

constexpr uint32_t kRB = 0x00ff00ff, kG = 0x0000ff00, kAlpha = 0xff000000;

// div255 on the two 16-bit lanes of `x` at once; (v + 1 + (v >> 8)) >> 8 equals div255(v) for every
// v up to 255 * 255, and no lane carries into the next.
inline uint32_t div255_rb(uint32_t x) {
    return ((x + 0x00010001u + ((x >> 8) & kRB)) >> 8) & kRB;
}
inline uint32_t div255_g(uint32_t x) { // x: green product in bits 8..23
    x >>= 8;
    return (x + 1 + (x >> 8)) & kG;
}

// gfx::mix with red and blue in one multiply: the same results, half the work.
inline uint32_t mix_px(uint32_t fg, uint32_t bg, uint32_t a) {
    uint32_t na = 255 - a;
    return kAlpha | div255_rb((fg & kRB) * a + (bg & kRB) * na) | div255_g((fg & kG) * a + (bg & kG) * na);
}

// One colour at one coverage over many pixels: the colour's share is computed once, and runs of
// equal destination pixels (backgrounds) reuse the last result.
struct FixedMix {
    uint32_t rb, g, na;
    uint32_t last_in, last_out;

    FixedMix(uint32_t c, uint32_t a) : rb((c & kRB) * a), g((c & kG) * a), na(255 - a) {
        last_in = 0;
        last_out = mix(0);
    }
    uint32_t mix(uint32_t bg) const {
        return kAlpha | div255_rb(rb + (bg & kRB) * na) | div255_g(g + (bg & kG) * na);
    }
    uint32_t operator()(uint32_t bg) {
        if (bg != last_in) {
            last_in = bg;
            last_out = mix(bg);
        }
        return last_out;
    }
};

uint32_t* words(lv_color_t* p) {
    return reinterpret_cast<uint32_t*>(p);
}
const uint32_t* words(const lv_color_t* p) {
    return reinterpret_cast<const uint32_t*>(p);
}

} // namespace

void blend_fill(const lv_draw_ctx_t* draw_ctx, const lv_area_t& area, lv_color_t color, lv_opa_t opa,
                const lv_opa_t* mask, const lv_area_t* mask_area) {
    if (opa <= LV_OPA_MIN) return;
    lv_area_t r;
    if (!clip_to_ctx(draw_ctx, area, r)) return;
    if (mask && mask_area && !intersect(r, *mask_area)) return;

    const int32_t w = r.x2 - r.x1 + 1;
    const int32_t buf_stride = lv_area_get_width(draw_ctx->buf_area);
    uint32_t* row = words(buf_row(draw_ctx, r.x1, r.y1));
    const uint32_t c = color.full | kAlpha;
    const bool cover = opa >= LV_OPA_MAX;

    if (!mask) {
        if (cover) {
            // The first row word by word, the others copied from it (memcpy is the widest store).
            const uint32_t* first = row;
            std::fill_n(row, w, c);
            for (lv_coord_t y = r.y1 + 1; y <= r.y2; y++) {
                row += buf_stride;
                std::memcpy(row, first, (size_t)w * sizeof(uint32_t));
            }
            return;
        }
        FixedMix mix_c(c, opa);
        for (lv_coord_t y = r.y1; y <= r.y2; y++, row += buf_stride) {
            for (int32_t x = 0; x < w; x++) row[x] = mix_c(row[x]);
        }
        return;
    }

    const int32_t mask_stride = lv_area_get_width(mask_area);
    const lv_opa_t* mrow = mask + (int32_t)(r.y1 - mask_area->y1) * mask_stride + (r.x1 - mask_area->x1);
    for (lv_coord_t y = r.y1; y <= r.y2; y++, row += buf_stride, mrow += mask_stride) {
        if (cover) {
            for (int32_t x = 0; x < w; x++) {
                uint32_t a = mrow[x];
                if (a == 255) {
                    row[x] = c;
                } else if (a != 0) {
                    row[x] = mix_px(c, row[x], a);
                }
            }
        } else {
            // Full coverage gives exactly `opa`, as a solid span at `opa` does; partial coverage
            // scales it with a shift.
            for (int32_t x = 0; x < w; x++) {
                const uint32_t m = mrow[x];
                const uint32_t a = m == 255 ? opa : (m * opa) >> 8;
                if (a == 255) {
                    row[x] = c;
                } else if (a != 0) {
                    row[x] = mix_px(c, row[x], a);
                }
            }
        }
    }
}

void blend_map(const lv_draw_ctx_t* draw_ctx, const lv_area_t& area, const lv_color_t* src,
               const lv_area_t& src_area, bool src_has_alpha, lv_opa_t opa) {
    if (opa <= LV_OPA_MIN) return;
    lv_area_t r;
    if (!clip_to_ctx(draw_ctx, area, r) || !intersect(r, src_area)) return;

    const int32_t w = r.x2 - r.x1 + 1;
    const int32_t buf_stride = lv_area_get_width(draw_ctx->buf_area);
    const int32_t src_stride = lv_area_get_width(&src_area);
    uint32_t* row = words(buf_row(draw_ctx, r.x1, r.y1));
    const uint32_t* srow = words(src) + (int32_t)(r.y1 - src_area.y1) * src_stride + (r.x1 - src_area.x1);
    const bool cover = opa >= LV_OPA_MAX;

    if (!src_has_alpha) {
        for (lv_coord_t y = r.y1; y <= r.y2; y++, row += buf_stride, srow += src_stride) {
            if (cover) {
                std::memcpy(row, srow, (size_t)w * sizeof(uint32_t));
            } else {
                for (int32_t x = 0; x < w; x++) row[x] = mix_px(srow[x], row[x], opa);
            }
        }
        return;
    }

    // Alpha is the top byte of a pixel word (B, G, R, A in memory, little-endian). Only 254 and 255
    // leave the alpha alone; below, nearly opaque pixels take the opacity as it is.
    const bool alpha_only = opa > LV_OPA_MAX;
    for (lv_coord_t y = r.y1; y <= r.y2; y++, row += buf_stride, srow += src_stride) {
        if (alpha_only) {
            for (int32_t x = 0; x < w; x++) {
                uint32_t px = srow[x], a = px >> 24;
                if (a == 255) {
                    row[x] = px;
                } else if (a != 0) {
                    row[x] = mix_px(px, row[x], a);
                }
            }
        } else {
            for (int32_t x = 0; x < w; x++) {
                const uint32_t alpha = srow[x] >> 24;
                if (alpha != 0)
                    row[x] = mix_px(srow[x], row[x], alpha >= LV_OPA_MAX ? opa : (alpha * opa) >> 8);
            }
        }
    }
}

} // namespace gfx
