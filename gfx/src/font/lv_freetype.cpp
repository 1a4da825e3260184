// FreeType binding: fonts from TrueType files (or memory) through FreeType's cache subsystem.
// Every font is its own cache face id, so the cache manager may close and reopen its face at will.
#include "lv_freetype.h"
#include "lv_log.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_CACHE_H
#include FT_GLYPH_H
#include FT_OUTLINE_H

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

// The glyphs a font has handed out, with their 8-bit bitmaps copied, so text that is drawn again
// costs neither FreeType look-ups nor copies. Open addressing on the letter; when it gets full it
// starts over (the storage keeps its size, so a steady screen allocates nothing).
class GlyphCache {
  public:
    struct Entry {
        uint32_t letter = 0; // 0: free (letters below 0x20 never get here)
        lv_font_glyph_dsc_t dsc{};
        uint32_t bitmap_at = 0; // offset in bitmaps_
    };

    const Entry* find(uint32_t letter) const {
        for (uint32_t i = hash(letter);; i = (i + 1) & (kSlots - 1)) {
            const Entry& e = slots_[i];
            if (e.letter == letter) return &e;
            if (e.letter == 0) return nullptr;
        }
    }
    // Space for the entry's bitmap of `size` bytes is reserved; fill it through bitmap().
    Entry* add(uint32_t letter, const lv_font_glyph_dsc_t& dsc, size_t size) {
        if (used_ >= kMaxUsed) clear();
        uint32_t i = hash(letter);
        while (slots_[i].letter != 0) i = (i + 1) & (kSlots - 1);
        Entry& e = slots_[i];
        e.letter = letter;
        e.dsc = dsc;
        e.bitmap_at = (uint32_t)bitmaps_.size();
        bitmaps_.resize(bitmaps_.size() + size);
        used_++;
        return &e;
    }
    uint8_t* bitmap(const Entry* e) { return bitmaps_.data() + e->bitmap_at; }
    void clear() {
        slots_.fill(Entry{});
        bitmaps_.clear();
        used_ = 0;
    }

  private:
    static constexpr uint32_t kSlots = 256;
    static constexpr uint32_t kMaxUsed = kSlots * 3 / 4;
    static uint32_t hash(uint32_t letter) { return (letter * 2654435761u >> 7) & (kSlots - 1); }

    std::array<Entry, kSlots> slots_{};
    std::vector<uint8_t> bitmaps_;
    uint32_t used_ = 0;
};

struct FtFont {
    lv_font_t font{};
    std::string name;
    const void* mem = nullptr;
    size_t mem_size = 0;
    uint16_t weight = 0;
    uint16_t style = 0;
    GlyphCache glyphs;
};

struct FtState {
    FT_Library library = nullptr;
    FTC_Manager manager = nullptr;
    FTC_CMapCache cmap_cache = nullptr;
    FTC_ImageCache image_cache = nullptr;
};

FtState g_ft;
// Fonts stay valid across lv_freetype_destroy(): their face ids are reopened by the next manager.
// Lives as long as the process and is never destroyed, so what it holds stays reachable at exit.
std::vector<FtFont*>& g_fonts = *new std::vector<FtFont*>;

// Italic slant: x += y * 0.21875.
constexpr FT_Fixed kItalicShear = 0x3800;
constexpr FT_Pos kBoldStrength = 1 << 6; // 1 px in 26.6

FT_Error face_requester(FTC_FaceID face_id, FT_Library library, FT_Pointer, FT_Face* aface) {
    const auto* f = static_cast<const FtFont*>(face_id);
    const FT_Error err = f->mem != nullptr ? FT_New_Memory_Face(library, static_cast<const FT_Byte*>(f->mem),
                                                                (FT_Long)f->mem_size, 0, aface)
                                           : FT_New_Face(library, f->name.c_str(), 0, aface);
    if (err != 0) {
#if LV_USE_LOG && LV_LOG_LEVEL <= LV_LOG_LEVEL_ERROR
        // Origin and wording of this line are what users see in the log.
        _lv_log_add(LV_LOG_LEVEL_ERROR, "lv_freetype.c", 199, "font_face_requester", "FT_New_Face error:%d\n",
                    err);
#endif
        return err;
    }
    return FT_Err_Ok;
}

// A glyph image from the cache, or for bold and italic fonts a styled copy this holder owns.
class GlyphImage {
  public:
    GlyphImage() = default;
    GlyphImage(const GlyphImage&) = delete;
    GlyphImage& operator=(const GlyphImage&) = delete;
    ~GlyphImage() {
        if (owned_) FT_Done_Glyph(glyph_);
    }

    bool load(const FtFont& f, uint32_t letter, FT_UInt& index) {
        if (g_ft.manager == nullptr) return false;
        index = FTC_CMapCache_Lookup(g_ft.cmap_cache, (FTC_FaceID)&f, -1, letter);
        const bool styled = f.style & (FT_FONT_STYLE_BOLD | FT_FONT_STYLE_ITALIC);
        FTC_ImageTypeRec type{};
        type.face_id = (FTC_FaceID)&f;
        type.width = f.weight;
        type.height = f.weight;
        type.flags =
            styled ? FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL : FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL;
        FT_Glyph cached = nullptr;
        if (FTC_ImageCache_Lookup(g_ft.image_cache, &type, index, &cached, nullptr) != 0) return false;
        if (cached->format == FT_GLYPH_FORMAT_BITMAP) {
            glyph_ = cached;
            return true;
        }
        // Styled fonts cache outlines and render a transformed copy on every request.
        if (FT_Glyph_Copy(cached, &glyph_) != 0) return false;
        owned_ = true;
        if (glyph_->format == FT_GLYPH_FORMAT_OUTLINE) {
            FT_Outline& outline = reinterpret_cast<FT_OutlineGlyph>(glyph_)->outline;
            if (f.style & FT_FONT_STYLE_BOLD) FT_Outline_Embolden(&outline, kBoldStrength);
            if (f.style & FT_FONT_STYLE_ITALIC) {
                FT_Matrix shear{0x10000, kItalicShear, 0, 0x10000};
                FT_Outline_Transform(&outline, &shear);
            }
        }
        return FT_Glyph_To_Bitmap(&glyph_, FT_RENDER_MODE_NORMAL, nullptr, 1) == 0;
    }

    FT_BitmapGlyph bitmap() const { return reinterpret_cast<FT_BitmapGlyph>(glyph_); }
    FT_Pos advance_x() const { return glyph_->advance.x; }

  private:
    FT_Glyph glyph_ = nullptr;
    bool owned_ = false;
};

// The glyph of `letter` from the font's own cache, rendered and copied there on first use.
const GlyphCache::Entry* cached_glyph(FtFont& f, uint32_t letter) {
    if (const GlyphCache::Entry* e = f.glyphs.find(letter)) return e;
    GlyphImage image;
    FT_UInt index = 0;
    if (!image.load(f, letter, index)) return nullptr;

    const FT_BitmapGlyph bg = image.bitmap();
    const FT_Bitmap& bm = bg->bitmap;
    lv_font_glyph_dsc_t dsc{};
    dsc.adv_w = (uint16_t)(image.advance_x() >> 16);
    dsc.box_w = (uint16_t)bm.width;
    dsc.box_h = (uint16_t)bm.rows;
    dsc.ofs_x = (int16_t)bg->left;
    dsc.ofs_y = (int16_t)(bg->top - (FT_Int)bm.rows);
    dsc.bpp = 8;
    dsc.is_placeholder = index == 0;

    GlyphCache::Entry* e = f.glyphs.add(letter, dsc, (size_t)bm.width * bm.rows);
    uint8_t* out = f.glyphs.bitmap(e);
    for (unsigned y = 0; y < bm.rows; y++) {
        const uint8_t* src = bm.buffer + (ptrdiff_t)y * bm.pitch;
        uint8_t* dst = out + (size_t)y * bm.width;
        if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
            for (unsigned x = 0; x < bm.width; x++) dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 0xFF : 0x00;
        } else {
            std::memcpy(dst, src, bm.width);
        }
    }
    return e;
}

FtFont& ft_font(const lv_font_t* font) {
    return *static_cast<FtFont*>(const_cast<void*>(font->dsc));
}

bool ft_glyph_dsc(const lv_font_t* font, lv_font_glyph_dsc_t* dsc, uint32_t letter, uint32_t letter_next) {
    if (letter < 0x20) {
        *dsc = {};
        return true;
    }
    FtFont& f = ft_font(font);
    const GlyphCache::Entry* e = cached_glyph(f, letter);
    if (e == nullptr) return false;
    *dsc = e->dsc;
    // The slanted last letter would stick out of the text box.
    if ((f.style & FT_FONT_STYLE_ITALIC) && letter_next == 0)
        dsc->adv_w = (uint16_t)(dsc->box_w + dsc->ofs_x);
    return true;
}

// The bitmap stays valid until another glyph of this font is cached.
const uint8_t* ft_glyph_bitmap(const lv_font_t* font, uint32_t letter) {
    if (letter < 0x20) return nullptr;
    FtFont& f = ft_font(font);
    const GlyphCache::Entry* e = cached_glyph(f, letter);
    return e != nullptr ? f.glyphs.bitmap(e) : nullptr;
}

} // namespace

bool lv_freetype_init(uint16_t max_faces, uint16_t max_sizes, uint32_t max_bytes) {
    if (g_ft.library != nullptr) return true;
    FT_Error err = FT_Init_FreeType(&g_ft.library);
    if (err != 0) {
        LV_LOG_ERROR("init freeType error(%d)", err);
        g_ft.library = nullptr;
        return false;
    }
    err = FTC_Manager_New(g_ft.library, max_faces, max_sizes, max_bytes, face_requester, nullptr,
                          &g_ft.manager);
    if (err == 0) err = FTC_CMapCache_New(g_ft.manager, &g_ft.cmap_cache);
    if (err == 0) err = FTC_ImageCache_New(g_ft.manager, &g_ft.image_cache);
    if (err != 0) {
        LV_LOG_ERROR("Failed to create the FreeType cache (%d)", err);
        lv_freetype_destroy();
        return false;
    }
    return true;
}

void lv_freetype_destroy(void) {
    // Without the binding no glyph can be looked up, cached or not.
    for (FtFont* f : g_fonts) f->glyphs.clear();
    if (g_ft.manager != nullptr) FTC_Manager_Done(g_ft.manager);
    if (g_ft.library != nullptr) FT_Done_FreeType(g_ft.library);
    g_ft = FtState{};
}

bool lv_ft_font_init(lv_ft_info_t* info) {
    if (info == nullptr) return false;
    if (g_ft.manager == nullptr) {
        LV_LOG_ERROR("FreeType is not initialised");
        return false;
    }
    if ((info->name == nullptr && info->mem == nullptr) || info->weight == 0) {
        LV_LOG_WARN("font has no file or size");
        return false;
    }

    auto* f = new (std::nothrow) FtFont;
    if (f == nullptr) return false;
    f->name = info->name != nullptr ? info->name : "";
    f->mem = info->mem;
    f->mem_size = info->mem_size;
    f->weight = info->weight;
    f->style = info->style;

    FTC_ScalerRec scaler{};
    scaler.face_id = (FTC_FaceID)f;
    scaler.width = f->weight;
    scaler.height = f->weight;
    scaler.pixel = 1;
    FT_Size size = nullptr;
    if (FTC_Manager_LookupSize(g_ft.manager, &scaler, &size) != 0) {
#if LV_USE_LOG && LV_LOG_LEVEL <= LV_LOG_LEVEL_ERROR
        _lv_log_add(LV_LOG_LEVEL_ERROR, "lv_freetype.c", 376, "lv_ft_font_init_cache",
                    "Failed to LookupSize");
#endif
        FTC_Manager_RemoveFaceID(g_ft.manager, (FTC_FaceID)f);
        delete f;
        return false;
    }

    const FT_Face face = size->face;
    lv_font_t& font = f->font;
    font.get_glyph_dsc = ft_glyph_dsc;
    font.get_glyph_bitmap = ft_glyph_bitmap;
    font.line_height = (lv_coord_t)(size->metrics.height >> 6);
    font.base_line = (lv_coord_t)(-(size->metrics.descender >> 6));
    font.subpx = LV_FONT_SUBPX_NONE;
    font.underline_position = (int8_t)(FT_MulFix(face->underline_position, size->metrics.y_scale) >> 6);
    font.underline_thickness =
        (int8_t)std::max<FT_Long>(1, FT_MulFix(face->underline_thickness, size->metrics.y_scale) >> 6);
    font.dsc = f;
    g_fonts.push_back(f);
    info->font = &font;
    return true;
}

void lv_ft_font_destroy(lv_font_t* font) {
    if (font == nullptr) return;
    const auto it =
        std::find_if(g_fonts.begin(), g_fonts.end(), [font](FtFont* f) { return &f->font == font; });
    if (it == g_fonts.end()) return;
    FtFont* f = *it;
    g_fonts.erase(it);
    if (g_ft.manager != nullptr) FTC_Manager_RemoveFaceID(g_ft.manager, (FTC_FaceID)f);
    delete f;
}
