// Fonts in LVGL's own format, as lv_font_conv writes them: every storage of the same glyphs reads back
// as the 8 bpp plain font does (metrics, kerning, pixels at the storage's depth).
#include "lvgl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

extern "C" {
LV_FONT_DECLARE(fmt_ref8)
LV_FONT_DECLARE(fmt_rle2)
LV_FONT_DECLARE(fmt_rle3)
LV_FONT_DECLARE(fmt_rle4)
LV_FONT_DECLARE(fmt_full4)
LV_FONT_DECLARE(fmt_pairs8)
}

namespace {

// Pixel k of a glyph stored at `bpp` bits per pixel, first pixel in the high bits.
uint32_t pixel(const uint8_t* bitmap, uint32_t bpp, uint32_t k) {
    const uint32_t bit = k * bpp;
    return (bitmap[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
}

// The 8 bpp coverage as a font of `bpp` stores it: the top bits, and 3 bpp unpacked to 4 bpp.
uint32_t quantised(uint32_t v8, uint32_t bpp) {
    static constexpr uint8_t k3to4[8] = {0, 2, 4, 6, 9, 11, 13, 15};
    return bpp == 3 ? k3to4[v8 >> 5] : v8 >> (8 - bpp);
}

} // namespace

TEST(FontFmtTxt, EveryStorageReadsAsThePlainFont) {
    std::u32string ascii;
    for (char32_t c = 0x20; c <= 0x7E; c++) ascii += c;
    struct Case {
        const char* name;
        const lv_font_t* font;
        std::u32string letters;
        lv_font_fmt_txt_cmap_type_t first_map;
        uint8_t bitmap_format;
        uint8_t kern_classes;
    };
    const Case cases[] = {
        {"2 bpp compressed, no row filter", &fmt_rle2, ascii, LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY, 2, 1},
        {"3 bpp compressed", &fmt_rle3, ascii, LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY, 1, 1},
        {"4 bpp compressed", &fmt_rle4, ascii, LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY, 1, 1},
        {"format 0 full map", &fmt_full4, U"ACEGIKMOQSUWY", LV_FONT_FMT_TXT_CMAP_FORMAT0_FULL, 0, 1},
        {"kerning by 8-bit pairs", &fmt_pairs8, U"A\u00B0\u2022", LV_FONT_FMT_TXT_CMAP_SPARSE_TINY, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto& fdsc = *static_cast<const lv_font_fmt_txt_dsc_t*>(c.font->dsc);
        ASSERT_EQ((std::vector<int>{fdsc.cmaps[0].type, fdsc.bitmap_format, fdsc.kern_classes}),
                  (std::vector<int>{c.first_map, c.bitmap_format, c.kern_classes}));
        int kerned = 0;
        for (char32_t letter : c.letters) {
            SCOPED_TRACE(testing::Message() << "U+" << std::hex << (uint32_t)letter);
            for (char32_t next : c.letters + U'\0') {
                lv_font_glyph_dsc_t want, got;
                ASSERT_TRUE(lv_font_get_glyph_dsc(&fmt_ref8, &want, letter, next));
                ASSERT_TRUE(lv_font_get_glyph_dsc(c.font, &got, letter, next));
                ASSERT_EQ(got.adv_w, want.adv_w) << "next U+" << (uint32_t)next;
                kerned += next != 0 && got.adv_w != lv_font_get_glyph_width(c.font, letter, 0);
            }
            lv_font_glyph_dsc_t want, got;
            lv_font_get_glyph_dsc(&fmt_ref8, &want, letter, 0);
            lv_font_get_glyph_dsc(c.font, &got, letter, 0);
            ASSERT_EQ((std::vector<int>{got.box_w, got.box_h, got.ofs_x, got.ofs_y}),
                      (std::vector<int>{want.box_w, want.box_h, want.ofs_x, want.ofs_y}));
            const uint32_t n = got.box_w * got.box_h;
            if (n == 0) continue;
            // Copy the reference first: a compressed font unpacks into a buffer the next call reuses.
            const uint8_t* ref = lv_font_get_glyph_bitmap(&fmt_ref8, letter);
            const std::vector<uint8_t> ref8(ref, ref + n);
            const uint8_t* bitmap = lv_font_get_glyph_bitmap(c.font, letter);
            ASSERT_NE(bitmap, nullptr);
            const uint32_t bpp = fdsc.bpp == 3 ? 4 : fdsc.bpp;
            for (uint32_t k = 0; k < n; k++) {
                ASSERT_EQ(pixel(bitmap, bpp, k), quantised(ref8[k], fdsc.bpp)) << "pixel " << k;
            }
        }
        EXPECT_GT(kerned, 0) << "no pair of these letters kerns";
    }
}
