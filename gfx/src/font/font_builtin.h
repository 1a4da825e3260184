// Fonts compiled into the library (made at build time by gfx/fontgen): sorted glyph tables with
// bit-packed bitmaps, advances in 1/16 px and pair kerning.
#pragma once

#include "lv_font.h"

namespace gfx {

struct BuiltinGlyph {
    uint32_t bitmap_index; // first byte of the glyph in BuiltinFont::bitmap
    uint16_t adv16;        // advance width in 1/16 px
    uint8_t box_w;
    uint8_t box_h;
    int8_t ofs_x;
    int8_t ofs_y; // bottom of the box relative to the baseline
};

struct BuiltinKernPair {
    uint16_t left;
    uint16_t right;
    int16_t kern16; // 1/16 px, added to the left letter's advance
};

struct BuiltinFont {
    const uint32_t* letters; // sorted code points; glyphs[i] belongs to letters[i]
    const BuiltinGlyph* glyphs;
    uint32_t glyph_count;
    const uint8_t* bitmap; // rows of each glyph packed without padding, first pixel in the high bits
    uint8_t bpp;
    const BuiltinKernPair* kern_pairs; // sorted by left, then right
    uint32_t kern_count;
};

// lv_font_t callbacks for fonts whose dsc is a BuiltinFont.
bool builtin_glyph_dsc(const lv_font_t* font, lv_font_glyph_dsc_t* dsc_out, uint32_t letter,
                       uint32_t letter_next);
const uint8_t* builtin_glyph_bitmap(const lv_font_t* font, uint32_t letter);

} // namespace gfx
