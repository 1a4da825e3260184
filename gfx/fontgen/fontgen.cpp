// Build-time font generator: renders a TrueType face at one pixel size into a C++ source that
// defines an lv_font_t for the graphics runtime's built-in font format (font/font_builtin.h).
//
//   fontgen <font.ttf> <size_px> <bpp> <symbol> <out.cpp> <range>...
//   range: 0x20-0x7E or a single code point such as 0xB0
#include "gpos_kern.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Glyph {
    uint32_t letter = 0;
    uint32_t bitmap_index = 0;
    uint32_t adv16 = 0; // advance in 1/16 px
    int box_w = 0, box_h = 0, ofs_x = 0, ofs_y = 0;
    FT_UInt index = 0;
};

struct KernPair {
    uint32_t left, right;
    int kern16;
};

struct Options {
    std::string font_path, symbol, out_path;
    int size = 0;
    int bpp = 0;
    std::vector<uint32_t> letters;
};

bool parse_range(const std::string& arg, std::vector<uint32_t>& letters) {
    char* end = nullptr;
    const unsigned long first = std::strtoul(arg.c_str(), &end, 0);
    unsigned long last = first;
    if (*end == '-') last = std::strtoul(end + 1, &end, 0);
    if (*end != '\0' || last < first || last > 0x10FFFF) return false;
    for (unsigned long c = first; c <= last; c++) letters.push_back((uint32_t)c);
    return true;
}

bool parse_options(int argc, char** argv, Options& opt) {
    if (argc < 7) return false;
    opt.font_path = argv[1];
    opt.size = std::atoi(argv[2]);
    opt.bpp = std::atoi(argv[3]);
    opt.symbol = argv[4];
    opt.out_path = argv[5];
    for (int a = 6; a < argc; a++)
        if (!parse_range(argv[a], opt.letters)) return false;
    std::sort(opt.letters.begin(), opt.letters.end());
    opt.letters.erase(std::unique(opt.letters.begin(), opt.letters.end()), opt.letters.end());
    return opt.size > 0 && opt.size < 128 && (opt.bpp == 1 || opt.bpp == 2 || opt.bpp == 4 || opt.bpp == 8);
}

// Appends `values` (each < 2^bpp) as a bit stream, first pixel in the high bits, padded to a byte.
void pack_bits(const std::vector<uint8_t>& values, int bpp, std::vector<uint8_t>& out) {
    uint32_t acc = 0;
    int bits = 0;
    for (uint8_t v : values) {
        acc = acc << bpp | v;
        bits += bpp;
        if (bits == 8) {
            out.push_back((uint8_t)acc);
            acc = 0;
            bits = 0;
        }
    }
    if (bits > 0) out.push_back((uint8_t)(acc << (8 - bits)));
}

// Renders one glyph, quantises it to `bpp` and crops it to its inked rows and columns.
bool render_glyph(FT_Face face, int bpp, Glyph& g, std::vector<uint8_t>& bitmap) {
    if (FT_Load_Glyph(face, g.index, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) return false;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && bm.rows > 0) return false;
    // Unhinted advance: 16.16 pixels -> 1/16 px, rounded.
    g.adv16 = (uint32_t)((slot->linearHoriAdvance * 16 + 0x8000) >> 16);

    const int levels = (1 << bpp) - 1;
    const int w = (int)bm.width, h = (int)bm.rows;
    std::vector<uint8_t> q((size_t)w * (size_t)h);
    int x0 = w, x1 = -1, y0 = h, y1 = -1;
    for (int y = 0; y < h; y++) {
        const uint8_t* row = bm.buffer + (ptrdiff_t)y * bm.pitch;
        for (int x = 0; x < w; x++) {
            const uint8_t v = (uint8_t)((row[x] * levels + 127) / 255);
            q[(size_t)y * (size_t)w + (size_t)x] = v;
            if (v == 0) continue;
            x0 = std::min(x0, x);
            x1 = std::max(x1, x);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y);
        }
    }
    g.bitmap_index = (uint32_t)bitmap.size();
    if (x1 < 0) return true; // nothing inked (space)

    g.box_w = x1 - x0 + 1;
    g.box_h = y1 - y0 + 1;
    g.ofs_x = slot->bitmap_left + x0;
    g.ofs_y = (slot->bitmap_top - y0) - g.box_h;
    std::vector<uint8_t> cropped;
    cropped.reserve((size_t)g.box_w * (size_t)g.box_h);
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++) cropped.push_back(q[(size_t)y * (size_t)w + (size_t)x]);
    pack_bits(cropped, bpp, bitmap);
    return true;
}

std::vector<KernPair> collect_kerning(FT_Face face, int size, const std::vector<Glyph>& glyphs) {
    std::vector<uint8_t> gpos_table;
    FT_ULong len = 0;
    if (!FT_HAS_KERNING(face) && FT_Load_Sfnt_Table(face, TTAG_GPOS, 0, nullptr, &len) == 0 && len > 0) {
        gpos_table.resize(len);
        if (FT_Load_Sfnt_Table(face, TTAG_GPOS, 0, gpos_table.data(), &len) != 0) gpos_table.clear();
    }
    const fontgen::GposKerning gpos(std::move(gpos_table));

    std::vector<KernPair> pairs;
    for (const Glyph& l : glyphs) {
        for (const Glyph& r : glyphs) {
            long units = 0;
            if (FT_HAS_KERNING(face)) {
                FT_Vector v{};
                if (FT_Get_Kerning(face, l.index, r.index, FT_KERNING_UNSCALED, &v) == 0) units = v.x;
            } else if (!gpos.empty() && l.index <= 0xFFFF && r.index <= 0xFFFF) {
                units = gpos.pair_value((uint16_t)l.index, (uint16_t)r.index);
            }
            if (units == 0) continue;
            // Font units -> 1/16 px, rounded half away from zero.
            const long scaled = units * size * 16;
            const long em = face->units_per_EM;
            const long rounded = scaled >= 0 ? (scaled + em / 2) / em : -((-scaled + em / 2) / em);
            const int kern16 = (int)std::clamp(rounded, -32768L, 32767L);
            if (kern16 != 0 && l.letter <= 0xFFFF && r.letter <= 0xFFFF)
                pairs.push_back({l.letter, r.letter, kern16});
        }
    }
    return pairs;
}

struct Metrics {
    int line_height, base_line, underline_position, underline_thickness;
};

// Whole pixels inside the face's ascender and descender (scaled font units, truncated), widened
// where a rendered glyph reaches further.
Metrics compute_metrics(FT_Face face, int size, const std::vector<Glyph>& glyphs) {
    const long em = face->units_per_EM;
    int ascent = (int)(face->ascender * size / em);
    int descent = (int)(-face->descender * size / em);
    for (const Glyph& g : glyphs) {
        if (g.box_h == 0) continue;
        ascent = std::max(ascent, g.ofs_y + g.box_h);
        descent = std::max(descent, -g.ofs_y);
    }
    Metrics m{};
    m.line_height = ascent + descent;
    m.base_line = descent;
    m.underline_position = (int)(face->underline_position * size / em);
    m.underline_thickness = std::max(1, (int)(face->underline_thickness * size / em));
    return m;
}

void write_bytes(std::ofstream& out, const std::vector<uint8_t>& bytes) {
    for (size_t k = 0; k < bytes.size(); k++) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "0x%02x,", bytes[k]);
        out << (k % 16 == 0 ? "\n    " : " ") << buf;
    }
    out << "\n";
}

bool write_source(const Options& opt, const std::vector<Glyph>& glyphs, const std::vector<uint8_t>& bitmap,
                  const std::vector<KernPair>& kern, const Metrics& m) {
    const std::string tmp = opt.out_path + ".tmp";
    std::ofstream out(tmp, std::ios::trunc);
    if (!out) return false;
    const std::string base = opt.font_path.substr(opt.font_path.find_last_of('/') + 1);
    out << "// Generated by fontgen from " << base << " at " << opt.size << " px, " << opt.bpp
        << " bpp. Do not edit.\n"
        << "#include \"font/font_builtin.h\"\n\nnamespace {\n\n";

    out << "const uint8_t glyph_bitmap[] = {";
    write_bytes(out, bitmap.empty() ? std::vector<uint8_t>{0} : bitmap);
    out << "};\n\nconst uint32_t letters[] = {";
    for (size_t k = 0; k < glyphs.size(); k++)
        out << (k % 12 == 0 ? "\n    " : " ") << glyphs[k].letter << ",";
    out << "\n};\n\n// bitmap index, advance (1/16 px), box w, box h, ofs x, ofs y\n"
        << "const gfx::BuiltinGlyph glyphs[] = {\n";
    for (const Glyph& g : glyphs)
        out << "    {" << g.bitmap_index << ", " << g.adv16 << ", " << g.box_w << ", " << g.box_h << ", "
            << g.ofs_x << ", " << g.ofs_y << "},\n";
    out << "};\n\n// left, right, kerning (1/16 px); sorted by left, then right\n"
        << "const gfx::BuiltinKernPair kern_pairs[] = {\n";
    for (const KernPair& p : kern) out << "    {" << p.left << ", " << p.right << ", " << p.kern16 << "},\n";
    if (kern.empty()) out << "    {0, 0, 0},\n";
    out << "};\n\nconst gfx::BuiltinFont font_data = {letters, glyphs, " << glyphs.size()
        << ", glyph_bitmap, " << opt.bpp << ", kern_pairs, " << kern.size() << "};\n\n} // namespace\n\n";

    out << "extern \"C\" const lv_font_t " << opt.symbol << " = {\n"
        << "    gfx::builtin_glyph_dsc,\n    gfx::builtin_glyph_bitmap,\n"
        << "    " << m.line_height << ", // line_height\n"
        << "    " << m.base_line << ", // base_line\n"
        << "    LV_FONT_SUBPX_NONE,\n"
        << "    " << m.underline_position << ", // underline_position\n"
        << "    " << m.underline_thickness << ", // underline_thickness\n"
        << "    &font_data,\n    nullptr,\n    nullptr,\n};\n";
    out.close();
    if (!out) return false;
    return std::rename(tmp.c_str(), opt.out_path.c_str()) == 0;
}

} // namespace

int main(int argc, char** argv) {
    Options opt;
    if (!parse_options(argc, argv, opt)) {
        std::fprintf(stderr,
                     "usage: fontgen <font.ttf> <size_px> <bpp 1|2|4|8> <symbol> <out.cpp> <range>...\n");
        return 2;
    }
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&lib) != 0 || FT_New_Face(lib, opt.font_path.c_str(), 0, &face) != 0 ||
        FT_Set_Pixel_Sizes(face, 0, (FT_UInt)opt.size) != 0) {
        std::fprintf(stderr, "fontgen: cannot open %s at %d px\n", opt.font_path.c_str(), opt.size);
        return 1;
    }

    std::vector<Glyph> glyphs;
    std::vector<uint8_t> bitmap;
    for (uint32_t letter : opt.letters) {
        Glyph g;
        g.letter = letter;
        g.index = FT_Get_Char_Index(face, letter);
        if (g.index == 0) {
            std::fprintf(stderr, "fontgen: %s has no glyph for U+%04X, skipped\n", opt.font_path.c_str(),
                         letter);
            continue;
        }
        if (!render_glyph(face, opt.bpp, g, bitmap)) {
            std::fprintf(stderr, "fontgen: cannot render U+%04X\n", letter);
            return 1;
        }
        glyphs.push_back(g);
    }
    const std::vector<KernPair> kern = collect_kerning(face, opt.size, glyphs);
    const Metrics m = compute_metrics(face, opt.size, glyphs);
    FT_Done_Face(face);
    FT_Done_FreeType(lib);

    if (!write_source(opt, glyphs, bitmap, kern, m)) {
        std::fprintf(stderr, "fontgen: cannot write %s\n", opt.out_path.c_str());
        return 1;
    }
    return 0;
}
