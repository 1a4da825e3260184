// Glyph look-up through a font's fallback chain, shared by the font API and the label painter.
#pragma once

#include "lv_font.h"

namespace gfx {

// Letters that take no room and draw nothing when no font has them: control characters, LVGL's dummy
// symbol U+F8FF and the zero-width non-joiner U+200C.
inline bool font_letter_is_silent(uint32_t letter) {
    return letter < 0x20 || letter == 0xF8FF || letter == 0x200C;
}

// Fills `dsc` from the first font of the chain that has a real glyph for `letter`; a font that
// only offers its own stand-in glyph (is_placeholder) is used when no later font does better.
// Returns the font that answered, or nullptr (dsc then holds zeros).
const lv_font_t* font_resolve_glyph(const lv_font_t* font, lv_font_glyph_dsc_t* dsc, uint32_t letter,
                                    uint32_t letter_next);

} // namespace gfx
