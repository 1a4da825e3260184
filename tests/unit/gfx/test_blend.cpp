// Blending primitives: exact mixing values, opacity, coverage masks and clipping.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../../../gfx/src/draw/gfx_blend.h"

namespace {

// A draw buffer placed at (x0, y0) on the screen, filled with one colour.
struct Canvas {
    lv_area_t buf_area;
    lv_area_t clip;
    std::vector<lv_color_t> px;
    lv_draw_ctx_t ctx{};

    Canvas(lv_coord_t x0, lv_coord_t y0, lv_coord_t w, lv_coord_t h, uint32_t fill)
        : buf_area{x0, y0, (lv_coord_t)(x0 + w - 1), (lv_coord_t)(y0 + h - 1)}, clip(buf_area),
          px((size_t)w * h, lv_color_hex(fill)) {
        ctx.buf = px.data();
        ctx.buf_area = &buf_area;
        ctx.clip_area = &clip;
    }
    uint32_t at(lv_coord_t x, lv_coord_t y) const {
        int32_t w = buf_area.x2 - buf_area.x1 + 1;
        return px[(size_t)((y - buf_area.y1) * w + (x - buf_area.x1))].full;
    }
    // Screen pixels that differ from `fill`, as a bounding box; false when none does.
    bool changed_box(uint32_t fill, lv_area_t& box) const {
        bool any = false;
        for (lv_coord_t y = buf_area.y1; y <= buf_area.y2; y++) {
            for (lv_coord_t x = buf_area.x1; x <= buf_area.x2; x++) {
                if (at(x, y) == lv_color_hex(fill).full) continue;
                if (!any) box = {x, y, x, y};
                any = true;
                box.x1 = std::min(box.x1, x);
                box.y1 = std::min(box.y1, y);
                box.x2 = std::max(box.x2, x);
                box.y2 = std::max(box.y2, y);
            }
        }
        return any;
    }
};

uint32_t argb(uint32_t rgb) {
    return 0xff000000u | rgb;
}

lv_color_t with_alpha(uint32_t rgb, uint8_t a) {
    lv_color_t c = lv_color_hex(rgb);
    c.ch.alpha = a;
    return c;
}

} // namespace

TEST(Blend, FillOpacityAndClipping) {
    struct Case {
        const char* name;
        lv_area_t area;
        lv_area_t clip;
        lv_opa_t opa;
        bool draws;
        lv_area_t box;
        uint32_t inside;
    };
    // Buffer covers screen (10,20)-(29,35): 20 x 16 pixels of blue.
    const Case cases[] = {
        {"opaque inside", {12, 22, 15, 24}, {10, 20, 29, 35}, 255, true, {12, 22, 15, 24}, 0x00ff00},
        {"larger than the buffer",
         {-100, -100, 500, 500},
         {10, 20, 29, 35},
         255,
         true,
         {10, 20, 29, 35},
         0x00ff00},
        {"cut by the clip area", {0, 0, 40, 40}, {14, 25, 17, 27}, 255, true, {14, 25, 17, 27}, 0x00ff00},
        {"253 counts as opaque", {12, 22, 12, 22}, {10, 20, 29, 35}, 253, true, {12, 22, 12, 22}, 0x00ff00},
        {"half transparent", {20, 30, 21, 31}, {10, 20, 29, 35}, 128, true, {20, 30, 21, 31}, 0x00807f},
        {"below the minimum opacity", {12, 22, 15, 24}, {10, 20, 29, 35}, 1, false, {}, 0},
        {"outside the clip area", {10, 20, 13, 23}, {20, 20, 29, 35}, 255, false, {}, 0},
        {"outside the buffer", {40, 20, 50, 30}, {0, 0, 100, 100}, 255, false, {}, 0},
        {"inverted area", {15, 25, 14, 24}, {10, 20, 29, 35}, 255, false, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas cv(10, 20, 20, 16, 0x0000ff);
        cv.clip = c.clip;
        gfx::blend_fill(&cv.ctx, c.area, lv_color_hex(0x00ff00), c.opa);
        lv_area_t box{};
        ASSERT_EQ(cv.changed_box(0x0000ff, box), c.draws);
        if (!c.draws) continue;
        EXPECT_EQ(box.x1, c.box.x1);
        EXPECT_EQ(box.y1, c.box.y1);
        EXPECT_EQ(box.x2, c.box.x2);
        EXPECT_EQ(box.y2, c.box.y2);
        for (lv_coord_t y = box.y1; y <= box.y2; y++) {
            for (lv_coord_t x = box.x1; x <= box.x2; x++) ASSERT_EQ(cv.at(x, y), argb(c.inside));
        }
    }
}

TEST(Blend, FillWithMaskMultipliesCoverageAndOpacity) {
    // A 4 x 2 mask laid over screen (11,21)-(14,22); the fill area reaches beyond it.
    const lv_opa_t mask[] = {0, 128, 255, 64, 255, 255, 0, 1};
    const lv_area_t mask_area{11, 21, 14, 22};
    Canvas cv(10, 20, 8, 4, 0x0000ff);
    gfx::blend_fill(&cv.ctx, {10, 20, 17, 23}, lv_color_hex(0x00ff00), 255, mask, &mask_area);

    EXPECT_EQ(cv.at(10, 21), argb(0x0000ff)) << "left of the mask";
    EXPECT_EQ(cv.at(11, 20), argb(0x0000ff)) << "above the mask";
    EXPECT_EQ(cv.at(15, 21), argb(0x0000ff)) << "right of the mask";
    EXPECT_EQ(cv.at(11, 21), argb(0x0000ff));
    EXPECT_EQ(cv.at(12, 21), argb(0x00807f));
    EXPECT_EQ(cv.at(13, 21), argb(0x00ff00));
    EXPECT_EQ(cv.at(14, 21), argb(0x0040bf));
    EXPECT_EQ(cv.at(11, 22), argb(0x00ff00));
    EXPECT_EQ(cv.at(13, 22), argb(0x0000ff));
    EXPECT_EQ(cv.at(14, 22), argb(0x0001fe));

    // Coverage and opacity multiply: full coverage at 128 is 128, coverage 128 at 128 is 64.
    Canvas half(10, 20, 8, 4, 0x0000ff);
    gfx::blend_fill(&half.ctx, {10, 20, 17, 23}, lv_color_hex(0x00ff00), 128, mask, &mask_area);
    EXPECT_EQ(half.at(13, 21), argb(0x00807f));
    EXPECT_EQ(half.at(12, 21), argb(0x0040bf));
    EXPECT_EQ(half.at(11, 21), argb(0x0000ff));
    EXPECT_EQ(half.at(14, 22), argb(0x0000ff)) << "coverage 1 at 128 rounds to nothing";
}

TEST(Blend, MapCopiesAndBlends) {
    // A 3 x 2 source at screen (2,1): alpha 255, 128, 0 / 64, 255, 200.
    const lv_color_t src[] = {with_alpha(0x00ff00, 255), with_alpha(0x00ff00, 128),
                              with_alpha(0x00ff00, 0),   with_alpha(0xff0000, 64),
                              with_alpha(0xff0000, 255), with_alpha(0xff0000, 200)};
    const lv_area_t src_area{2, 1, 4, 2};

    Canvas cv(0, 0, 6, 4, 0x0000ff);
    gfx::blend_map(&cv.ctx, src_area, src, src_area, true, 255);
    EXPECT_EQ(cv.at(2, 1), argb(0x00ff00));
    EXPECT_EQ(cv.at(3, 1), argb(0x00807f));
    EXPECT_EQ(cv.at(4, 1), argb(0x0000ff));
    EXPECT_EQ(cv.at(2, 2), argb(0x4000bf));
    EXPECT_EQ(cv.at(3, 2), argb(0xff0000));
    EXPECT_EQ(cv.at(4, 2), argb(0xc80037));
    EXPECT_EQ(cv.at(1, 1), argb(0x0000ff));
    EXPECT_EQ(cv.at(5, 2), argb(0x0000ff));

    // Object opacity scales the alpha: an opaque pixel takes the opacity itself (128), the others
    // (alpha * opacity) >> 8, (128 * 128) >> 8 = 64.
    Canvas half(0, 0, 6, 4, 0x0000ff);
    gfx::blend_map(&half.ctx, src_area, src, src_area, true, 128);
    EXPECT_EQ(half.at(2, 1), argb(0x00807f));
    EXPECT_EQ(half.at(3, 1), argb(0x0040bf));

    // Without alpha the alpha byte is ignored; with opacity each pixel mixes.
    Canvas plain(0, 0, 6, 4, 0x0000ff);
    gfx::blend_map(&plain.ctx, src_area, src, src_area, false, 255);
    EXPECT_EQ(plain.at(4, 1) & 0xffffff, 0x00ff00u);
    EXPECT_EQ(plain.at(3, 2) & 0xffffff, 0xff0000u);
    Canvas faded(0, 0, 6, 4, 0x0000ff);
    gfx::blend_map(&faded.ctx, src_area, src, src_area, false, 128);
    EXPECT_EQ(faded.at(4, 1), argb(0x00807f));
}

TEST(Blend, MapIsClippedAndSampledAtTheRightOffset) {
    // A 4 x 4 source whose pixel value encodes its position; the buffer starts inside it.
    std::vector<lv_color_t> src(16);
    for (int i = 0; i < 16; i++) src[(size_t)i] = lv_color_hex((uint32_t)i * 0x10);
    const lv_area_t src_area{-2, -2, 1, 1};
    Canvas cv(0, 0, 4, 4, 0xabcdef);
    cv.clip = {0, 0, 0, 3};
    gfx::blend_map(&cv.ctx, {-10, -10, 10, 10}, src.data(), src_area, false, 255);
    EXPECT_EQ(cv.at(0, 0), argb(0xa0)); // source (2,2) -> index 10
    EXPECT_EQ(cv.at(0, 1), argb(0xe0)); // source (2,3) -> index 14
    EXPECT_EQ(cv.at(1, 0), argb(0xabcdef)) << "outside the clip area";
    EXPECT_EQ(cv.at(0, 2), argb(0xabcdef)) << "below the source";
}

TEST(Blend, EveryCoverageMixesLikeTheFormula) {
    // Masked fills and per-pixel alpha both reach every coverage 0..255; the result must be
    // mix() for each, whatever the colours.
    const uint32_t pairs[][2] = {
        {0xffffff, 0x000000}, {0x00ff00, 0x0000ff}, {0x123456, 0xfedcba}, {0x808080, 0x7f7f7f}};
    std::vector<lv_opa_t> mask(256);
    for (int i = 0; i < 256; i++) mask[(size_t)i] = (lv_opa_t)i;
    const lv_area_t row{0, 0, 255, 0};
    for (const auto& p : pairs) {
        SCOPED_TRACE(std::to_string(p[0]) + " over " + std::to_string(p[1]));
        Canvas fill(0, 0, 256, 1, p[1]);
        gfx::blend_fill(&fill.ctx, row, lv_color_hex(p[0]), 255, mask.data(), &row);
        std::vector<lv_color_t> src(256);
        for (int i = 0; i < 256; i++) src[(size_t)i] = with_alpha(p[0], (uint8_t)i);
        Canvas map(0, 0, 256, 1, p[1]);
        gfx::blend_map(&map.ctx, row, src.data(), row, true, 255);
        for (lv_coord_t a = 0; a < 256; a++) {
            uint32_t want = gfx::mix(lv_color_hex(p[0]), lv_color_hex(p[1]), (uint32_t)a).full;
            ASSERT_EQ(fill.at(a, 0), want) << "coverage " << a;
            ASSERT_EQ(map.at(a, 0), want) << "alpha " << a;
        }
    }
}
