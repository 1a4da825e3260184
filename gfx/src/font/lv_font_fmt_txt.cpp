// Fonts in LVGL's own format: letters to glyph ids through the character maps, kerning by glyph
// pairs or classes, and bitmaps stored plain or compressed (a run-length code, optionally over rows
// XORed with the row above).
#include "lv_font_fmt_txt.h"
#include "lv_log.h"

#include <algorithm>
#include <vector>

namespace {

const lv_font_fmt_txt_dsc_t& fmt_dsc(const lv_font_t* font) {
    return *static_cast<const lv_font_fmt_txt_dsc_t*>(font->dsc);
}

// Position of `key` in a sorted list, or -1.
int32_t find_sorted(const uint16_t* list, uint32_t count, uint32_t key) {
    const uint16_t* end = list + count;
    const uint16_t* it = std::lower_bound(list, end, key);
    return it != end && *it == key ? (int32_t)(it - list) : -1;
}

uint32_t cmap_glyph_id(const lv_font_fmt_txt_cmap_t& cmap, uint32_t rcp) {
    switch (cmap.type) {
    case LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY:
        return cmap.glyph_id_start + rcp;
    case LV_FONT_FMT_TXT_CMAP_FORMAT0_FULL:
        return cmap.glyph_id_start + static_cast<const uint8_t*>(cmap.glyph_id_ofs_list)[rcp];
    case LV_FONT_FMT_TXT_CMAP_SPARSE_TINY:
    case LV_FONT_FMT_TXT_CMAP_SPARSE_FULL: {
        const int32_t k = find_sorted(cmap.unicode_list, cmap.list_length, rcp);
        if (k < 0) return 0;
        if (cmap.type == LV_FONT_FMT_TXT_CMAP_SPARSE_TINY) return cmap.glyph_id_start + (uint32_t)k;
        return cmap.glyph_id_start + static_cast<const uint16_t*>(cmap.glyph_id_ofs_list)[k];
    }
    default:
        return 0;
    }
}

// Glyph id of a letter, 0 when the font has none. The first map whose range holds the letter decides,
// even when its list lacks the letter.
uint32_t glyph_id(const lv_font_fmt_txt_dsc_t& font, uint32_t letter) {
    if (letter == 0) return 0;
    if (font.cache != nullptr && font.cache->last_letter == letter) return font.cache->last_glyph_id;
    uint32_t id = 0;
    for (uint32_t i = 0; i < font.cmap_num; i++) {
        const lv_font_fmt_txt_cmap_t& cmap = font.cmaps[i];
        const uint32_t rcp = letter - cmap.range_start; // wraps around below the range
        if (rcp >= cmap.range_length) continue;
        id = cmap_glyph_id(cmap, rcp);
        break;
    }
    if (font.cache != nullptr) {
        font.cache->last_letter = letter;
        font.cache->last_glyph_id = id;
    }
    return id;
}

template <typename Id>
int8_t pair_kerning(const Id* ids, const lv_font_fmt_txt_kern_pair_t& kern, uint32_t left, uint32_t right) {
    uint32_t lo = 0;
    uint32_t hi = kern.pair_cnt;
    while (lo < hi) {
        const uint32_t mid = lo + (hi - lo) / 2;
        const uint32_t l = ids[2 * mid];
        if (l < left || (l == left && ids[2 * mid + 1] < right)) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    if (lo < kern.pair_cnt && ids[2 * lo] == left && ids[2 * lo + 1] == right) return kern.values[lo];
    return 0;
}

// Kerning between two glyphs in the font's own units (scaled by kern_scale / 16 to 1/16 px).
int8_t kerning(const lv_font_fmt_txt_dsc_t& font, uint32_t left, uint32_t right) {
    if (font.kern_classes == 0) {
        const auto& kern = *static_cast<const lv_font_fmt_txt_kern_pair_t*>(font.kern_dsc);
        if (kern.glyph_ids_size == 0) {
            if (left > UINT8_MAX || right > UINT8_MAX) return 0;
            return pair_kerning(static_cast<const uint8_t*>(kern.glyph_ids), kern, left, right);
        }
        if (kern.glyph_ids_size == 1) {
            return pair_kerning(static_cast<const uint16_t*>(kern.glyph_ids), kern, left, right);
        }
        return 0;
    }
    const auto& kern = *static_cast<const lv_font_fmt_txt_kern_classes_t*>(font.kern_dsc);
    const uint32_t l = kern.left_class_mapping[left];
    const uint32_t r = kern.right_class_mapping[right];
    if (l == 0 || r == 0) return 0;
    return kern.class_pair_values[(l - 1) * kern.right_class_cnt + (r - 1)];
}

#if LV_USE_FONT_COMPRESSED

// Reads the pixel values of one compressed glyph in order. A value repeated right after itself starts
// a run: each following 1 bit repeats it once more, a 0 bit ends the run with a new literal value; the
// eleventh 1 bit is followed by a 6-bit count (0: a literal comes next, else count - 1 more repeats
// and then a literal).
class RleReader {
  public:
    RleReader(const uint8_t* in, uint32_t bpp) : in_(in), bpp_(bpp) {}

    uint8_t next() {
        switch (state_) {
        case State::Single: {
            const bool first = pos_ == 0;
            const uint8_t v = bits(bpp_);
            if (!first && v == prev_) {
                state_ = State::Run;
                count_ = 0;
            }
            prev_ = v;
            return v;
        }
        case State::Run:
            count_++;
            if (bits(1) == 0) return literal();
            if (count_ == 11) {
                count_ = bits(6);
                if (count_ == 0) return literal();
                state_ = State::Counted;
            }
            return prev_;
        case State::Counted:
            if (--count_ == 0) return literal();
            return prev_;
        }
        return 0;
    }

  private:
    enum class State { Single, Run, Counted };

    // The next `len` bits, first bit most significant; the next byte is touched only when needed.
    uint8_t bits(uint32_t len) {
        const uint32_t shift = pos_ & 7;
        uint32_t window = (uint32_t)in_[pos_ >> 3] << 8;
        if (shift + len > 8) window |= in_[(pos_ >> 3) + 1];
        pos_ += len;
        return (uint8_t)((window >> (16 - shift - len)) & ((1u << len) - 1));
    }

    uint8_t literal() {
        prev_ = bits(bpp_);
        state_ = State::Single;
        return prev_;
    }

    const uint8_t* in_;
    uint32_t bpp_;
    uint32_t pos_ = 0;
    uint8_t prev_ = 0;
    uint32_t count_ = 0;
    State state_ = State::Single;
};

// The last unpacked glyph; LVGL keeps one such buffer too.
std::vector<uint8_t> g_unpacked;
std::vector<uint8_t> g_row_above;

// Unpacks a compressed glyph into rows of `bpp` bits per pixel (3 bpp becomes 4 bpp), packed without
// padding like a plain bitmap.
const uint8_t* unpack_glyph(const uint8_t* in, uint32_t w, uint32_t h, uint32_t bpp, bool row_filter) {
    static constexpr uint8_t kBpp3To4[8] = {0, 2, 4, 6, 9, 11, 13, 15};
    const uint32_t count = w * h;
    if (count == 0) return nullptr;
    const uint32_t out_bpp = bpp == 3 ? 4 : bpp;
    g_unpacked.assign((count * out_bpp + 7) / 8, 0);
    g_row_above.assign(w, 0);

    RleReader reader(in, bpp);
    uint32_t bit = 0;
    for (uint32_t y = 0; y < h; y++) {
        for (uint32_t x = 0; x < w; x++) {
            uint8_t v = reader.next();
            if (row_filter) {
                v ^= g_row_above[x];
                g_row_above[x] = v;
            }
            if (bpp == 3) v = kBpp3To4[v];
            g_unpacked[bit >> 3] |= (uint8_t)(v << (8 - out_bpp - (bit & 7)));
            bit += out_bpp;
        }
    }
    return g_unpacked.data();
}

#endif

} // namespace

const uint8_t* lv_font_get_bitmap_fmt_txt(const lv_font_t* font, uint32_t letter) {
    if (letter == '\t') letter = ' ';
    const lv_font_fmt_txt_dsc_t& fdsc = fmt_dsc(font);
    const uint32_t gid = glyph_id(fdsc, letter);
    if (gid == 0) return nullptr;
    const lv_font_fmt_txt_glyph_dsc_t& g = fdsc.glyph_dsc[gid];
    if (fdsc.bitmap_format == LV_FONT_FMT_TXT_PLAIN) return &fdsc.glyph_bitmap[g.bitmap_index];
#if LV_USE_FONT_COMPRESSED
    return unpack_glyph(&fdsc.glyph_bitmap[g.bitmap_index], g.box_w, g.box_h, fdsc.bpp,
                        fdsc.bitmap_format == LV_FONT_FMT_TXT_COMPRESSED);
#else
    LV_LOG_WARN("Compressed fonts is used but LV_USE_FONT_COMPRESSED is not enabled in lv_conf.h");
    return nullptr;
#endif
}

bool lv_font_get_glyph_dsc_fmt_txt(const lv_font_t* font, lv_font_glyph_dsc_t* dsc_out,
                                   uint32_t unicode_letter, uint32_t unicode_letter_next) {
    // A tab is a space twice as wide.
    const bool is_tab = unicode_letter == '\t';
    if (is_tab) unicode_letter = ' ';
    const lv_font_fmt_txt_dsc_t& fdsc = fmt_dsc(font);
    const uint32_t gid = glyph_id(fdsc, unicode_letter);
    if (gid == 0) return false;

    int32_t kern = 0;
    if (fdsc.kern_dsc != nullptr) {
        const uint32_t gid_next = glyph_id(fdsc, unicode_letter_next);
        if (gid_next != 0) kern = ((int32_t)kerning(fdsc, gid, gid_next) * fdsc.kern_scale) >> 4;
    }

    const lv_font_fmt_txt_glyph_dsc_t& g = fdsc.glyph_dsc[gid];
    // Advance and kerning add up in 1/16 px (unsigned, as LVGL adds them) and round to whole pixels.
    const uint32_t adv = (uint32_t)g.adv_w * (is_tab ? 2 : 1) + (uint32_t)kern;
    dsc_out->adv_w = (uint16_t)((adv + 8) >> 4);
    dsc_out->box_w = (uint16_t)(g.box_w * (is_tab ? 2 : 1));
    dsc_out->box_h = g.box_h;
    dsc_out->ofs_x = g.ofs_x;
    dsc_out->ofs_y = g.ofs_y;
    dsc_out->bpp = fdsc.bpp;
    dsc_out->is_placeholder = 0;
    return true;
}

void _lv_font_clean_up_fmt_txt(void) {
#if LV_USE_FONT_COMPRESSED
    std::vector<uint8_t>().swap(g_unpacked);
    std::vector<uint8_t>().swap(g_row_above);
#endif
}
