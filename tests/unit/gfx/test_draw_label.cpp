// Label painter on a bare draw context: glyph placement, clipping, alignment, recolour commands,
// placeholders and warnings.
#include "stdout_log.h"
#include "lvgl.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const lv_color_t kWhite = lv_color_white();

struct Canvas {
    lv_area_t buf_area;
    lv_area_t clip;
    std::vector<lv_color_t> px;
    lv_draw_ctx_t ctx{};

    Canvas(lv_coord_t w, lv_coord_t h)
        : buf_area{0, 0, (lv_coord_t)(w - 1), (lv_coord_t)(h - 1)}, clip(buf_area),
          px((size_t)(w * h), kWhite) {
        ctx.buf = px.data();
        ctx.buf_area = &buf_area;
        ctx.clip_area = &clip;
    }
    int w() const { return buf_area.x2 + 1; }
    int h() const { return buf_area.y2 + 1; }
    lv_color_t at(int x, int y) const { return px[(size_t)(y * w() + x)]; }
    bool inked(int x, int y) const { return at(x, y).full != kWhite.full; }

    void draw(const lv_draw_label_dsc_t& dsc, lv_area_t coords, const char* txt) {
        lv_draw_label(&ctx, &dsc, &coords, txt, nullptr);
    }
    // Bounding box of the ink in rows y1..y2 (x1 > x2 when there is none).
    lv_area_t ink_box(int y1 = 0, int y2 = -1) const {
        if (y2 < 0) y2 = h() - 1;
        lv_area_t box{INT16_MAX, INT16_MAX, INT16_MIN, INT16_MIN};
        for (int y = y1; y <= y2; y++)
            for (int x = 0; x < w(); x++)
                if (inked(x, y)) {
                    box.x1 = std::min<lv_coord_t>(box.x1, (lv_coord_t)x);
                    box.y1 = std::min<lv_coord_t>(box.y1, (lv_coord_t)y);
                    box.x2 = std::max<lv_coord_t>(box.x2, (lv_coord_t)x);
                    box.y2 = std::max<lv_coord_t>(box.y2, (lv_coord_t)y);
                }
        return box;
    }
    bool same_pixels(const Canvas& o) const {
        for (size_t k = 0; k < px.size(); k++)
            if (px[k].full != o.px[k].full) return false;
        return true;
    }
    bool same_ink(const Canvas& o) const {
        for (size_t k = 0; k < px.size(); k++)
            if ((px[k].full != kWhite.full) != (o.px[k].full != kWhite.full)) return false;
        return true;
    }
};

bool is_red(lv_color_t c) {
    return c.ch.red > c.ch.green && c.ch.green == c.ch.blue;
}
bool is_grey(lv_color_t c) {
    return c.ch.red == c.ch.green && c.ch.green == c.ch.blue;
}

lv_draw_label_dsc_t label_dsc(lv_text_flag_t flag = LV_TEXT_FLAG_NONE) {
    lv_draw_label_dsc_t dsc;
    lv_draw_label_dsc_init(&dsc);
    dsc.flag = flag;
    return dsc;
}

lv_coord_t width_of(const char* txt) {
    return lv_txt_get_width(txt, (uint32_t)strlen(txt), &lv_font_montserrat_14, 0, LV_TEXT_FLAG_NONE);
}

class DrawLabel : public testing::Test {
  protected:
    StdoutLog log;
};

} // namespace

TEST_F(DrawLabel, DescriptorDefaults) {
    const lv_draw_label_dsc_t dsc = label_dsc();
    EXPECT_EQ(dsc.font, &lv_font_montserrat_14);
    EXPECT_EQ(dsc.color.full, lv_color_black().full);
    EXPECT_EQ(dsc.opa, LV_OPA_COVER);
    EXPECT_EQ(dsc.sel_start, (uint32_t)LV_DRAW_LABEL_NO_TXT_SEL);
    EXPECT_EQ(dsc.sel_end, (uint32_t)LV_DRAW_LABEL_NO_TXT_SEL);
    EXPECT_EQ(dsc.letter_space, 0);
    EXPECT_EQ(dsc.line_space, 0);
    EXPECT_EQ(dsc.align, LV_TEXT_ALIGN_AUTO);
}

TEST_F(DrawLabel, GlyphsSitOnTheBaseline) {
    for (uint32_t letter : {(uint32_t)'T', (uint32_t)'g', (uint32_t)'A', (uint32_t)'.', 0xB0u}) {
        SCOPED_TRACE(letter);
        Canvas c(80, 60);
        char txt[8] = {};
        uint32_t n = 0;
        if (letter < 0x80)
            txt[n++] = (char)letter;
        else
            txt[n++] = (char)(0xC0 | letter >> 6), txt[n++] = (char)(0x80 | (letter & 0x3F));
        c.draw(label_dsc(), {10, 20, 69, 39}, txt);
        lv_font_glyph_dsc_t g;
        ASSERT_TRUE(lv_font_get_glyph_dsc(&lv_font_montserrat_14, &g, letter, 0));
        // The ink is where the glyph's 4-bit bitmap is not zero, inside the box placed at the pen
        // (x 10) and on the baseline (13 px below the line top at y 20).
        const uint8_t* bm = lv_font_get_glyph_bitmap(&lv_font_montserrat_14, letter);
        int x0 = g.box_w, x1 = -1, y0 = g.box_h, y1 = -1, max_v = 0;
        for (int y = 0; y < g.box_h; y++) {
            for (int x = 0; x < g.box_w; x++) {
                const int k = y * g.box_w + x;
                const int v = (bm[k / 2] >> (k % 2 ? 0 : 4)) & 0xF;
                if (v == 0) continue;
                x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
                max_v = std::max(max_v, v);
            }
        }
        const int left = 10 + g.ofs_x;
        const int top = 20 + (16 - 3) - g.box_h - g.ofs_y;
        const lv_area_t box = c.ink_box();
        EXPECT_EQ(box.x1, left + x0);
        EXPECT_EQ(box.x2, left + x1);
        EXPECT_EQ(box.y1, top + y0);
        EXPECT_EQ(box.y2, top + y1);
        // 4-bit coverage v becomes v * 17: the darkest pixel shows the glyph's strongest value.
        int darkest = 255;
        for (const lv_color_t& p : c.px) darkest = std::min<int>(darkest, p.ch.green);
        EXPECT_EQ(darkest, 255 - max_v * 17);
    }
}

TEST_F(DrawLabel, WrapsInsideCoordsAndClipsToTheClipArea) {
    Canvas full(80, 80);
    full.draw(label_dsc(), {0, 0, 59, 79}, "Hello world foo");
    // Three lines: "Hello ", "world ", "foo".
    EXPECT_LT(full.ink_box(0, 15).x1, full.ink_box(0, 15).x2);
    EXPECT_LT(full.ink_box(16, 31).x1, full.ink_box(16, 31).x2);
    EXPECT_LT(full.ink_box(32, 47).x1, full.ink_box(32, 47).x2);
    EXPECT_GT(full.ink_box(48, 79).x1, full.ink_box(48, 79).x2);
    EXPECT_LE(full.ink_box().x2, 59);

    Canvas clipped(80, 80);
    clipped.clip = {5, 6, 30, 20};
    clipped.draw(label_dsc(), {0, 0, 59, 79}, "Hello world foo");
    int inside = 0;
    for (int y = 0; y < 80; y++)
        for (int x = 0; x < 80; x++) {
            const bool in_clip = x >= 5 && x <= 30 && y >= 6 && y <= 20;
            if (!in_clip) {
                ASSERT_FALSE(clipped.inked(x, y)) << x << "," << y;
                continue;
            }
            EXPECT_EQ(clipped.at(x, y).full, full.at(x, y).full);
            inside += clipped.inked(x, y);
        }
    EXPECT_GT(inside, 0);

    // Coords wholly outside the clip area draw nothing.
    Canvas away(80, 80);
    away.clip = {0, 0, 79, 9};
    away.draw(label_dsc(), {0, 40, 59, 79}, "Hello");
    EXPECT_GT(away.ink_box().x1, away.ink_box().x2);
}

TEST_F(DrawLabel, AlignmentAndOffsetsShiftEachLine) {
    Canvas left(140, 40);
    left.draw(label_dsc(), {0, 0, 100, 39}, "Text\nab");
    const lv_area_t l1 = left.ink_box(0, 15), l2 = left.ink_box(16, 31);

    struct Case {
        const char* name;
        lv_text_align_t align;
        lv_coord_t ofs_x, ofs_y, dx1, dx2;
    };
    const Case cases[] = {
        // "Text" is 29 px wide: centred in 101 px its pen starts at 36.
        {"centre", LV_TEXT_ALIGN_CENTER, 0, 0, 36, (lv_coord_t)((101 - width_of("ab")) / 2)},
        {"right", LV_TEXT_ALIGN_RIGHT, 0, 0, 72, (lv_coord_t)(101 - width_of("ab"))},
        {"offset", LV_TEXT_ALIGN_LEFT, 5, 3, 5, 5},
        {"centre and offset", LV_TEXT_ALIGN_CENTER, -2, 0, 34, (lv_coord_t)((101 - width_of("ab")) / 2 - 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(140, 40);
        lv_draw_label_dsc_t dsc = label_dsc();
        dsc.align = c.align;
        dsc.ofs_x = c.ofs_x;
        dsc.ofs_y = c.ofs_y;
        canvas.draw(dsc, {0, 0, 100, 39}, "Text\nab");
        const lv_area_t b1 = canvas.ink_box(0, 15 + c.ofs_y), b2 = canvas.ink_box(16 + c.ofs_y, 39);
        EXPECT_EQ(b1.x1 - l1.x1, c.dx1);
        EXPECT_EQ(b2.x1 - l2.x1, c.dx2);
        EXPECT_EQ(b1.y1 - l1.y1, c.ofs_y);
        EXPECT_EQ(b2.y1 - l2.y1, c.ofs_y);
    }
}

TEST_F(DrawLabel, LetterAndLineSpacing) {
    Canvas plain(80, 60), spaced(80, 60);
    plain.draw(label_dsc(), {0, 0, 79, 59}, "II\nI");
    lv_draw_label_dsc_t dsc = label_dsc();
    dsc.letter_space = 3;
    dsc.line_space = 4;
    spaced.draw(dsc, {0, 0, 79, 59}, "II\nI");
    EXPECT_EQ(spaced.ink_box(0, 15).x2 - plain.ink_box(0, 15).x2, 3);
    EXPECT_EQ(spaced.ink_box(16, 59).y1 - plain.ink_box(16, 59).y1, 4);
}

TEST_F(DrawLabel, RecolourPaintsOnlyTheCommandRun) {
    Canvas c(120, 20), plain(120, 20);
    c.draw(label_dsc(LV_TEXT_FLAG_RECOLOR), {0, 0, 119, 19}, "ab #ff0000 red# cd");
    plain.draw(label_dsc(), {0, 0, 119, 19}, "ab red cd");
    EXPECT_TRUE(c.same_ink(plain)); // command characters take no room and are not drawn

    const int run_start = width_of("ab "), run_end = width_of("ab red");
    int red = 0, grey = 0;
    for (int y = 0; y < c.h(); y++)
        for (int x = 0; x < c.w(); x++) {
            if (!c.inked(x, y)) continue;
            if (is_red(c.at(x, y))) {
                red++;
                EXPECT_GE(x, run_start - 1);
                EXPECT_LE(x, run_end + 1);
            } else {
                const lv_color_t p = c.at(x, y);
                ASSERT_TRUE(is_grey(p)) << x << "," << y << " " << std::hex << p.full;
                grey++;
                EXPECT_TRUE(x < run_start + 1 || x > run_end - 1) << x;
            }
        }
    EXPECT_GT(red, 20);
    EXPECT_GT(grey, 20);
}

TEST_F(DrawLabel, MalformedCommandsFallBackToTheTextColour) {
    struct Case {
        const char* with_cmd;
        const char* shown;
    };
    const Case cases[] = {{"x #12 y# z", "x y z"}, {"x ## y", "x # y"}, {"x #ff0000red# w", "x # w"}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.with_cmd);
        Canvas c(120, 20), plain(120, 20);
        c.draw(label_dsc(LV_TEXT_FLAG_RECOLOR), {0, 0, 119, 19}, k.with_cmd);
        plain.draw(label_dsc(), {0, 0, 119, 19}, k.shown);
        EXPECT_TRUE(c.same_pixels(plain));
    }
    // Non-hex digits count as 0: "zz00ff" is blue.
    Canvas blue(120, 20);
    blue.draw(label_dsc(LV_TEXT_FLAG_RECOLOR), {0, 0, 119, 19}, "#zz00ff W#");
    bool found = false;
    for (const lv_color_t& p : blue.px) found |= p.full == lv_color_hex(0x0000FF).full;
    EXPECT_TRUE(found);
}

TEST_F(DrawLabel, RecolourStartsOverOnEveryLine) {
    Canvas c(80, 40);
    c.draw(label_dsc(LV_TEXT_FLAG_RECOLOR), {0, 0, 79, 39}, "#ff0000 ab\ncd# xy");
    int red_top = 0, red_bottom = 0, ink_bottom = 0;
    for (int y = 0; y < 40; y++)
        for (int x = 0; x < 80; x++) {
            if (!c.inked(x, y)) continue;
            (y < 16 ? red_top : red_bottom) += is_red(c.at(x, y));
            ink_bottom += y >= 16;
        }
    EXPECT_GT(red_top, 0);
    EXPECT_EQ(red_bottom, 0);
    // On the second line the '#' opens a new command: its empty parameter ends at the space and
    // the rest is drawn in the text colour.
    Canvas cd(80, 40);
    cd.draw(label_dsc(), {0, 16, 79, 39}, "cdxy");
    int cd_ink = 0;
    for (const lv_color_t& p : cd.px) cd_ink += p.full != kWhite.full;
    EXPECT_EQ(ink_bottom, cd_ink);
}

TEST_F(DrawLabel, MissingGlyphDrawsAnOutlineAndWarnsEveryTime) {
    Canvas c(60, 40);
    const char* txt = "a\xE2\x82\xAC"
                      "b";
    c.draw(label_dsc(), {10, 10, 59, 39}, txt);
    c.draw(label_dsc(), {10, 10, 59, 39}, txt);
    ASSERT_EQ(log.lines().size(), 2u);
    for (const std::string& line : log.lines()) {
        EXPECT_EQ(line.rfind("[Warn]", 0), 0u);
        EXPECT_NE(line.find("lv_draw_letter: glyph dsc. not found for U+20AC"), std::string::npos) << line;
    }
    // The 9 x 17 outline starts at the pen (after 'a', 8 px) on the line top.
    const int x1 = 18, y1 = 10, x2 = x1 + 8, y2 = y1 + 16;
    const uint32_t black = lv_color_black().full;
    for (int x = x1; x <= x2; x++) {
        EXPECT_EQ(c.at(x, y1).full, black) << x;
        EXPECT_EQ(c.at(x, y2).full, black) << x;
    }
    for (int y = y1; y <= y2; y++) {
        EXPECT_EQ(c.at(x1, y).full, black) << y;
        EXPECT_EQ(c.at(x2, y).full, black) << y;
    }
    for (int y = y1 + 1; y < y2; y++)
        for (int x = x1 + 1; x < x2; x++) EXPECT_FALSE(c.inked(x, y)) << x << "," << y;
    // 'b' follows after the placeholder's advance of 10.
    lv_font_glyph_dsc_t b;
    ASSERT_TRUE(lv_font_get_glyph_dsc(&lv_font_montserrat_14, &b, 'b', 0));
    EXPECT_EQ(c.ink_box(0, 39).x2, 28 + b.ofs_x + b.box_w - 1);

    // Control characters are silent.
    log.clear();
    c.draw(label_dsc(), {10, 10, 59, 39},
           "a\x01"
           "b\tc");
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(DrawLabel, NullFontWarnsAndDrawsNothing) {
    Canvas c(40, 20);
    lv_draw_label_dsc_t dsc = label_dsc();
    dsc.font = nullptr;
    c.draw(dsc, {0, 0, 39, 19}, "Text");
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find("dsc->font == NULL"), std::string::npos);
    EXPECT_GT(c.ink_box().x1, c.ink_box().x2);
    // No text, no crash.
    c.draw(label_dsc(), {0, 0, 39, 19}, nullptr);
    c.draw(label_dsc(), {0, 0, 39, 19}, "");
    EXPECT_GT(c.ink_box().x1, c.ink_box().x2);
}

TEST_F(DrawLabel, OpacityScalesCoverage) {
    struct Case {
        lv_opa_t opa;
        int darkest_min, darkest_max;
    };
    const Case cases[] = {{LV_OPA_COVER, 0, 0}, {128, 120, 134}, {LV_OPA_MIN, 255, 255}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.opa);
        Canvas c(40, 20);
        lv_draw_label_dsc_t dsc = label_dsc();
        dsc.opa = k.opa;
        c.draw(dsc, {0, 0, 39, 19}, "T");
        int darkest = 255;
        for (const lv_color_t& p : c.px) darkest = std::min<int>(darkest, p.ch.red);
        EXPECT_GE(darkest, k.darkest_min);
        EXPECT_LE(darkest, k.darkest_max);
    }
}
