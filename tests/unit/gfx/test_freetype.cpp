// FreeType binding: fonts from the TrueType files of the npm font packages, checked against
// FreeType's own answers for the same face and size.
#include "stdout_log.h"
#include "lvgl.h"
#include "test_paths.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const std::string kMontserrat = "@expo-google-fonts/montserrat/400Regular/Montserrat_400Regular.ttf";
const std::string kUbuntuMono = "@expo-google-fonts/ubuntu-mono/700Bold/UbuntuMono_700Bold.ttf";

// The same face opened directly, for reference values.
class RefFace {
  public:
    RefFace(const std::string& path, int px) {
        FT_Init_FreeType(&lib_);
        if (FT_New_Face(lib_, path.c_str(), 0, &face_) == 0)
            FT_Set_Pixel_Sizes(face_, (FT_UInt)px, (FT_UInt)px);
    }
    ~RefFace() {
        if (face_) FT_Done_Face(face_);
        FT_Done_FreeType(lib_);
    }
    FT_Face face() const { return face_; }
    FT_GlyphSlot render(uint32_t letter) {
        FT_Load_Char(face_, letter, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL);
        return face_->glyph;
    }

  private:
    FT_Library lib_ = nullptr;
    FT_Face face_ = nullptr;
};

class FreeType : public testing::Test {
  protected:
    StdoutLog log;
    void SetUp() override {
        ASSERT_TRUE(
            lv_freetype_init(LV_FREETYPE_CACHE_FT_FACES, LV_FREETYPE_CACHE_FT_SIZES, LV_FREETYPE_CACHE_SIZE));
    }
    void TearDown() override {
        for (lv_font_t* f : fonts_) lv_ft_font_destroy(f);
        lv_freetype_destroy();
    }

    lv_font_t* open(const std::string& rel, uint16_t px, uint16_t style = FT_FONT_STYLE_NORMAL) {
        path_ = sd_node_module_path(rel);
        lv_ft_info_t info{};
        info.name = path_.c_str();
        info.weight = px;
        info.style = style;
        if (!lv_ft_font_init(&info)) return nullptr;
        fonts_.push_back(info.font);
        return info.font;
    }

    std::string path_;
    std::vector<lv_font_t*> fonts_;
};

} // namespace

TEST_F(FreeType, MetricsMatchFreeTypeSizeMetrics) {
    for (const std::string& rel : {kMontserrat, kUbuntuMono}) {
        for (uint16_t px : {9, 12, 14, 16, 20, 25, 40}) {
            SCOPED_TRACE(testing::Message() << rel << " @" << px);
            const lv_font_t* f = open(rel, px);
            ASSERT_NE(f, nullptr);
            RefFace ref(sd_node_module_path(rel), px);
            ASSERT_NE(ref.face(), nullptr);
            const FT_Size_Metrics& m = ref.face()->size->metrics;
            EXPECT_EQ(f->line_height, m.height >> 6);
            EXPECT_EQ(f->base_line, -(m.descender >> 6));
            EXPECT_GE(f->underline_thickness, 1);

            // Advances and boxes are FreeType's hinted ones; no kerning between letters.
            for (uint32_t letter : {(uint32_t)'A', (uint32_t)'V', (uint32_t)'g', 0x416u}) {
                const FT_GlyphSlot slot = ref.render(letter);
                lv_font_glyph_dsc_t g;
                ASSERT_TRUE(lv_font_get_glyph_dsc(f, &g, letter, 'V'));
                EXPECT_EQ(g.adv_w, slot->advance.x >> 6);
                EXPECT_EQ(g.box_w, slot->bitmap.width);
                EXPECT_EQ(g.box_h, slot->bitmap.rows);
                EXPECT_EQ(g.ofs_x, slot->bitmap_left);
                EXPECT_EQ(g.ofs_y, slot->bitmap_top - (int)slot->bitmap.rows);
                EXPECT_EQ(g.bpp, 8);
            }
            EXPECT_EQ(lv_txt_get_width("AV", 2, f, 0, LV_TEXT_FLAG_NONE),
                      lv_font_get_glyph_width(f, 'A', 0) + lv_font_get_glyph_width(f, 'V', 0));
        }
    }
}

TEST_F(FreeType, GlyphBitmapsEqualFreeTypeRendering) {
    lv_font_t* f = open(kUbuntuMono, 25);
    ASSERT_NE(f, nullptr);
    RefFace ref(sd_node_module_path(kUbuntuMono), 25);
    for (uint32_t letter : {(uint32_t)'8', 0xE9u, 0x3A9u, 0x416u}) {
        SCOPED_TRACE(letter);
        const uint8_t* bm = lv_font_get_glyph_bitmap(f, letter);
        ASSERT_NE(bm, nullptr);
        const FT_GlyphSlot slot = ref.render(letter);
        for (unsigned y = 0; y < slot->bitmap.rows; y++)
            ASSERT_EQ(std::memcmp(bm + y * slot->bitmap.width, slot->bitmap.buffer + y * slot->bitmap.pitch,
                                  slot->bitmap.width),
                      0)
                << "row " << y;
    }
}

TEST_F(FreeType, ScriptsCoveredByEachFace) {
    struct Case {
        const std::string* font;
        uint32_t letter;
        bool present;
    };
    const Case cases[] = {
        {&kMontserrat, 'A', true},   {&kMontserrat, 0xE9, true},
        {&kMontserrat, 0x416, true}, {&kMontserrat, 0x3B1, false}, // Montserrat has no Greek
        {&kUbuntuMono, 'A', true},   {&kUbuntuMono, 0xE9, true},
        {&kUbuntuMono, 0x416, true}, {&kUbuntuMono, 0x3B1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << *c.font << " U+" << std::hex << c.letter);
        lv_font_t* f = open(*c.font, 20);
        ASSERT_NE(f, nullptr);
        lv_font_glyph_dsc_t g;
        // A missing letter still gets the face's own .notdef glyph.
        ASSERT_TRUE(lv_font_get_glyph_dsc(f, &g, c.letter, 0));
        EXPECT_EQ(g.is_placeholder, !c.present);
        if (!c.present) continue;
        ASSERT_GT(g.box_w * g.box_h, 0);
        const uint8_t* bm = lv_font_get_glyph_bitmap(f, c.letter);
        ASSERT_NE(bm, nullptr);
        int ink = 0;
        for (int k = 0; k < g.box_w * g.box_h; k++) ink += bm[k];
        EXPECT_GT(ink, 0);
    }
}

TEST_F(FreeType, ControlCharactersHaveNoSize) {
    lv_font_t* f = open(kMontserrat, 20);
    ASSERT_NE(f, nullptr);
    for (uint32_t c : {0x01u, 0x09u, 0x0Au, 0x1Fu}) {
        lv_font_glyph_dsc_t g;
        ASSERT_TRUE(lv_font_get_glyph_dsc(f, &g, c, 0));
        EXPECT_EQ(g.adv_w, 0);
        EXPECT_EQ(g.box_w * g.box_h, 0);
    }
}

TEST_F(FreeType, MissingFileFailsWithTwoErrorLines) {
    lv_font_t sentinel{};
    lv_ft_info_t info{};
    info.name = "./qorv_lvgl/assets/font/does-not-exist.ttf";
    info.weight = 20;
    info.font = &sentinel;
    EXPECT_FALSE(lv_ft_font_init(&info));
    EXPECT_EQ(info.font, &sentinel);
    // The first message carries a line break of its own, so it takes two printed lines.
    const std::vector<std::string> lines = log.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("[Error]\t(", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("\t font_face_requester: FT_New_Face error:1"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1], " \t(in lv_freetype.c line #199)");
    EXPECT_NE(lines[2].find("\t lv_ft_font_init_cache: Failed to LookupSize \t(in lv_freetype.c line #376)"),
              std::string::npos)
        << lines[2];

    // Asking again tries again.
    EXPECT_FALSE(lv_ft_font_init(&info));
    EXPECT_EQ(log.lines().size(), 6u);
}

TEST_F(FreeType, BadDescriptionsFailCleanly) {
    EXPECT_FALSE(lv_ft_font_init(nullptr));
    lv_ft_info_t info{};
    info.weight = 20;
    EXPECT_FALSE(lv_ft_font_init(&info)); // no name
    EXPECT_EQ(info.font, nullptr);
    path_ = sd_node_module_path(kMontserrat);
    info.name = path_.c_str();
    info.weight = 0;
    EXPECT_FALSE(lv_ft_font_init(&info));
    EXPECT_EQ(info.font, nullptr);
    lv_ft_font_destroy(nullptr);
}

TEST_F(FreeType, SameFileTwiceGivesTwoWorkingFonts) {
    lv_font_t* a = open(kMontserrat, 16);
    lv_font_t* b = open(kMontserrat, 16);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(lv_font_get_glyph_width(a, 'W', 0), lv_font_get_glyph_width(b, 'W', 0));
    // More fonts than the manager keeps faces open: faces are reopened on demand.
    lv_font_t* c = open(kUbuntuMono, 16);
    ASSERT_NE(c, nullptr);
    for (int round = 0; round < 3; round++)
        for (lv_font_t* f : {a, b, c}) EXPECT_NE(lv_font_get_glyph_bitmap(f, 'W'), nullptr);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(FreeType, BoldIsWiderAndItalicEndsAtItsInk) {
    lv_font_t* normal = open(kMontserrat, 30);
    lv_font_t* bold = open(kMontserrat, 30, FT_FONT_STYLE_BOLD);
    lv_font_t* italic = open(kMontserrat, 30, FT_FONT_STYLE_ITALIC);
    ASSERT_TRUE(normal && bold && italic);
    lv_font_glyph_dsc_t n, b, i;
    ASSERT_TRUE(lv_font_get_glyph_dsc(normal, &n, 'l', 0));
    ASSERT_TRUE(lv_font_get_glyph_dsc(bold, &b, 'l', 0));
    ASSERT_TRUE(lv_font_get_glyph_dsc(italic, &i, 'l', 0));
    EXPECT_GT(b.box_w, n.box_w);
    EXPECT_GT(i.box_w, n.box_w); // slanted
    EXPECT_EQ(i.adv_w, i.box_w + i.ofs_x);
    EXPECT_NE(lv_font_get_glyph_bitmap(bold, 'l'), nullptr);
}

TEST_F(FreeType, FontsSurviveARestartOfTheBinding) {
    lv_font_t* f = open(kMontserrat, 20);
    ASSERT_NE(f, nullptr);
    const uint16_t w = lv_font_get_glyph_width(f, 'W', 0);
    lv_freetype_destroy();
    lv_font_glyph_dsc_t g;
    EXPECT_FALSE(lv_font_get_glyph_dsc(f, &g, 'W', 0) && !g.is_placeholder);
    ASSERT_TRUE(lv_freetype_init(0, 0, LV_FREETYPE_CACHE_SIZE));
    EXPECT_EQ(lv_font_get_glyph_width(f, 'W', 0), w);
}
