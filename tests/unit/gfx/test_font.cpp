// The built-in Montserrat 14: metrics, advances, kerning, placeholders and fallback fonts.
#include "lvgl.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const lv_font_t* font() {
    return &lv_font_montserrat_14;
}

uint16_t adv(uint32_t letter, uint32_t next = 0) {
    return lv_font_get_glyph_width(font(), letter, next);
}

// A font that has only the letters of `letters`, each a 1 x 1 glyph of advance 3; `stand_in` makes
// it answer every other letter with its own placeholder glyph, as a TrueType .notdef would.
struct TinyFont {
    static inline std::string letters;
    static inline bool stand_in = false;
    static inline const uint8_t pixel[1] = {0xFF};

    static bool dsc(const lv_font_t*, lv_font_glyph_dsc_t* d, uint32_t letter, uint32_t) {
        const bool has = letter < 0x80 && letters.find((char)letter) != std::string::npos;
        if (!has && !stand_in) return false;
        d->adv_w = 3;
        d->box_w = 1;
        d->box_h = 1;
        d->bpp = 8;
        d->is_placeholder = !has;
        return true;
    }
    static const uint8_t* bitmap(const lv_font_t*, uint32_t) { return pixel; }
};

lv_font_t make_tiny_font(lv_coord_t line_height, const lv_font_t* fallback) {
    lv_font_t f{};
    f.get_glyph_dsc = TinyFont::dsc;
    f.get_glyph_bitmap = TinyFont::bitmap;
    f.line_height = line_height;
    f.base_line = 4;
    f.fallback = fallback;
    return f;
}

} // namespace

TEST(Font, BuiltInMetricsAndAdvances) {
    EXPECT_EQ(font()->line_height, 16);
    EXPECT_EQ(font()->base_line, 3);
    EXPECT_EQ(font()->underline_position, -1);
    EXPECT_EQ(font()->underline_thickness, 1);
    EXPECT_EQ(lv_font_get_line_height(font()), 16);

    struct Case {
        uint32_t letter;
        uint16_t adv;
    };
    const Case cases[] = {
        {' ', 4},  {'0', 9},  {'1', 5},  {'2', 8}, {'3', 8},  {'4', 9},  {'5', 8},  {'6', 9},
        {'7', 8},  {'8', 9},  {'9', 9},  {':', 3}, {'.', 3},  {'%', 12}, {'k', 9},  {'W', 16},
        {'h', 10}, {'A', 10}, {'V', 10}, {'a', 8}, {'b', 10}, {'c', 8},  {'#', 10}, {'T', 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "'" << (char)c.letter << "'");
        EXPECT_EQ(adv(c.letter), c.adv);
    }
    // Kerning applies only with the following letter.
    EXPECT_EQ(adv('T', 'o'), 7);
    EXPECT_EQ(adv('T', 'e'), 7);
    // A tab is a double-width space.
    EXPECT_EQ(adv('\t'), 2 * adv(' '));
}

TEST(Font, MissingGlyphsGetPlaceholderMetrics) {
    lv_font_glyph_dsc_t g;
    // The euro sign is not in the built-in font: a box half the line wide (drawn one pixel wider and
    // taller) and two pixels more of advance.
    EXPECT_FALSE(lv_font_get_glyph_dsc(font(), &g, 0x20AC, 0));
    EXPECT_TRUE(g.is_placeholder);
    EXPECT_EQ(g.adv_w, 10);
    EXPECT_EQ(g.box_w, 8);
    EXPECT_EQ(g.box_h, 16);
    EXPECT_EQ(adv(0x20AC), 10);
    EXPECT_EQ(lv_font_get_glyph_bitmap(font(), 0x20AC), nullptr);

    // Control characters, the dummy symbol and the zero-width non-joiner take no room.
    for (uint32_t c : {0x01u, 0x0Au, 0x0Du, 0x1Fu, 0xF8FFu, 0x200Cu}) {
        SCOPED_TRACE(c);
        EXPECT_FALSE(lv_font_get_glyph_dsc(font(), &g, c, 0));
        EXPECT_EQ(g.adv_w, 0);
        EXPECT_EQ(g.box_w, 0);
    }
}

TEST(Font, FallbackChainFindsGlyphsAndPrefersRealOnes) {
    TinyFont::letters = "xA";
    TinyFont::stand_in = false;
    const lv_font_t tiny = make_tiny_font(20, font());
    lv_font_glyph_dsc_t g;

    // Own glyphs first, even where the fallback has the letter too.
    ASSERT_TRUE(lv_font_get_glyph_dsc(&tiny, &g, 'A', 0));
    EXPECT_EQ(g.adv_w, 3);
    EXPECT_EQ(lv_font_get_glyph_bitmap(&tiny, 'A'), TinyFont::pixel);
    // Others come from the fallback, bitmap included.
    ASSERT_TRUE(lv_font_get_glyph_dsc(&tiny, &g, 'W', 0));
    EXPECT_EQ(g.adv_w, 16);
    EXPECT_EQ(lv_font_get_glyph_bitmap(&tiny, 'W'), lv_font_get_glyph_bitmap(font(), 'W'));
    // Missing everywhere: the placeholder is sized from the font that was asked.
    EXPECT_FALSE(lv_font_get_glyph_dsc(&tiny, &g, 0x20AC, 0));
    EXPECT_EQ(g.adv_w, 12);
    EXPECT_EQ(g.box_w, 10);
    EXPECT_EQ(g.box_h, 20);

    // A font's own stand-in glyph loses against a real glyph further down the chain ...
    TinyFont::stand_in = true;
    ASSERT_TRUE(lv_font_get_glyph_dsc(&tiny, &g, 'W', 0));
    EXPECT_FALSE(g.is_placeholder);
    EXPECT_EQ(g.adv_w, 16);
    // ... and is used when nothing better exists.
    ASSERT_TRUE(lv_font_get_glyph_dsc(&tiny, &g, 0x20AC, 0));
    EXPECT_TRUE(g.is_placeholder);
    EXPECT_EQ(g.adv_w, 3);
    EXPECT_EQ(lv_font_get_glyph_bitmap(&tiny, 0x20AC), TinyFont::pixel);
}

TEST(Font, FallbackLoopDoesNotHang) {
    TinyFont::letters = "";
    TinyFont::stand_in = false;
    lv_font_t a = make_tiny_font(16, nullptr);
    lv_font_t b = make_tiny_font(16, &a);
    a.fallback = &b;
    lv_font_glyph_dsc_t g;
    EXPECT_FALSE(lv_font_get_glyph_dsc(&a, &g, 'q', 0));
    EXPECT_EQ(g.adv_w, 10);
}
