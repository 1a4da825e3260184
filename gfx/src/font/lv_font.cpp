// Font API: glyph descriptors and bitmaps through the fallback chain, and the placeholder metrics
// of letters that no font has.
#include "font/font_builtin.h"
#include "font/font_internal.h"
#include "lv_font.h"

#include <algorithm>

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

// Built-in fonts ---------------------------------------------------------------------------------

namespace {

const BuiltinGlyph* find_glyph(const BuiltinFont& data, uint32_t letter) {
    const uint32_t* end = data.letters + data.glyph_count;
    const uint32_t* it = std::lower_bound(data.letters, end, letter);
    if (it == end || *it != letter) return nullptr;
    return &data.glyphs[it - data.letters];
}

int32_t find_kerning(const BuiltinFont& data, uint32_t left, uint32_t right) {
    if (left > 0xFFFF || right > 0xFFFF) return 0;
    const BuiltinKernPair* end = data.kern_pairs + data.kern_count;
    const BuiltinKernPair* it =
        std::lower_bound(data.kern_pairs, end, std::pair<uint32_t, uint32_t>(left, right),
                         [](const BuiltinKernPair& p, const std::pair<uint32_t, uint32_t>& key) {
                             return p.left < key.first || (p.left == key.first && p.right < key.second);
                         });
    if (it == end || it->left != left || it->right != right) return 0;
    return it->kern16;
}

} // namespace

bool builtin_glyph_dsc(const lv_font_t* font, lv_font_glyph_dsc_t* dsc_out, uint32_t letter,
                       uint32_t letter_next) {
    const auto& data = *static_cast<const BuiltinFont*>(font->dsc);
    // A tab is a space of double width.
    const bool is_tab = letter == '\t';
    if (is_tab) letter = ' ';
    const BuiltinGlyph* g = find_glyph(data, letter);
    if (g == nullptr) return false;

    int32_t adv16 = is_tab ? 2 * g->adv16 : g->adv16;
    if (letter_next != 0) adv16 += find_kerning(data, letter, letter_next);
    dsc_out->adv_w = (uint16_t)std::max<int32_t>(0, (adv16 + 8) >> 4);
    dsc_out->box_w = g->box_w;
    dsc_out->box_h = g->box_h;
    dsc_out->ofs_x = g->ofs_x;
    dsc_out->ofs_y = g->ofs_y;
    dsc_out->bpp = data.bpp;
    dsc_out->is_placeholder = 0;
    return true;
}

const uint8_t* builtin_glyph_bitmap(const lv_font_t* font, uint32_t letter) {
    const auto& data = *static_cast<const BuiltinFont*>(font->dsc);
    if (letter == '\t') letter = ' ';
    const BuiltinGlyph* g = find_glyph(data, letter);
    return g != nullptr ? data.bitmap + g->bitmap_index : nullptr;
}

} // namespace gfx

// Public API -------------------------------------------------------------------------------------

bool lv_font_get_glyph_dsc(const lv_font_t* font_p, lv_font_glyph_dsc_t* dsc_out, uint32_t letter,
                           uint32_t letter_next) {
    if (font_p == nullptr || dsc_out == nullptr) return false;
    if (gfx::font_resolve_glyph(font_p, dsc_out, letter, letter_next) != nullptr) return true;

    // No font has the letter: control characters take no room, anything else gets an empty box
    // sized from the requested font.
    *dsc_out = {};
    if (letter >= 0x20) {
        const lv_coord_t h = font_p->line_height;
        dsc_out->adv_w = (uint16_t)(h / 2 + 2);
        dsc_out->box_w = (uint16_t)(h / 2 + 1);
        dsc_out->box_h = (uint16_t)(h + 1);
        dsc_out->bpp = 1;
        dsc_out->is_placeholder = 1;
    }
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
