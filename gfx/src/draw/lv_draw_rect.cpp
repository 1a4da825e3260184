// Rectangles: background, border and outline, drawn as LVGL 8.3's software renderer draws them so the
// pixels match. Rounded corners come from a coverage table of a quarter circle traced at four times
// the radius; rows of a corner are covered through radius masks (a rounded box, or everything outside
// one), straight runs are plain fills.
#include "lv_area.h"
#include "lv_draw_rect.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "draw/gfx_blend.h"

#ifndef LV_CIRCLE_CACHE_SIZE
#define LV_CIRCLE_CACHE_SIZE 4
#endif

namespace {

// Coverage of the pixels of a quarter circle of radius r, row by row. Row `cy` (0 = the row next to
// the centre, r - 1 = the outermost) has `count` entries starting at column `x_from`; entry i (from
// x_from outwards) is opa[start[cy] + count - 1 - i].
struct CircleTable {
    int32_t r = -1;
    uint32_t used = 0;
    std::vector<uint8_t> opa;
    std::vector<uint16_t> start; // per row, and one more
    std::vector<int32_t> x_from;
};

void trace_circle(CircleTable& t, int32_t r) {
    t.r = r;
    t.opa.clear();
    t.start.assign((size_t)r + 2, 0);
    t.x_from.assign((size_t)r + 1, 0);
    if (r == 1) {
        t.opa = {180};
        t.start[1] = 1;
        t.start[2] = 1;
        return;
    }

    // The first eighth from (r, 0) towards 45 degrees, by the midpoint method at four times the
    // radius; every four steps make one row of entries (x, y, coverage in 16ths).
    std::vector<int32_t> xs, ys;
    auto add = [&](int32_t x, int32_t y, int32_t sixteenths) {
        xs.push_back(x);
        ys.push_back(y);
        t.opa.push_back((uint8_t)(sixteenths * 16));
    };
    int32_t px = 4 * r, py = 0, err = 1 - 4 * r;
    for (int32_t row = 0; py <= px; row++) {
        int32_t xi[4], xf[4], n = 0;
        for (; n < 4; n++) {
            if (err <= 0) {
                err += 2 * py + 3;
            } else {
                err += 2 * (py - px) + 5;
                px--;
            }
            py++;
            if (py > px) break;
            xi[n] = px >> 2;
            xf[n] = px & 3;
        }
        if (n != 4) break;
        if (xi[0] == xi[3]) {
            add(xi[0], row, xf[0] + xf[1] + xf[2] + xf[3]);
        } else if (xi[0] != xi[1]) {
            add(xi[0], row, xf[0]);
            add(xi[0] - 1, row, 4 + xf[1] + xf[2] + xf[3]);
        } else if (xi[0] != xi[2]) {
            add(xi[0], row, xf[0] + xf[1]);
            add(xi[0] - 1, row, 8 + xf[2] + xf[3]);
        } else {
            add(xi[0], row, xf[0] + xf[1] + xf[2]);
            add(xi[0] - 1, row, 12 + xf[3]);
        }
    }
    // The point at 45 degrees: r / sqrt(2) in 1/1024 steps, its coverage from the fraction.
    const int32_t mid = r * 723, mid_int = mid >> 10;
    if (xs.empty() || xs.back() != mid_int || ys.back() != mid_int) {
        int32_t f = mid - (mid_int << 10);
        int32_t v = f <= 512 ? (f * f * 2) >> 16 : 15 - (((1024 - f) * (1024 - f) * 2) >> 16);
        add(mid_int, mid_int, v);
    }
    // The second eighth is the first mirrored at the diagonal.
    for (int32_t i = (int32_t)xs.size() - 2; i >= 0; i--) {
        xs.push_back(ys[(size_t)i]);
        ys.push_back(xs[(size_t)i]);
        t.opa.push_back(t.opa[(size_t)i]);
    }

    const size_t n = xs.size();
    size_t i = 0;
    for (int32_t y = 0; y <= r; y++) {
        t.start[(size_t)y] = (uint16_t)i;
        t.x_from[(size_t)y] = i < n ? xs[i] : 0;
        for (; i < n && ys[i] == y; i++) t.x_from[(size_t)y] = std::min(t.x_from[(size_t)y], xs[i]);
    }
    t.start[(size_t)r + 1] = (uint16_t)i;
}

const CircleTable& circle(int32_t r) {
    static std::array<CircleTable, LV_CIRCLE_CACHE_SIZE> cache;
    static uint32_t clock = 0;
    clock++;
    CircleTable* victim = &cache[0];
    for (CircleTable& t : cache) {
        if (t.r == r) {
            t.used = clock;
            return t;
        }
        if (t.used < victim->used) victim = &t;
    }
    trace_circle(*victim, r);
    victim->used = clock;
    return *victim;
}

enum class Cover { None, Full, Partial };

// A rounded box that keeps what is inside it, or (outside) what is outside it.
struct RadiusMask {
    lv_area_t box;
    int32_t r;
    bool outside;
    const CircleTable* table;

    RadiusMask(const lv_area_t& a, int32_t radius, bool keep_outside) : box(a), outside(keep_outside) {
        const int32_t short_side = std::min(lv_area_get_width(&a), lv_area_get_height(&a));
        r = std::max(std::min(radius, short_side >> 1), 0);
        table = r > 0 ? &circle(r) : nullptr;
    }

    // Scales an existing coverage by this mask's coverage `m`.
    static uint8_t mix(uint8_t m, uint8_t cur) {
        if (cur >= LV_OPA_MAX) return m;
        if (cur <= LV_OPA_MIN) return 0;
        return (uint8_t)gfx::div255((uint32_t)m * cur);
    }

    // Applies the mask to the coverage of pixels x .. x + len - 1 of row y.
    Cover apply(uint8_t* cov, int32_t x, int32_t y, int32_t len) const {
        auto zero = [&](int32_t from, int32_t n) {
            if (n > 0) std::memset(cov + from, 0, (size_t)n);
        };
        if (y < box.y1 || y > box.y2) return outside ? Cover::Full : Cover::None;

        if ((x >= box.x1 + r && x + len <= box.x2 - r) || (y >= box.y1 + r && y <= box.y2 - r)) {
            if (!outside) {
                const int32_t before = box.x1 - x;
                if (before > len) return Cover::None;
                if (before >= 0) zero(0, before);
                const int32_t end = box.x2 - x + 1;
                if (end <= 0) return Cover::None;
                if (end < len) zero(end, len - end);
                return before == 0 && end == len ? Cover::Full : Cover::Partial;
            }
            const int32_t from = std::max(box.x1 - x, 0);
            if (from <= len) zero(from, std::min(box.x2 - x - from + 1, len - from));
            return Cover::Partial;
        }

        const int32_t w = lv_area_get_width(&box), h = lv_area_get_height(&box);
        const int32_t ry = y - box.y1;
        const int32_t cy = ry < r ? r - ry - 1 : ry - (h - r);
        const CircleTable& t = *table;
        const int32_t n = t.start[(size_t)cy + 1] - t.start[(size_t)cy];
        const uint8_t* aa = &t.opa[t.start[(size_t)cy]];
        const int32_t right = box.x1 - x + w - r + t.x_from[(size_t)cy];
        const int32_t left = box.x1 - x + r - t.x_from[(size_t)cy] - 1;
        for (int32_t i = 0; i < n; i++) {
            const uint8_t m = outside ? (uint8_t)(255 - aa[n - 1 - i]) : aa[n - 1 - i];
            if (right + i >= 0 && right + i < len) cov[right + i] = mix(m, cov[right + i]);
            if (left - i >= 0 && left - i < len) cov[left - i] = mix(m, cov[left - i]);
        }
        if (!outside) {
            const int32_t r_from = std::clamp(right + n, 0, len);
            zero(r_from, len - r_from);
            zero(0, std::clamp(left - n + 1, 0, len));
        } else {
            const int32_t from = std::clamp(left + 1, 0, len);
            zero(from, std::clamp(right - from, 0, len - from));
        }
        return Cover::Partial;
    }
};

// Up to two masks applied in order to one row.
struct MaskStack {
    const RadiusMask* masks[2] = {nullptr, nullptr};

    Cover apply(uint8_t* cov, int32_t x, int32_t y, int32_t len) const {
        bool changed = false;
        for (const RadiusMask* m : masks) {
            if (m == nullptr) continue;
            const Cover c = m->apply(cov, x, y, len);
            if (c == Cover::None) return Cover::None;
            changed = changed || c == Cover::Partial;
        }
        return changed ? Cover::Partial : Cover::Full;
    }
};

std::vector<uint8_t>& scratch(size_t n) {
    static std::vector<uint8_t> buf;
    if (buf.size() < n) buf.resize(n);
    return buf;
}

void fill(const lv_draw_ctx_t* ctx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, lv_color_t color,
          lv_opa_t opa) {
    if (x1 > x2 || y1 > y2) return;
    const lv_area_t a{(lv_coord_t)x1, (lv_coord_t)y1, (lv_coord_t)x2, (lv_coord_t)y2};
    gfx::blend_fill(ctx, a, color, opa);
}

// One row [x1, x2] at y through the coverage in `cov` (as `masks` left it).
void fill_row(const lv_draw_ctx_t* ctx, int32_t x1, int32_t x2, int32_t y, lv_color_t color, lv_opa_t opa,
              const uint8_t* cov, Cover c) {
    if (c == Cover::None) return;
    if (c == Cover::Full) {
        fill(ctx, x1, y, x2, y, color, opa);
        return;
    }
    const lv_area_t a{(lv_coord_t)x1, (lv_coord_t)y, (lv_coord_t)x2, (lv_coord_t)y};
    gfx::blend_fill(ctx, a, color, opa, cov, &a);
}

bool clipped(const lv_draw_ctx_t* ctx, const lv_area_t& a, lv_area_t* out) {
    return _lv_area_intersect(out, &a, ctx->clip_area);
}

void draw_bg(const lv_draw_ctx_t* ctx, const lv_draw_rect_dsc_t* dsc, const lv_area_t& coords) {
    if (dsc->bg_opa <= LV_OPA_MIN) return;
    lv_area_t bg = coords;
    // Under an opaque border of more than one pixel the background stops a pixel short on the
    // bordered sides, so the two anti-aliased outer edges do not both tint the corner pixels.
    if (dsc->border_width > 1 && dsc->border_opa >= LV_OPA_MAX && dsc->radius != 0) {
        if (dsc->border_side & LV_BORDER_SIDE_LEFT) bg.x1++;
        if (dsc->border_side & LV_BORDER_SIDE_TOP) bg.y1++;
        if (dsc->border_side & LV_BORDER_SIDE_RIGHT) bg.x2--;
        if (dsc->border_side & LV_BORDER_SIDE_BOTTOM) bg.y2--;
    }
    lv_area_t clip;
    if (!clipped(ctx, bg, &clip)) return;
    if (dsc->radius == 0) {
        gfx::blend_fill(ctx, bg, dsc->bg_color, dsc->bg_opa);
        return;
    }

    const lv_opa_t opa = dsc->bg_opa >= LV_OPA_MAX ? (lv_opa_t)LV_OPA_COVER : dsc->bg_opa;
    const int32_t short_side = std::min(lv_area_get_width(&bg), lv_area_get_height(&bg));
    const int32_t r = std::min<int32_t>(dsc->radius, short_side >> 1);
    if (r > 0) {
        const RadiusMask mask(bg, r, false);
        const int32_t w = lv_area_get_width(&clip);
        uint8_t* cov = scratch((size_t)w).data();
        for (int32_t i = 0; i < r; i++) {
            const int32_t top = bg.y1 + i, bottom = bg.y2 - i;
            if (top < clip.y1 && bottom > clip.y2) continue;
            // The coverage starts at the opacity, so the fill itself is opaque.
            std::memset(cov, opa, (size_t)w);
            Cover c = mask.apply(cov, clip.x1, top, w);
            if (c == Cover::Full) c = Cover::Partial;
            if (top >= clip.y1) fill_row(ctx, clip.x1, clip.x2, top, dsc->bg_color, LV_OPA_COVER, cov, c);
            if (bottom <= clip.y2)
                fill_row(ctx, clip.x1, clip.x2, bottom, dsc->bg_color, LV_OPA_COVER, cov, c);
        }
    }
    fill(ctx, clip.x1, bg.y1 + r, clip.x2, bg.y2 - r, dsc->bg_color, opa);
}

// Straight sides only, for a border without any rounding.
void draw_frame_square(const lv_draw_ctx_t* ctx, const lv_area_t& out, const lv_area_t& in, lv_color_t color,
                       lv_opa_t opa) {
    const bool top = out.y1 <= in.y1, bottom = out.y2 >= in.y2;
    const bool left = out.x1 <= in.x1, right = out.x2 >= in.x2;
    if (top) fill(ctx, out.x1, out.y1, out.x2, in.y1 - 1, color, opa);
    if (bottom) fill(ctx, out.x1, in.y2 + 1, out.x2, out.y2, color, opa);
    const int32_t y1 = top ? in.y1 : out.y1, y2 = bottom ? in.y2 : out.y2;
    if (left) fill(ctx, out.x1, y1, in.x1 - 1, y2, color, opa);
    if (right) fill(ctx, in.x2 + 1, y1, out.x2, y2, color, opa);
}

// The ring between the rounded boxes `out` (radius rout) and `in` (radius rin). A side of `in` that lies
// beyond `out` leaves that side open.
void draw_frame(const lv_draw_ctx_t* ctx, const lv_area_t& out, const lv_area_t& in, int32_t rout,
                int32_t rin, lv_color_t color, lv_opa_t opa) {
    if (rout == 0 && rin == 0) {
        draw_frame_square(ctx, out, in, color, opa);
        return;
    }
    lv_area_t draw;
    if (!clipped(ctx, out, &draw)) return;
    const int32_t draw_w = lv_area_get_width(&draw);
    uint8_t* cov = scratch((size_t)draw_w).data();

    const RadiusMask outer(out, rout, false);
    const RadiusMask inner(in, rin, true);
    MaskStack masks;
    masks.masks[0] = rout > 0 ? &outer : nullptr;
    masks.masks[1] = &inner;

    const int32_t core_x1 = std::max(out.x1 + rout, (int32_t)in.x1),
                  core_x2 = std::min(out.x2 - rout, (int32_t)in.x2);
    const int32_t core_y1 = std::max(out.y1 + rout, (int32_t)in.y1),
                  core_y2 = std::min(out.y2 - rout, (int32_t)in.y2);
    const bool top = out.y1 <= in.y1, bottom = out.y2 >= in.y2;
    const bool left = out.x1 <= in.x1, right = out.x2 >= in.x2;
    // A small closed ring is drawn in whole rows; otherwise the long straight runs are plain fills.
    const bool split = !(left && right && top && bottom && core_x2 - core_x1 + 1 < 50);

    if (top && split) fill(ctx, core_x1, out.y1, core_x2, in.y1 - 1, color, opa);
    if (bottom && split) fill(ctx, core_x1, in.y2 + 1, core_x2, out.y2, color, opa);
    if (left) fill(ctx, out.x1, core_y1, in.x1 - 1, core_y2, color, opa);
    if (right) fill(ctx, in.x2 + 1, core_y1, out.x2, core_y2, color, opa);

    auto masked_row = [&](int32_t x1, int32_t x2, int32_t y) {
        const int32_t w = x2 - x1 + 1;
        std::memset(cov, 0xFF, (size_t)w);
        fill_row(ctx, x1, x2, y, color, opa, cov, masks.apply(cov, x1, y, w));
    };
    if (!split) {
        const int32_t rows = std::max<int32_t>(rout, in.y1 - out.y1);
        for (int32_t i = 0; i < rows; i++) {
            const int32_t y_top = out.y1 + i, y_bottom = out.y2 - i;
            if (y_top < draw.y1 && y_bottom > draw.y2) continue;
            std::memset(cov, 0xFF, (size_t)draw_w);
            const Cover c = masks.apply(cov, draw.x1, y_top, draw_w);
            if (y_top >= draw.y1) fill_row(ctx, draw.x1, draw.x2, y_top, color, opa, cov, c);
            if (y_bottom <= draw.y2) fill_row(ctx, draw.x1, draw.x2, y_bottom, color, opa, cov, c);
        }
        return;
    }
    struct Corner {
        int32_t x1, x2;
        bool upper, lower;
    };
    const Corner corners[] = {
        {draw.x1, std::min<int32_t>(draw.x2, core_x1 - 1), left || top, left || bottom},
        {std::max<int32_t>(draw.x1, core_x2 + 1), draw.x2, right || top, right || bottom},
    };
    for (const Corner& c : corners) {
        if (c.x2 < c.x1) continue;
        if (c.upper) {
            for (int32_t y = draw.y1; y < core_y1; y++) masked_row(c.x1, c.x2, y);
        }
        if (c.lower) {
            for (int32_t y = core_y2 + 1; y <= draw.y2; y++) masked_row(c.x1, c.x2, y);
        }
    }
}

void draw_border(const lv_draw_ctx_t* ctx, const lv_draw_rect_dsc_t* dsc, const lv_area_t& coords) {
    if (dsc->border_opa <= LV_OPA_MIN || dsc->border_width == 0 || dsc->border_side == LV_BORDER_SIDE_NONE)
        return;
    if (dsc->border_post) return;
    const int32_t short_side = std::min(lv_area_get_width(&coords), lv_area_get_height(&coords));
    const int32_t rout = std::min<int32_t>(dsc->radius, short_side >> 1);
    const int32_t bw = dsc->border_width;
    // A side without border moves the inner edge out past the outer one.
    auto inset = [&](lv_border_side_t side) { return (dsc->border_side & side) ? bw : -(bw + rout); };
    lv_area_t in = coords;
    in.x1 = (lv_coord_t)(in.x1 + inset(LV_BORDER_SIDE_LEFT));
    in.x2 = (lv_coord_t)(in.x2 - inset(LV_BORDER_SIDE_RIGHT));
    in.y1 = (lv_coord_t)(in.y1 + inset(LV_BORDER_SIDE_TOP));
    in.y2 = (lv_coord_t)(in.y2 - inset(LV_BORDER_SIDE_BOTTOM));
    const lv_opa_t opa = dsc->border_opa >= LV_OPA_COVER ? (lv_opa_t)LV_OPA_COVER : dsc->border_opa;
    draw_frame(ctx, coords, in, rout, std::max(rout - bw, 0), dsc->border_color, opa);
}

void draw_outline(const lv_draw_ctx_t* ctx, const lv_draw_rect_dsc_t* dsc, const lv_area_t& coords) {
    if (dsc->outline_opa <= LV_OPA_MIN || dsc->outline_width == 0) return;
    // One pixel closer than the padding, so nothing shows between the box and an outline at 0.
    const int32_t pad = dsc->outline_pad - 1, ow = dsc->outline_width;
    const lv_area_t in{(lv_coord_t)(coords.x1 - pad), (lv_coord_t)(coords.y1 - pad),
                       (lv_coord_t)(coords.x2 + pad), (lv_coord_t)(coords.y2 + pad)};
    const lv_area_t out{(lv_coord_t)(in.x1 - ow), (lv_coord_t)(in.y1 - ow), (lv_coord_t)(in.x2 + ow),
                        (lv_coord_t)(in.y2 + ow)};
    const int32_t short_side = std::min(lv_area_get_width(&in), lv_area_get_height(&in));
    const int32_t rin = std::min<int32_t>(dsc->radius, short_side >> 1);
    const lv_opa_t opa = dsc->outline_opa >= LV_OPA_COVER ? (lv_opa_t)LV_OPA_COVER : dsc->outline_opa;
    draw_frame(ctx, out, in, rin + ow, rin, dsc->outline_color, opa);
}

} // namespace

void lv_draw_rect_dsc_init(lv_draw_rect_dsc_t* dsc) {
    std::memset(dsc, 0, sizeof(*dsc));
    dsc->bg_color = lv_color_white();
    dsc->bg_opa = LV_OPA_COVER;
    dsc->border_color = lv_color_black();
    dsc->border_opa = LV_OPA_COVER;
    dsc->border_side = LV_BORDER_SIDE_FULL;
    dsc->outline_color = lv_color_black();
    dsc->outline_opa = LV_OPA_COVER;
}

void lv_draw_rect(lv_draw_ctx_t* draw_ctx, const lv_draw_rect_dsc_t* dsc, const lv_area_t* coords) {
    if (lv_area_get_width(coords) < 1 || lv_area_get_height(coords) < 1) return;
    draw_bg(draw_ctx, dsc, *coords);
    draw_border(draw_ctx, dsc, *coords);
    draw_outline(draw_ctx, dsc, *coords);
}
