// Font API: glyph descriptors and bitmaps through the fallback chain, and the placeholder metrics
// of letters that no font has. Fonts compiled into the program are in LVGL's own format
// (lv_font_fmt_txt.cpp).
#include "font/font_internal.h"
#include "lv_font.h"

namespace gfx {

namespace {

// Guards against a fallback chain that loops back on itself.
constexpr int kMaxFallbackDepth = 16;

} // namespace

const lv_font_t* font_resolve_glyph(const lv_font_t* font, lv_font_glyph_dsc_t* dsc, uint32_t letter,
                                    uint32_t letter_next) {
    const lv_font_t* stand_in_font = nullptr;
    lv_font_glyph_dsc_t stand_in{};
    int depth = 0;
    for (const lv_font_t* f = font; f != nullptr && depth < kMaxFallbackDepth; f = f->fallback, depth++) {
        *dsc = {};
        if (f->get_glyph_dsc == nullptr || !f->get_glyph_dsc(f, dsc, letter, letter_next)) continue;
        if (!dsc->is_placeholder) return f;
        if (stand_in_font == nullptr) {
            stand_in_font = f;
            stand_in = *dsc;
        }
    }
    *dsc = stand_in;
    return stand_in_font;
}

} // namespace gfx

// Public API -------------------------------------------------------------------------------------

bool lv_font_get_glyph_dsc(const lv_font_t* font_p, lv_font_glyph_dsc_t* dsc_out, uint32_t letter,
                           uint32_t letter_next) {
    if (font_p == nullptr || dsc_out == nullptr) return false;
    if (gfx::font_resolve_glyph(font_p, dsc_out, letter, letter_next) != nullptr) return true;

    // No font has the letter: an empty box as tall as the requested font's line; control characters,
    // the dummy symbol and the zero-width non-joiner take no room.
    *dsc_out = {};
    if (!gfx::font_letter_is_silent(letter)) {
        dsc_out->box_w = (uint16_t)(font_p->line_height / 2);
        dsc_out->adv_w = (uint16_t)(dsc_out->box_w + 2);
    }
    dsc_out->box_h = (uint16_t)font_p->line_height;
    dsc_out->bpp = 1;
    dsc_out->is_placeholder = 1;
    return false;
}

const uint8_t* lv_font_get_glyph_bitmap(const lv_font_t* font_p, uint32_t letter) {
    if (font_p == nullptr) return nullptr;
    lv_font_glyph_dsc_t dsc;
    const lv_font_t* f = gfx::font_resolve_glyph(font_p, &dsc, letter, 0);
    if (f == nullptr || f->get_glyph_bitmap == nullptr) return nullptr;
    return f->get_glyph_bitmap(f, letter);
}

uint16_t lv_font_get_glyph_width(const lv_font_t* font, uint32_t letter, uint32_t letter_next) {
    if (font == nullptr) return 0;
    lv_font_glyph_dsc_t dsc;
    lv_font_get_glyph_dsc(font, &dsc, letter, letter_next);
    return dsc.adv_w;
}
