// Pixel blending primitives shared by every painter (rectangles, glyphs, images).
// All coordinates are absolute screen coordinates; nothing is written outside
// draw_ctx->clip_area or outside draw_ctx->buf_area.
#pragma once

#include "lv_draw.h"

namespace gfx {

// Blends a solid colour over `area`. When `mask` is given it is an 8-bit coverage map laid over
// `mask_area` (row stride = width of mask_area); coverage and `opa` multiply.
void blend_fill(const lv_draw_ctx_t* draw_ctx, const lv_area_t& area, lv_color_t color, lv_opa_t opa,
                const lv_opa_t* mask = nullptr, const lv_area_t* mask_area = nullptr);

// Blends a pixel map over `area`. `src` holds the pixels of `src_area` (row stride = width of
// src_area); with `src_has_alpha` the alpha byte of each source pixel is its coverage.
void blend_map(const lv_draw_ctx_t* draw_ctx, const lv_area_t& area, const lv_color_t* src,
               const lv_area_t& src_area, bool src_has_alpha, lv_opa_t opa);

// 8-bit divide by 255 as the renderer uses it everywhere: (x * 0x8081) >> 23.
inline uint32_t div255(uint32_t x) {
    return (x * 0x8081u) >> 23;
}

// Mixes `fg` over `bg` with coverage `a` (0..255); the result is opaque.
inline lv_color_t mix(lv_color_t fg, lv_color_t bg, uint32_t a) {
    lv_color_t r;
    uint32_t na = 255 - a;
    r.ch.red = (uint8_t)div255(fg.ch.red * a + bg.ch.red * na);
    r.ch.green = (uint8_t)div255(fg.ch.green * a + bg.ch.green * na);
    r.ch.blue = (uint8_t)div255(fg.ch.blue * a + bg.ch.blue * na);
    r.ch.alpha = 0xff;
    return r;
}

} // namespace gfx
