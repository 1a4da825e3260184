// Rectangles: fills, rounded corners, borders, outlines, opacity and clipping.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "lvgl.h"

namespace {

constexpr uint32_t kBlue = 0x0000ff;
constexpr uint32_t kGreen = 0x00ff00;
constexpr uint32_t kRed = 0xff0000;

// A draw buffer covering screen (x0, y0) .. (x0 + w - 1, y0 + h - 1), filled with one colour.
struct Canvas {
    lv_area_t buf_area;
    lv_area_t clip;
    std::vector<lv_color_t> px;
    lv_draw_ctx_t ctx{};

    Canvas(lv_coord_t x0, lv_coord_t y0, lv_coord_t w, lv_coord_t h, uint32_t fill = kBlue)
        : buf_area{x0, y0, (lv_coord_t)(x0 + w - 1), (lv_coord_t)(y0 + h - 1)}, clip(buf_area),
          px((size_t)w * h, lv_color_hex(fill)) {
        ctx.buf = px.data();
        ctx.buf_area = &buf_area;
        ctx.clip_area = &clip;
    }
    uint32_t at(lv_coord_t x, lv_coord_t y) const {
        int32_t w = buf_area.x2 - buf_area.x1 + 1;
        return px[(size_t)((y - buf_area.y1) * w + (x - buf_area.x1))].full & 0xffffff;
    }
    void draw(const lv_draw_rect_dsc_t& dsc, lv_area_t coords) { lv_draw_rect(&ctx, &dsc, &coords); }
};

lv_draw_rect_dsc_t bg_only(uint32_t color, lv_coord_t radius = 0) {
    lv_draw_rect_dsc_t d;
    lv_draw_rect_dsc_init(&d);
    d.bg_color = lv_color_hex(color);
    d.radius = radius;
    d.border_width = 0;
    return d;
}

lv_draw_rect_dsc_t border_only(uint32_t color, lv_coord_t width, lv_coord_t radius, lv_border_side_t side) {
    lv_draw_rect_dsc_t d;
    lv_draw_rect_dsc_init(&d);
    d.bg_opa = LV_OPA_TRANSP;
    d.border_color = lv_color_hex(color);
    d.border_width = width;
    d.radius = radius;
    d.border_side = side;
    return d;
}

// How much of a green fill over blue reached the pixel, 0..255.
uint32_t green_share(uint32_t px) {
    return (px >> 8) & 0xff;
}

} // namespace

TEST(DrawRect, DescriptorDefaults) {
    lv_draw_rect_dsc_t d;
    std::memset(&d, 0x5a, sizeof(d));
    lv_draw_rect_dsc_init(&d);
    EXPECT_EQ(d.bg_color.full & 0xffffff, 0xffffffu);
    EXPECT_EQ(d.bg_opa, LV_OPA_COVER);
    EXPECT_EQ(d.border_color.full & 0xffffff, 0u);
    EXPECT_EQ(d.border_opa, LV_OPA_COVER);
    EXPECT_EQ(d.border_side, LV_BORDER_SIDE_FULL);
    EXPECT_EQ(d.outline_opa, LV_OPA_COVER);
    EXPECT_EQ(d.radius, 0);
    EXPECT_EQ(d.border_width, 0);
    EXPECT_EQ(d.border_post, 0);
    EXPECT_EQ(d.outline_width, 0);
    EXPECT_EQ(d.outline_pad, 0);
    EXPECT_EQ(d.blend_mode, LV_BLEND_MODE_NORMAL);
}

TEST(DrawRect, SquareFillCoversExactlyItsArea) {
    Canvas cv(0, 0, 20, 20);
    cv.draw(bg_only(kGreen), {5, 6, 14, 9});
    for (lv_coord_t y = 0; y < 20; y++) {
        for (lv_coord_t x = 0; x < 20; x++) {
            bool inside = x >= 5 && x <= 14 && y >= 6 && y <= 9;
            ASSERT_EQ(cv.at(x, y), inside ? kGreen : kBlue) << x << "," << y;
        }
    }
}

TEST(DrawRect, RoundedCornersAreSmoothAndSymmetric) {
    for (lv_coord_t r : {4, 7, 10, 24}) {
        SCOPED_TRACE("radius " + std::to_string(r));
        const lv_area_t a{10, 10, 69, 59};
        Canvas cv(0, 0, 80, 70);
        cv.draw(bg_only(kGreen, r), a);

        EXPECT_EQ(cv.at(a.x1, a.y1), kBlue) << "the corner pixel stays background";
        EXPECT_EQ(cv.at(40, 35), kGreen) << "the centre is filled";
        EXPECT_EQ(cv.at(a.x1, a.y1 + r), kGreen) << "the straight edge starts below the corner";
        EXPECT_EQ(cv.at(a.x1 + r, a.y1), kGreen);

        double covered = 0;
        for (lv_coord_t j = 0; j < r; j++) {
            uint32_t prev = 0;
            for (lv_coord_t i = 0; i < r; i++) {
                uint32_t tl = cv.at(a.x1 + i, a.y1 + j);
                ASSERT_EQ(cv.at(a.x2 - i, a.y1 + j), tl) << "top right " << i << "," << j;
                ASSERT_EQ(cv.at(a.x1 + i, a.y2 - j), tl) << "bottom left " << i << "," << j;
                ASSERT_EQ(cv.at(a.x2 - i, a.y2 - j), tl) << "bottom right " << i << "," << j;
                ASSERT_EQ(cv.at(a.x1 + j, a.y1 + i), tl) << "mirrored about the diagonal";
                uint32_t g = green_share(tl);
                ASSERT_GE(g, prev) << "coverage grows towards the inside";
                prev = g;
                covered += g / 255.0;
            }
        }
        // The corner box holds a quarter disc: pi r^2 / 4 pixels of coverage.
        EXPECT_NEAR(covered, M_PI * r * r / 4, 0.1 * r);
    }
}

TEST(DrawRect, RadiusIsLimitedToHalfTheShortSide) {
    const lv_area_t a{2, 2, 21, 11}; // 20 x 10
    Canvas half(0, 0, 24, 14), circle(0, 0, 24, 14), huge(0, 0, 24, 14);
    half.draw(bg_only(kGreen, 5), a);
    circle.draw(bg_only(kGreen, LV_RADIUS_CIRCLE), a);
    huge.draw(bg_only(kGreen, 300), a);
    EXPECT_EQ(circle.px.size(), half.px.size());
    for (size_t i = 0; i < half.px.size(); i++) {
        ASSERT_EQ(circle.px[i].full, half.px[i].full) << i;
        ASSERT_EQ(huge.px[i].full, half.px[i].full) << i;
    }
    EXPECT_EQ(half.at(11, 2), kGreen) << "a pill keeps its straight top edge";
    EXPECT_GT(green_share(half.at(2, 6)), 240u) << "the round ends reach the box";
}

TEST(DrawRect, BorderSidesAndThickness) {
    struct Case {
        const char* name;
        lv_border_side_t side;
    };
    const Case cases[] = {
        {"full", LV_BORDER_SIDE_FULL}, {"bottom", LV_BORDER_SIDE_BOTTOM},
        {"top", LV_BORDER_SIDE_TOP},   {"left and right", LV_BORDER_SIDE_LEFT | LV_BORDER_SIDE_RIGHT},
        {"none", LV_BORDER_SIDE_NONE}, {"top and left", LV_BORDER_SIDE_TOP | LV_BORDER_SIDE_LEFT},
    };
    const lv_area_t a{4, 3, 33, 22};
    const lv_coord_t bw = 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas cv(0, 0, 40, 30);
        cv.draw(border_only(kRed, bw, 0, c.side), a);
        for (lv_coord_t y = 0; y < 30; y++) {
            for (lv_coord_t x = 0; x < 40; x++) {
                bool in_box = x >= a.x1 && x <= a.x2 && y >= a.y1 && y <= a.y2;
                bool edge = (c.side & LV_BORDER_SIDE_TOP && y < a.y1 + bw) ||
                            (c.side & LV_BORDER_SIDE_BOTTOM && y > a.y2 - bw) ||
                            (c.side & LV_BORDER_SIDE_LEFT && x < a.x1 + bw) ||
                            (c.side & LV_BORDER_SIDE_RIGHT && x > a.x2 - bw);
                ASSERT_EQ(cv.at(x, y), in_box && edge ? kRed : kBlue) << x << "," << y;
            }
        }
    }
}

TEST(DrawRect, RoundedBorderFollowsTheCorner) {
    const lv_area_t a{5, 5, 54, 44};
    const lv_coord_t r = 10, bw = 2;

    Canvas cv(0, 0, 60, 50);
    cv.draw(border_only(kRed, bw, r, LV_BORDER_SIDE_FULL), a);
    EXPECT_EQ(cv.at(30, 25), kBlue) << "inside the ring stays untouched";
    EXPECT_EQ(cv.at(a.x1, a.y1), kBlue);
    for (lv_coord_t y : {a.y1 + r, 25, a.y2 - r}) {
        SCOPED_TRACE("row " + std::to_string(y));
        EXPECT_EQ(cv.at(a.x1, y), kRed);
        EXPECT_EQ(cv.at(a.x1 + bw - 1, y), kRed);
        EXPECT_EQ(cv.at(a.x1 + bw, y), kBlue);
        EXPECT_EQ(cv.at(a.x2 - bw + 1, y), kRed);
        EXPECT_EQ(cv.at(a.x2 - bw, y), kBlue);
    }
    // Pixels along the corner's diagonal are sqrt(2) apart, so the ring there sums to about bw / sqrt(2).
    double diag = 0;
    for (lv_coord_t i = 0; i < r; i++) diag += ((cv.at(a.x1 + i, a.y1 + i) >> 16) & 0xff) / 255.0;
    EXPECT_NEAR(diag, bw / std::sqrt(2.0), 0.3);
    // Symmetry of the ring in the four corners.
    for (lv_coord_t j = 0; j < r; j++) {
        for (lv_coord_t i = 0; i < r; i++) {
            uint32_t tl = cv.at(a.x1 + i, a.y1 + j);
            ASSERT_EQ(cv.at(a.x2 - i, a.y1 + j), tl);
            ASSERT_EQ(cv.at(a.x1 + i, a.y2 - j), tl);
            ASSERT_EQ(cv.at(a.x2 - i, a.y2 - j), tl);
        }
    }

    // Only the bottom side: nothing above the bottom band, the band keeps the rounded corners.
    Canvas bottom(0, 0, 60, 50);
    bottom.draw(border_only(kRed, bw, r, LV_BORDER_SIDE_BOTTOM), a);
    for (lv_coord_t y = 0; y <= a.y2 - bw; y++) {
        for (lv_coord_t x = 0; x < 60; x++) ASSERT_EQ(bottom.at(x, y), kBlue) << x << "," << y;
    }
    EXPECT_EQ(bottom.at(30, a.y2), kRed);
    EXPECT_EQ(bottom.at(30, a.y2 - 1), kRed);
    EXPECT_EQ(bottom.at(a.x1, a.y2), kBlue) << "the corner stays round";
}

TEST(DrawRect, OpacityMixesWithWhatIsBelow) {
    Canvas cv(0, 0, 30, 30);
    lv_draw_rect_dsc_t d = bg_only(kGreen, 5);
    d.bg_opa = 128;
    d.border_color = lv_color_hex(kRed);
    d.border_width = 2;
    d.border_opa = LV_OPA_50;
    cv.draw(d, {0, 0, 29, 29});
    EXPECT_EQ(cv.at(15, 15), 0x00807fu);
    // Border at 127 over the half-green background.
    EXPECT_EQ(cv.at(0, 15), 0x7f403fu);

    Canvas none(0, 0, 30, 30);
    d.bg_opa = 1;
    d.border_opa = 1;
    none.draw(d, {0, 0, 29, 29});
    for (const lv_color_t& p : none.px) ASSERT_EQ(p.full & 0xffffff, kBlue);
}

TEST(DrawRect, OutlineLiesOutsideBeyondThePad) {
    // LVGL draws the outline one pixel closer than the pad, so a pad of 1 leaves no gap and a pad
    // of 0 covers the box's outermost pixels.
    for (lv_coord_t pad : {0, 1, 2}) {
        SCOPED_TRACE("pad " + std::to_string(pad));
        lv_draw_rect_dsc_t d = bg_only(kGreen);
        d.outline_color = lv_color_hex(kRed);
        d.outline_width = 2;
        d.outline_pad = pad;
        Canvas cv(0, 0, 30, 30);
        cv.draw(d, {10, 10, 19, 19});
        const lv_coord_t inner = (lv_coord_t)(11 - pad); // first column right of the outline's left side
        for (lv_coord_t y : {12, 15, 17}) {
            SCOPED_TRACE("row " + std::to_string(y));
            EXPECT_EQ(cv.at(inner - 3, y), kBlue);
            EXPECT_EQ(cv.at(inner - 2, y), kRed);
            EXPECT_EQ(cv.at(inner - 1, y), kRed);
            EXPECT_EQ(cv.at(inner, y), pad == 2 ? kBlue : kGreen);
            EXPECT_EQ(cv.at(29 - inner + 1, y), kRed);
            EXPECT_EQ(cv.at(29 - inner + 2, y), kRed);
            EXPECT_EQ(cv.at(29 - inner + 3, y), kBlue);
        }
    }
}

TEST(DrawRect, ClippedDrawingMatchesTheUnclippedPicture) {
    // A rounded card with a border, drawn whole once and then in pieces: through small clip
    // areas, into horizontal strips at screen offsets, and far larger than the buffer.
    lv_draw_rect_dsc_t card = bg_only(0xffffff, 7);
    card.border_color = lv_color_hex(0xe0e0e0);
    card.border_width = 2;
    const lv_area_t a{3, 4, 52, 38};
    Canvas whole(0, 0, 60, 45);
    whole.draw(card, a);

    struct Clip {
        const char* name;
        lv_area_t clip;
    };
    const Clip clips[] = {{"top left corner", {0, 0, 8, 8}},
                          {"one row", {0, 20, 59, 20}},
                          {"one column", {50, 0, 50, 44}},
                          {"inside the ring", {20, 15, 30, 20}},
                          {"bottom right", {40, 30, 59, 44}}};
    for (const Clip& c : clips) {
        SCOPED_TRACE(c.name);
        Canvas part(0, 0, 60, 45);
        part.clip = c.clip;
        part.draw(card, a);
        for (lv_coord_t y = 0; y < 45; y++) {
            for (lv_coord_t x = 0; x < 60; x++) {
                bool in_clip = x >= c.clip.x1 && x <= c.clip.x2 && y >= c.clip.y1 && y <= c.clip.y2;
                ASSERT_EQ(part.at(x, y), in_clip ? whole.at(x, y) : kBlue) << x << "," << y;
            }
        }
    }

    for (lv_coord_t y0 = 0; y0 < 45; y0 += 7) {
        SCOPED_TRACE("strip at " + std::to_string(y0));
        lv_coord_t h = (lv_coord_t)std::min(7, 45 - y0);
        Canvas strip(0, y0, 60, h);
        strip.draw(card, a);
        for (lv_coord_t y = y0; y < y0 + h; y++) {
            for (lv_coord_t x = 0; x < 60; x++) ASSERT_EQ(strip.at(x, y), whole.at(x, y)) << x << "," << y;
        }
    }

    Canvas small(100, 100, 10, 10);
    card.radius = LV_RADIUS_CIRCLE;
    small.draw(card, {-4000, -4000, 4000, 4000});
    for (const lv_color_t& p : small.px) ASSERT_EQ(p.full & 0xffffff, 0xffffffu);
}

TEST(DrawRect, AnyRectangleStaysInsideTheClipAreaAndAgreesWithTheWholePicture) {
    // Random shapes (partly off the buffer, huge radii, thick borders, some sides, outlines) drawn
    // once whole and once through a random clip area: outside the clip nothing changes, inside it
    // the pixels are those of the whole picture.
    std::mt19937 rng(20240611);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int n = 0; n < 300; n++) {
        lv_draw_rect_dsc_t d;
        lv_draw_rect_dsc_init(&d);
        d.bg_color = lv_color_hex(kGreen);
        d.bg_opa = (lv_opa_t)(pick(0, 1) ? 255 : pick(0, 255));
        d.radius = (lv_coord_t)(pick(0, 5) == 0 ? LV_RADIUS_CIRCLE : pick(0, 30));
        d.border_color = lv_color_hex(kRed);
        d.border_width = (lv_coord_t)pick(0, 12);
        d.border_opa = (lv_opa_t)pick(0, 255);
        d.border_side = (lv_border_side_t)pick(0, 15);
        d.outline_color = lv_color_hex(0xffffff);
        d.outline_width = (lv_coord_t)pick(0, 4);
        d.outline_pad = (lv_coord_t)pick(0, 3);
        lv_coord_t x1 = (lv_coord_t)pick(-30, 60), y1 = (lv_coord_t)pick(-30, 50);
        lv_area_t a{x1, y1, (lv_coord_t)(x1 + pick(0, 80)), (lv_coord_t)(y1 + pick(0, 60))};
        // A border thicker than half the box runs past it, and LVGL then draws only as far as the
        // clip area reaches the box: only proper rings must agree.
        d.border_width = (lv_coord_t)std::min<int>(
            d.border_width, std::min(lv_area_get_width(&a), lv_area_get_height(&a)) / 2);
        lv_coord_t cx = (lv_coord_t)pick(0, 63), cy = (lv_coord_t)pick(0, 47);
        lv_area_t clip{cx, cy, (lv_coord_t)(cx + pick(0, 30)), (lv_coord_t)(cy + pick(0, 30))};
        SCOPED_TRACE("case " + std::to_string(n));

        Canvas whole(0, 0, 64, 48), part(0, 0, 64, 48);
        part.clip = clip;
        whole.draw(d, a);
        part.draw(d, a);
        for (lv_coord_t y = 0; y < 48; y++) {
            for (lv_coord_t x = 0; x < 64; x++) {
                bool in_clip = x >= clip.x1 && x <= clip.x2 && y >= clip.y1 && y <= clip.y2;
                ASSERT_EQ(part.at(x, y), in_clip ? whole.at(x, y) : kBlue) << x << "," << y;
            }
        }
    }
}
