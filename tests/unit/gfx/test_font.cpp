// Fonts: the built-in Montserrat 14 (metrics, kerning, placeholders) and the FreeType binding on the TrueType
// files of the npm font packages (its drawn glyphs are in the golden pictures).
#include "stdout_log.h"
#include "lvgl.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const lv_font_t* const kFont = &lv_font_montserrat_14;

TEST(Font, BuiltInMetricsAdvancesAndPlaceholders) {
    // Measured with LVGL 8.3: ' ' '1' '%' 'W' '#' 'T', T before o, a tab (two spaces), the euro sign it
    // lacks (a placeholder half a line wide, + 2), a control, the dummy and a zero-width letter.
    const uint32_t letters[][2] = {{' ', 0},  {'1', 0},    {'%', 0},   {'W', 0},    {'#', 0},
                                   {'T', 0},  {'T', 'o'},  {'\t', 0},  {0x20AC, 0}, {0x01, 0},
                                   {'\n', 0}, {0xF8FF, 0}, {0x200C, 0}};
    std::vector<int> adv;
    for (const auto& l : letters) adv.push_back(lv_font_get_glyph_width(kFont, l[0], l[1]));
    EXPECT_EQ(adv, (std::vector<int>{4, 5, 12, 16, 10, 8, 7, 8, 10, 0, 0, 0, 0}));
    lv_font_glyph_dsc_t g;
    EXPECT_FALSE(lv_font_get_glyph_dsc(kFont, &g, 0x20AC, 0));
    EXPECT_EQ((std::vector<int>{kFont->line_height, kFont->base_line, g.is_placeholder, g.box_w, g.box_h}),
              (std::vector<int>{16, 3, 1, 8, 16}));
}

const std::string kMontserrat = "@expo-google-fonts/montserrat/400Regular/Montserrat_400Regular.ttf";
const std::string kUbuntuMono = "@expo-google-fonts/ubuntu-mono/700Bold/UbuntuMono_700Bold.ttf";

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
    lv_font_t* open(const std::string& rel, uint16_t px) {
        const std::string path = sd_node_module_path(rel);
        lv_ft_info_t info{};
        info.name = path.c_str();
        info.weight = px;
        if (!lv_ft_font_init(&info)) return nullptr;
        fonts_.push_back(info.font);
        return info.font;
    }

  private:
    std::vector<lv_font_t*> fonts_;
};

TEST_F(FreeType, MissingLettersGetTheNotdefGlyphControlsNoRoomAndNothingKerns) {
    const struct {
        const std::string* file;
        uint16_t px;
        bool greek;
    } cases[] = {{&kMontserrat, 9, false}, {&kUbuntuMono, 25, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << *c.file << " @" << c.px);
        const lv_font_t* f = open(*c.file, c.px);
        ASSERT_NE(f, nullptr);
        for (uint32_t letter : {(uint32_t)'A', 0x3B1u, 0x01u}) {
            SCOPED_TRACE(letter);
            lv_font_glyph_dsc_t g;
            ASSERT_TRUE(lv_font_get_glyph_dsc(f, &g, letter, 'V'));
            EXPECT_EQ(g.is_placeholder, letter == 0x3B1 && !c.greek);
            if (letter < 0x20)
                EXPECT_EQ(g.adv_w + g.box_w * g.box_h, 0);
            else
                EXPECT_TRUE(g.bpp == 8 && g.box_w > 0 && lv_font_get_glyph_bitmap(f, letter) != nullptr);
        }
        EXPECT_EQ(lv_txt_get_width("AV", 2, f, 0, LV_TEXT_FLAG_NONE),
                  lv_font_get_glyph_width(f, 'A', 0) + lv_font_get_glyph_width(f, 'V', 0));
    }
    // More fonts than the cache keeps faces open, one file twice: faces are reopened on demand.
    std::vector<lv_font_t*> many = {open(kMontserrat, 16), open(kMontserrat, 16), open(kUbuntuMono, 16)};
    for (int round = 0; round < 3; round++)
        for (lv_font_t* f : many) EXPECT_NE(lv_font_get_glyph_bitmap(f, 'W'), nullptr);
    EXPECT_EQ(lv_font_get_glyph_width(many[0], 'W', 0), lv_font_get_glyph_width(many[1], 'W', 0));
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(FreeType, AFontThatCannotBeOpenedFailsWithLvglsTwoErrors) {
    lv_font_t sentinel{};
    lv_ft_info_t info{};
    info.name = "./qorv_lvgl/assets/font/does-not-exist.ttf";
    info.weight = 20;
    info.font = &sentinel;
    for (int attempt = 1; attempt <= 2; attempt++) { // asking again tries again
        EXPECT_FALSE(lv_ft_font_init(&info));
        EXPECT_EQ(info.font, &sentinel);
    }
    EXPECT_EQ(log.count("font_face_requester: FT_New_Face error:1"), 2u);
    EXPECT_EQ(log.count("lv_ft_font_init_cache: Failed to LookupSize \t(in lv_freetype.c line #376)"), 2u);
    // No name or no size: refused without a font.
    info = lv_ft_info_t{};
    info.weight = 20;
    EXPECT_FALSE(lv_ft_font_init(&info) || lv_ft_font_init(nullptr));
    EXPECT_EQ(info.font, nullptr);
}

} // namespace
