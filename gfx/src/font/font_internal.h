// Glyph look-up through a font's fallback chain, shared by the font API and the label painter.
#pragma once

#include "lv_font.h"

namespace gfx {

// Fills `dsc` from the first font of the chain that has a real glyph for `letter`; a font that
// only offers its own stand-in glyph (is_placeholder) is used when no later font does better.
// Returns the font that answered, or nullptr (dsc then holds zeros).
const lv_font_t* font_resolve_glyph(const lv_font_t* font, lv_font_glyph_dsc_t* dsc, uint32_t letter,
                                    uint32_t letter_next);

} // namespace gfx
