// Rectangles: fills, opacity, rounded corners, borders, outlines and clipping, on a bare draw buffer.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "gfx_fixture.h"

namespace {

constexpr uint32_t kBlue = 0x0000ff, kGreen = 0x00ff00, kRed = 0xff0000;

lv_draw_rect_dsc_t rect_dsc(uint32_t bg, lv_coord_t radius = 0, lv_opa_t bg_opa = LV_OPA_COVER) {
    lv_draw_rect_dsc_t d;
    lv_draw_rect_dsc_init(&d);
    d.bg_color = lv_color_hex(bg);
    d.bg_opa = bg_opa;
    d.radius = radius;
    return d;
}

lv_draw_rect_dsc_t border_dsc(lv_coord_t width, lv_coord_t radius, lv_border_side_t side) {
    lv_draw_rect_dsc_t d = rect_dsc(0, radius, LV_OPA_TRANSP);
    d.border_color = lv_color_hex(kRed);
    d.border_width = width;
    d.border_side = side;
    return d;
}

void draw(Canvas& cv, const lv_draw_rect_dsc_t& d, lv_area_t a) {
    lv_draw_rect(&cv.ctx, &d, &a);
}

// How much of a green fill over blue reached the pixel, 0..255.
uint32_t green_share(uint32_t px) {
    return (px >> 8) & 0xff;
}

} // namespace

TEST(DrawRect, FillsExactlyItsAreaMixedByItsOpacity) {
    const struct {
        lv_opa_t opa;
        uint32_t inside;
    } cases[] = {{253, kGreen}, {128, 0x00807f}, {2, kBlue}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.opa);
        Canvas cv(20, 20, kBlue);
        draw(cv, rect_dsc(kGreen, 0, c.opa), {5, 6, 14, 9});
        for (lv_coord_t y = 0; y < 20; y++) {
            for (lv_coord_t x = 0; x < 20; x++) {
                const bool inside = x >= 5 && x <= 14 && y >= 6 && y <= 9;
                ASSERT_EQ(cv.at(x, y), inside ? c.inside : kBlue) << x << "," << y;
            }
        }
    }
    // A half-transparent border over the half-transparent background.
    Canvas cv(30, 30, kBlue);
    lv_draw_rect_dsc_t d = rect_dsc(kGreen, 5, 128);
    d.border_color = lv_color_hex(kRed);
    d.border_width = 2;
    d.border_opa = LV_OPA_50;
    draw(cv, d, {0, 0, 29, 29});
    EXPECT_EQ(cv.at(0, 15), 0x7f403fu);
}

TEST(DrawRect, RoundedCornersAreSmoothSymmetricQuarterDiscs) {
    for (lv_coord_t r : {4, 7, 10, 24}) {
        SCOPED_TRACE("radius " + std::to_string(r));
        const lv_area_t a{10, 10, 69, 59};
        Canvas cv(80, 70, kBlue);
        draw(cv, rect_dsc(kGreen, r), a);
        EXPECT_EQ(cv.at(a.x1, a.y1), kBlue) << "the corner pixel stays background";
        EXPECT_EQ(cv.at(a.x1, a.y1 + r), kGreen) << "the straight edges start after the corner";
        EXPECT_EQ(cv.at(a.x1 + r, a.y1), kGreen);

        double covered = 0;
        for (lv_coord_t j = 0; j < r; j++) {
            uint32_t prev = 0;
            for (lv_coord_t i = 0; i < r; i++) {
                const uint32_t tl = cv.at(a.x1 + i, a.y1 + j);
                ASSERT_EQ(cv.at(a.x2 - i, a.y1 + j), tl) << "top right " << i << "," << j;
                ASSERT_EQ(cv.at(a.x1 + i, a.y2 - j), tl) << "bottom left " << i << "," << j;
                ASSERT_EQ(cv.at(a.x2 - i, a.y2 - j), tl) << "bottom right " << i << "," << j;
                ASSERT_EQ(cv.at(a.x1 + j, a.y1 + i), tl) << "mirrored about the diagonal";
                ASSERT_GE(green_share(tl), prev) << "coverage grows towards the inside";
                prev = green_share(tl);
                covered += prev / 255.0;
            }
        }
        // The corner box holds a quarter disc: pi r^2 / 4 pixels of coverage.
        EXPECT_NEAR(covered, M_PI * r * r / 4, 0.1 * r);
    }

    // The radius is at most half the short side, whatever is asked.
    const lv_area_t pill{2, 2, 21, 11}; // 20 x 10
    Canvas half(24, 14, kBlue), circle(24, 14, kBlue);
    draw(half, rect_dsc(kGreen, 5), pill);
    draw(circle, rect_dsc(kGreen, LV_RADIUS_CIRCLE), pill);
    for (size_t i = 0; i < half.px.size(); i++) ASSERT_EQ(circle.px[i].full, half.px[i].full) << i;
    EXPECT_EQ(half.at(11, 2), kGreen) << "a pill keeps its straight top edge";
    EXPECT_GT(green_share(half.at(2, 6)), 240u) << "the round ends reach the box";
}

TEST(DrawRect, BordersCoverTheirSidesOnly) {
    const lv_border_side_t sides[] = {LV_BORDER_SIDE_FULL, LV_BORDER_SIDE_BOTTOM, LV_BORDER_SIDE_NONE,
                                      LV_BORDER_SIDE_TOP | LV_BORDER_SIDE_LEFT,
                                      LV_BORDER_SIDE_LEFT | LV_BORDER_SIDE_RIGHT};
    const lv_area_t a{4, 3, 33, 22};
    const lv_coord_t bw = 3;
    for (lv_border_side_t side : sides) {
        SCOPED_TRACE("sides " + std::to_string(side));
        Canvas cv(40, 30, kBlue);
        draw(cv, border_dsc(bw, 0, side), a);
        for (lv_coord_t y = 0; y < 30; y++) {
            for (lv_coord_t x = 0; x < 40; x++) {
                const bool in_box = x >= a.x1 && x <= a.x2 && y >= a.y1 && y <= a.y2;
                const bool edge = (side & LV_BORDER_SIDE_TOP && y < a.y1 + bw) ||
                                  (side & LV_BORDER_SIDE_BOTTOM && y > a.y2 - bw) ||
                                  (side & LV_BORDER_SIDE_LEFT && x < a.x1 + bw) ||
                                  (side & LV_BORDER_SIDE_RIGHT && x > a.x2 - bw);
                ASSERT_EQ(cv.at(x, y), in_box && edge ? kRed : kBlue) << x << "," << y;
            }
        }
    }

    // A rounded ring: as wide as the border on the straight parts, bw / sqrt(2) along the corner's
    // diagonal.
    const lv_area_t b{5, 5, 54, 44};
    const lv_coord_t r = 10, w = 2;
    Canvas ring(60, 50, kBlue);
    draw(ring, border_dsc(w, r, LV_BORDER_SIDE_FULL), b);
    EXPECT_EQ((std::vector<uint32_t>{ring.at(b.x1, b.y1), ring.at(b.x1 + w - 1, 25), ring.at(b.x1 + w, 25),
                                     ring.at(b.x2 - w + 1, 25), ring.at(b.x2 - w, 25)}),
              (std::vector<uint32_t>{kBlue, kRed, kBlue, kRed, kBlue}));
    double diag = 0;
    for (lv_coord_t i = 0; i < r; i++) diag += ((ring.at(b.x1 + i, b.y1 + i) >> 16) & 0xff) / 255.0;
    EXPECT_NEAR(diag, w / std::sqrt(2.0), 0.3);
}

TEST(DrawRect, AnyRectangleStaysInsideTheClipAreaAndAgreesWithTheWholePicture) {
    // Random shapes (partly off the buffer, huge radii, thick borders, some sides, outlines) drawn
    // once whole and once through a random clip area, or into a strip of the buffer at its place on
    // the screen: outside the clip nothing changes, inside it the pixels are those of the whole picture.
    std::mt19937 rng(20240611);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int n = 0; n < 300; n++) {
        lv_draw_rect_dsc_t d =
            rect_dsc(kGreen, (lv_coord_t)(pick(0, 5) == 0 ? LV_RADIUS_CIRCLE : pick(0, 30)),
                     (lv_opa_t)(pick(0, 1) ? 255 : pick(0, 255)));
        d.border_color = lv_color_hex(kRed);
        d.border_opa = (lv_opa_t)pick(0, 255);
        d.border_side = (lv_border_side_t)pick(0, 15);
        d.outline_color = lv_color_hex(0xffffff);
        d.outline_width = (lv_coord_t)pick(0, 4);
        d.outline_pad = (lv_coord_t)pick(0, 3);
        const lv_coord_t x1 = (lv_coord_t)pick(-30, 60), y1 = (lv_coord_t)pick(-30, 50);
        const lv_area_t a{x1, y1, (lv_coord_t)(x1 + pick(0, 80)), (lv_coord_t)(y1 + pick(0, 60))};
        // A border thicker than half the box runs past it, and LVGL then draws only as far as the
        // clip area reaches the box: only proper rings must agree.
        d.border_width = (lv_coord_t)std::min<int>(
            pick(0, 12), std::min(lv_area_get_width(&a), lv_area_get_height(&a)) / 2);
        const lv_coord_t cx = (lv_coord_t)pick(0, 63), cy = (lv_coord_t)pick(0, 47);
        const lv_coord_t sy = (lv_coord_t)pick(0, 40), sh = (lv_coord_t)pick(1, 48 - sy);
        SCOPED_TRACE("case " + std::to_string(n));

        Canvas whole(64, 48, kBlue), part(64, 48, kBlue), strip(64, sh, kBlue, 0, sy);
        part.clip = {cx, cy, (lv_coord_t)(cx + pick(0, 30)), (lv_coord_t)(cy + pick(0, 30))};
        for (Canvas* cv : {&whole, &part, &strip}) draw(*cv, d, a);
        for (lv_coord_t y = 0; y < 48; y++) {
            for (lv_coord_t x = 0; x < 64; x++) {
                ASSERT_EQ(part.at(x, y), part.inside_clip(x, y) ? whole.at(x, y) : kBlue) << x << "," << y;
                ASSERT_TRUE(!strip.inside_clip(x, y) || strip.at(x, y) == whole.at(x, y)) << x << "," << y;
            }
        }
    }
    // Far larger than the buffer.
    Canvas small(10, 10, kBlue, 100, 100);
    lv_draw_rect_dsc_t card = rect_dsc(0xffffff, LV_RADIUS_CIRCLE);
    card.border_width = 2;
    draw(small, card, {-4000, -4000, 4000, 4000});
    for (const lv_color_t& p : small.px) ASSERT_EQ(p.full & 0xffffff, 0xffffffu);
}
