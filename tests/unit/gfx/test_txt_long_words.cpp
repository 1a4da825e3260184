// Text layout of very long words (a 5000-letter connector code from a status message): texts as wide as
// their label break only at line ends, and a word split over many lines is measured once per line, so
// laying it out costs glyph look-ups in proportion to its length.
#include "lvgl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

size_t g_lookups = 0;

bool counting_glyph_dsc(const lv_font_t*, lv_font_glyph_dsc_t* dsc, uint32_t letter, uint32_t next) {
    g_lookups++;
    return lv_font_montserrat_14.get_glyph_dsc(&lv_font_montserrat_14, dsc, letter, next);
}

// Montserrat 14, counting every glyph look-up.
const lv_font_t* counting_font() {
    static const lv_font_t font = [] {
        lv_font_t f = lv_font_montserrat_14;
        f.get_glyph_dsc = counting_glyph_dsc;
        f.fallback = nullptr;
        return f;
    }();
    return &font;
}

std::vector<std::string> split_lines(const std::string& txt, lv_coord_t max_w, lv_text_flag_t flag) {
    std::vector<std::string> lines;
    uint32_t start = 0;
    while (start < txt.size() && lines.size() < 10000) {
        const uint32_t len = _lv_txt_get_next_line(&txt[start], counting_font(), 0, max_w, nullptr, flag);
        if (len == 0) break;
        lines.emplace_back(&txt[start], len);
        start += len;
    }
    return lines;
}

} // namespace

TEST(TxtLongWords, TextsAsWideAsTheirLabelBreakOnlyAtLineEnds) {
    const struct {
        const char* txt;
        std::vector<std::string> lines;
    } cases[] = {
        {"Hello world foo", {"Hello world foo"}},
        {"ab\ncd", {"ab\n", "cd"}},
        {"ab\r\ncd\n", {"ab\r\n", "cd\n"}},
        {"\n\nx", {"\n", "\n", "x"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.txt);
        EXPECT_EQ(split_lines(c.txt, 20, LV_TEXT_FLAG_FIT), c.lines);
        EXPECT_EQ(split_lines(c.txt, 20, LV_TEXT_FLAG_EXPAND), c.lines);
    }
    lv_coord_t used = -1;
    EXPECT_EQ(_lv_txt_get_next_line("Hello world\nfoo", counting_font(), 0, 20, &used, LV_TEXT_FLAG_FIT),
              12u);
    EXPECT_EQ(used, lv_txt_get_width("Hello world", 11, counting_font(), 0, LV_TEXT_FLAG_NONE));

    // The label's own measure of such a text: one line, not one per few letters of the old width.
    lv_point_t size{};
    lv_txt_get_size(&size, std::string(500, '7').c_str(), counting_font(), 0, 0, 30, LV_TEXT_FLAG_FIT);
    EXPECT_EQ(size.y, 16);
}

TEST(TxtLongWords, ALongWordCostsLookUpsInProportionToItsLength) {
    const std::string word(5000, '7');
    const struct {
        const char* what;
        lv_coord_t width;
        lv_text_flag_t flag;
    } cases[] = {
        {"split into lines of three letters", 30, LV_TEXT_FLAG_NONE},
        {"split into lines of thirty letters", 300, LV_TEXT_FLAG_NONE},
        {"as wide as its label", 30, LV_TEXT_FLAG_FIT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        g_lookups = 0;
        const std::vector<std::string> lines = split_lines(word, c.width, c.flag);
        size_t letters = 0;
        for (const std::string& l : lines) letters += l.size();
        EXPECT_EQ(letters, word.size());
        // Each letter is looked up for its line and once more where a line ends; re-measuring the rest of
        // the word for every line would cost hundreds of times that.
        EXPECT_LE(g_lookups, 3 * word.size()) << lines.size() << " lines";

        g_lookups = 0;
        lv_point_t size{};
        lv_txt_get_size(&size, word.c_str(), counting_font(), 0, 0, c.width, c.flag);
        EXPECT_LE(g_lookups, 6 * word.size());
    }
}
