// Rectangles: background, border and outline. Each is an anti-aliased rounded shape, or a ring
// between two such shapes; straight runs go to the solid fill, only curved edge pixels take a mask.
#include "lv_draw_rect.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "draw/gfx_blend.h"

#ifndef LV_CIRCLE_CACHE_SIZE
#define LV_CIRCLE_CACHE_SIZE 4
#endif

namespace {

// Inclusive box with rounded corners; r is at most half of the shorter side. 32-bit so that
// shapes grown past the screen (outline, one-sided borders) cannot overflow.
struct Shape {
    int32_t x1, y1, x2, y2, r;
};

Shape make_shape(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t radius) {
    int32_t short_side = std::min(x2 - x1 + 1, y2 - y1 + 1);
    return {x1, y1, x2, y2, std::clamp(radius, 0, std::max(short_side / 2, 0))};
}

bool shape_empty(const Shape& s) {
    return s.x1 > s.x2 || s.y1 > s.y2;
}

// Area of the disc of radius r around the origin inside the box [u0, u1] x [v0, v1] (all >= 0).
double disc_area_in_box(double r, double u0, double u1, double v0, double v1) {
    auto height_at = [r](double v) { return v >= r ? 0.0 : std::sqrt(r * r - v * v); };
    auto integral = [r](double u) { // of sqrt(r^2 - t^2) from 0 to u
        u = std::min(u, r);
        return 0.5 * (u * std::sqrt(r * r - u * u) + r * r * std::asin(u / r));
    };
    double ua = std::clamp(height_at(v1), u0, u1); // up to ua the disc covers the box's full height
    double ub = std::clamp(height_at(v0), u0, u1); // beyond ub it misses the box
    return (v1 - v0) * (ua - u0) + integral(ub) - integral(ua) - v0 * (ub - ua);
}

// Coverage of the top-left corner of radius r. Row j (0 = outermost) is empty before column
// `first`, full from column `full` on, and partial in between; those bytes are kept once in
// reading order (`left`) and once mirrored for the right-hand corners (`right`).
struct CornerMask {
    struct RowInfo {
        int32_t first, full;
        uint32_t ofs;
    };
    int32_t r = -1;
    uint32_t used = 0;
    std::vector<RowInfo> rows;
    std::vector<uint8_t> left, right;
};

void build_corner(CornerMask& m, int32_t r) {
    const int64_t rr = (int64_t)r * r;
    // Pixel (i, j) spans r - i - 1 .. r - i horizontally from the centre, likewise vertically.
    auto far_inside = [&](int32_t i, int32_t j) {
        return (int64_t)(r - i) * (r - i) + (int64_t)(r - j) * (r - j) <= rr;
    };
    auto near_inside = [&](int32_t i, int32_t j) {
        return (int64_t)(r - i - 1) * (r - i - 1) + (int64_t)(r - j - 1) * (r - j - 1) < rr;
    };
    m.r = r;
    m.rows.resize((size_t)r);
    m.left.clear();
    m.right.clear();
    int32_t first = r, full = r;
    for (int32_t j = 0; j < r; j++) {
        // Both bounds only move left as j grows.
        while (first > 0 && near_inside(first - 1, j)) first--;
        while (full > 0 && far_inside(full - 1, j)) full--;
        m.rows[(size_t)j] = {first, full, (uint32_t)m.left.size()};
        for (int32_t i = first; i < full; i++) {
            // Same argument order for (i, j) and (j, i) so the corner is exactly symmetric.
            int32_t a = std::min(i, j), b = std::max(i, j);
            double cov = disc_area_in_box(r, r - a - 1, r - a, r - b - 1, r - b);
            m.left.push_back((uint8_t)std::lround(std::clamp(cov, 0.0, 1.0) * 255.0));
        }
        m.right.insert(m.right.end(), m.left.rbegin(), m.left.rbegin() + (full - first));
    }
}

const CornerMask& corner_mask(int32_t r) {
    static std::array<CornerMask, LV_CIRCLE_CACHE_SIZE> cache;
    static uint32_t clock = 0;
    clock++;
    CornerMask* victim = &cache[0];
    for (CornerMask& m : cache) {
        if (m.r == r) {
            m.used = clock;
            return m;
        }
        if (m.used < victim->used) victim = &m;
    }
    build_corner(*victim, r);
    victim->used = clock;
    return *victim;
}

// One row of a shape: [x1, x2], empty for `first` pixels at each end, then partially covered up
// to `full` pixels from each end (coverage in `left`, mirrored in `right`), full in between.
struct Row {
    int32_t x1, x2, first, full;
    const uint8_t* left;
    const uint8_t* right;
};

bool curved(const Shape& s, int32_t y) {
    return s.r > 0 && (y < s.y1 + s.r || y > s.y2 - s.r);
}

Row shape_row(const Shape& s, int32_t y) {
    if (!curved(s, y)) return {s.x1, s.x2, 0, 0, nullptr, nullptr};
    const CornerMask& m = corner_mask(s.r);
    const CornerMask::RowInfo& ri = m.rows[(size_t)(y < s.y1 + s.r ? y - s.y1 : s.y2 - y)];
    return {s.x1, s.x2, ri.first, ri.full, &m.left[ri.ofs], &m.right[ri.ofs]};
}

uint32_t row_cov(const Row& row, int32_t x) {
    if (x < row.x1 || x > row.x2) return 0;
    int32_t from_edge = std::min(x - row.x1, row.x2 - x);
    if (from_edge >= row.full) return 255;
    if (from_edge < row.first) return 0;
    return row.left[from_edge - row.first];
}

// Paints one colour with one opacity into the clip area, clipping in 32 bits before narrowing.
struct Painter {
    const lv_draw_ctx_t* ctx;
    lv_area_t clip; // clip area within the buffer
    lv_color_t color;
    lv_opa_t opa;
    std::vector<uint8_t>& cov; // scratch coverage for ring pieces

    void rect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) const {
        x1 = std::max<int32_t>(x1, clip.x1);
        y1 = std::max<int32_t>(y1, clip.y1);
        x2 = std::min<int32_t>(x2, clip.x2);
        y2 = std::min<int32_t>(y2, clip.y2);
        if (x1 > x2 || y1 > y2) return;
        lv_area_t a{(lv_coord_t)x1, (lv_coord_t)y1, (lv_coord_t)x2, (lv_coord_t)y2};
        gfx::blend_fill(ctx, a, color, opa);
    }

    // A row segment starting at x1 with per-pixel coverage `mask` of `len` pixels.
    void masked(int32_t x1, int32_t y, const uint8_t* mask, int32_t len) const {
        int32_t s = std::max<int32_t>(x1, clip.x1);
        int32_t e = std::min<int32_t>(x1 + len - 1, clip.x2);
        if (s > e) return;
        lv_area_t a{(lv_coord_t)s, (lv_coord_t)y, (lv_coord_t)e, (lv_coord_t)y};
        gfx::blend_fill(ctx, a, color, opa, mask + (s - x1), &a);
    }

    void full_row(const Row& row, int32_t y) const {
        int32_t n = row.full - row.first;
        if (n > 0) {
            masked(row.x1 + row.first, y, row.left, n);
            masked(row.x2 - row.full + 1, y, row.right, n);
        }
        rect(row.x1 + row.full, y, row.x2 - row.full, y);
    }

    // The part of the outer row not covered by the inner row, for x in [x1, x2].
    void ring_piece(const Row& out, const Row& in, int32_t x1, int32_t x2, int32_t y) {
        x1 = std::max<int32_t>(x1, clip.x1);
        x2 = std::min<int32_t>(x2, clip.x2);
        if (x1 > x2) return;
        int32_t len = x2 - x1 + 1;
        if (cov.size() < (size_t)len) cov.resize((size_t)len);
        bool solid = true;
        for (int32_t x = x1; x <= x2; x++) {
            int32_t c = (int32_t)row_cov(out, x) - (int32_t)row_cov(in, x);
            cov[(size_t)(x - x1)] = (uint8_t)std::max(c, 0);
            solid = solid && c == 255;
        }
        if (solid) {
            rect(x1, y, x2, y);
        } else {
            masked(x1, y, cov.data(), len);
        }
    }
};

// Fills `outer` minus `inner` (a background when inner is null). Rows where neither shape bends
// are painted as whole bands of rectangles.
void draw_shape(const lv_draw_ctx_t* ctx, const Shape& outer, const Shape* inner, lv_color_t color,
                lv_opa_t opa) {
    if (opa < LV_OPA_MIN || shape_empty(outer)) return;
    static std::vector<uint8_t> scratch;
    Painter p{ctx, {}, color, opa, scratch};
    const lv_area_t& c = *ctx->clip_area;
    const lv_area_t& b = *ctx->buf_area;
    p.clip = {std::max(c.x1, b.x1), std::max(c.y1, b.y1), std::min(c.x2, b.x2), std::min(c.y2, b.y2)};
    if (p.clip.x1 > p.clip.x2 || p.clip.y1 > p.clip.y2) return;
    if (outer.x2 < p.clip.x1 || outer.x1 > p.clip.x2) return;
    if (inner && shape_empty(*inner)) inner = nullptr;

    auto in_inner = [&](int32_t y) { return inner && y >= inner->y1 && y <= inner->y2; };
    auto bends = [&](int32_t y) { return curved(outer, y) || (in_inner(y) && curved(*inner, y)); };

    const int32_t y_end = std::min<int32_t>(outer.y2, p.clip.y2);
    for (int32_t y = std::max<int32_t>(outer.y1, p.clip.y1); y <= y_end; y++) {
        if (!bends(y)) {
            bool hole = in_inner(y);
            int32_t y2 = y;
            while (y2 < y_end && !bends(y2 + 1) && in_inner(y2 + 1) == hole) y2++;
            if (!hole) {
                p.rect(outer.x1, y, outer.x2, y2);
            } else {
                p.rect(outer.x1, y, std::min(outer.x2, inner->x1 - 1), y2);
                p.rect(std::max(outer.x1, inner->x2 + 1), y, outer.x2, y2);
            }
            y = y2;
            continue;
        }
        Row out = shape_row(outer, y);
        if (!in_inner(y)) {
            p.full_row(out, y);
            continue;
        }
        Row in = shape_row(*inner, y);
        int32_t x1 = out.x1 + out.first, x2 = out.x2 - out.first;
        int32_t solid1 = in.x1 + in.full, solid2 = in.x2 - in.full;
        if (solid1 > solid2) {
            p.ring_piece(out, in, x1, x2, y);
        } else {
            p.ring_piece(out, in, x1, std::min(x2, solid1 - 1), y);
            p.ring_piece(out, in, std::max(x1, solid2 + 1), x2, y);
        }
    }
}

void draw_border(const lv_draw_ctx_t* ctx, const lv_draw_rect_dsc_t* dsc, const Shape& outer) {
    lv_border_side_t side = dsc->border_side & LV_BORDER_SIDE_FULL;
    if (dsc->border_width <= 0 || side == LV_BORDER_SIDE_NONE) return;
    const int32_t bw = dsc->border_width;
    // A side without border pushes the inner edge beyond the outer one, far enough that the inner
    // shape's corners on that side fall outside.
    const int32_t away = outer.r + bw + 1;
    const Shape in =
        make_shape(outer.x1 + ((side & LV_BORDER_SIDE_LEFT) ? bw : -away),
                   outer.y1 + ((side & LV_BORDER_SIDE_TOP) ? bw : -away),
                   outer.x2 - ((side & LV_BORDER_SIDE_RIGHT) ? bw : -away),
                   outer.y2 - ((side & LV_BORDER_SIDE_BOTTOM) ? bw : -away), std::max(outer.r - bw, 0));
    draw_shape(ctx, outer, &in, dsc->border_color, dsc->border_opa);
}

void draw_outline(const lv_draw_ctx_t* ctx, const lv_draw_rect_dsc_t* dsc, const Shape& box) {
    if (dsc->outline_width <= 0) return;
    const int32_t pad = dsc->outline_pad, ow = dsc->outline_width;
    Shape in =
        make_shape(box.x1 - pad, box.y1 - pad, box.x2 + pad, box.y2 + pad, box.r > 0 ? box.r + pad : 0);
    Shape out = make_shape(in.x1 - ow, in.y1 - ow, in.x2 + ow, in.y2 + ow, in.r > 0 ? in.r + ow : 0);
    draw_shape(ctx, out, &in, dsc->outline_color, dsc->outline_opa);
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
    if (coords->x1 > coords->x2 || coords->y1 > coords->y2) return;
    const Shape box = make_shape(coords->x1, coords->y1, coords->x2, coords->y2, dsc->radius);

    if (dsc->bg_opa >= LV_OPA_MIN) {
        // Under an opaque full border the background stops one pixel short, so the two
        // anti-aliased outer edges do not both tint the same pixels.
        bool tucked = box.r > 0 && dsc->border_width > 1 && dsc->border_opa >= LV_OPA_MAX &&
                      (dsc->border_side & LV_BORDER_SIDE_FULL) == LV_BORDER_SIDE_FULL;
        Shape bg = tucked ? make_shape(box.x1 + 1, box.y1 + 1, box.x2 - 1, box.y2 - 1, box.r - 1) : box;
        draw_shape(draw_ctx, bg, nullptr, dsc->bg_color, dsc->bg_opa);
    }
    if (dsc->border_opa >= LV_OPA_MIN) draw_border(draw_ctx, dsc, box);
    if (dsc->outline_opa >= LV_OPA_MIN) draw_outline(draw_ctx, dsc, box);
}
