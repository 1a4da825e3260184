// Text in the built-in Montserrat 14: measuring, word wrap, recolour commands and UTF-8 (lv_txt), the
// label painter on a bare draw buffer, and the label widget (text ownership, long modes, scrolling).
#include <cstring>
#include <string>
#include <vector>

#include "gfx_fixture.h"

namespace {

const lv_font_t* const kFont = &lv_font_montserrat_14;
using Lines = std::vector<std::string>;

lv_coord_t width_of(const char* t, lv_text_flag_t flag = LV_TEXT_FLAG_NONE) {
    return lv_txt_get_width(t, (uint32_t)std::strlen(t), kFont, 0, flag);
}

Lines split_lines(const std::string& txt, lv_coord_t max_w, lv_text_flag_t flag) {
    Lines lines;
    for (uint32_t start = 0, len = 1; start < txt.size() && len > 0; start += len) {
        len = _lv_txt_get_next_line(&txt[start], kFont, 0, max_w, nullptr, flag);
        lines.emplace_back(&txt[start], len);
    }
    return lines;
}

TEST(Txt, SizesAndWordWrap) {
    const struct {
        const char* txt;
        lv_coord_t max_w;
        lv_text_flag_t flag;
        Lines lines;
    } cases[] = {
        {"Charging\n100%", 100, LV_TEXT_FLAG_NONE, {"Charging\n", "100%"}},
        {"a\r\n\r\nb\n", 100, LV_TEXT_FLAG_NONE, {"a\r\n", "\r\n", "b\n"}}, // and an empty last line
        {"Hello world foo", 60, LV_TEXT_FLAG_NONE, {"Hello ", "world ", "foo"}},
        {"Supercalifragilistic", 50, LV_TEXT_FLAG_NONE, {"Super", "califra", "gilistic"}},
        {"abc,def.ghi-jkl", 70, LV_TEXT_FLAG_NONE, {"abc,def.", "ghi-jkl"}},
        // A word that fills the width exactly leaves no room: the space becomes a line of its own.
        {"Text Text", 29, LV_TEXT_FLAG_NONE, {"Text", " ", "Text"}},
        {"Text Text", 33, LV_TEXT_FLAG_NONE, {"Text ", "Text"}},
        {"abc", 0, LV_TEXT_FLAG_NONE, {"a", "b", "c"}}, // too narrow for any letter: one per line
        // Expanding labels and labels as wide as their text break only at line ends.
        {"Hello world\nfoo", 20, LV_TEXT_FLAG_EXPAND, {"Hello world\n", "foo"}},
        {"Hello world foo", 20, LV_TEXT_FLAG_FIT, {"Hello world foo"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.txt << "\" at " << c.max_w);
        EXPECT_EQ(split_lines(c.txt, c.max_w, c.flag), c.lines);
        // As wide as the widest line, 16 px a line.
        lv_coord_t w = 0;
        for (const std::string& l : c.lines) w = std::max(w, width_of(l.c_str()));
        lv_point_t p;
        lv_txt_get_size(&p, c.txt, kFont, 0, 0, c.max_w, c.flag);
        EXPECT_EQ(p.x, w);
        EXPECT_EQ(p.y, 16 * (lv_coord_t)(c.lines.size() + (c.lines.back().back() == '\n')));
    }
    // Measured with LVGL; kerning counts (T is 7 wide before o); spacing goes between letters and
    // lines only, not after a control character.
    EXPECT_EQ(
        (std::vector<lv_coord_t>{width_of("Charging"), width_of("22.5 kW"), width_of("100%"),
                                 width_of("To")}),
        (std::vector<lv_coord_t>{68, 56, 35, (lv_coord_t)(7 + lv_font_get_glyph_width(kFont, 'o', 0))}));
    lv_point_t p;
    lv_txt_get_size(&p, "aa\naaa\x01", kFont, 2, 3, LV_COORD_MAX, LV_TEXT_FLAG_NONE);
    EXPECT_EQ(area_str({0, 0, p.x, p.y}), "(0,0)-(28,35)");
}

TEST(Txt, BrokenUtf8ReadsAsReplacementLettersAndIsSplitWhole) {
    const uint32_t R = 0xFFFD;
    const struct {
        std::string bytes;
        std::vector<uint32_t> letters;
    } texts[] = {
        {"A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", {'A', 0xE9, 0x20AC, 0x1F600}},
        // Cut, stray continuation, overlong, surrogate, above U+10FFFF.
        {"\xF0\x9F!", {R, R, '!'}},
        {"\x80\xBF", {R, R}},
        {"\xC0\xAF", {R, R}},
        {"\xED\xA0\x80", {R, R, R}},
        {"\xF4\x90\x80\x80", {R, R, R, R}},
    };
    for (const auto& t : texts) {
        SCOPED_TRACE(testing::PrintToString(t.bytes));
        const std::vector<char> buf(t.bytes.c_str(),
                                    t.bytes.c_str() + t.bytes.size() + 1); // for the sanitizer
        std::vector<uint32_t> letters;
        for (uint32_t i = 0; buf[i] != '\0';) letters.push_back(_lv_txt_encoded_next(buf.data(), &i));
        EXPECT_EQ(letters, t.letters);
        size_t bytes = 0;
        for (const std::string& l : split_lines(buf.data(), 30, LV_TEXT_FLAG_RECOLOR)) bytes += l.size();
        EXPECT_EQ(bytes, t.bytes.size());
    }
}

/* ---- The painter -------------------------------------------------------------------------------- */

constexpr uint32_t kWhite = 0xFFFFFF;

// Draws `txt` in black (or as `dsc` says) into a white w x h canvas at `coords`.
struct Drawn : Canvas {
    Drawn(const char* txt, lv_area_t coords, lv_draw_label_dsc_t dsc, lv_coord_t w = 120, lv_coord_t h = 40,
          lv_area_t clip_area = {0, 0, -1, -1})
        : Canvas(w, h, kWhite) {
        if (clip_area.x2 >= 0) clip = clip_area;
        lv_draw_label(&ctx, &dsc, &coords, txt, nullptr);
    }
    // Bounding box of the ink in rows y1..y2 (x1 > x2 when there is none).
    lv_area_t ink(lv_coord_t y1 = 0, lv_coord_t y2 = 1000) const {
        lv_area_t b{INT16_MAX, INT16_MAX, INT16_MIN, INT16_MIN};
        for (lv_coord_t y = y1; y <= std::min(y2, buf_area.y2); y++)
            for (lv_coord_t x = 0; x <= buf_area.x2; x++)
                if (at(x, y) != kWhite)
                    b = {std::min(b.x1, x), std::min(b.y1, y), std::max(b.x2, x), std::max(b.y2, y)};
        return b;
    }
};

lv_draw_label_dsc_t dsc_of(lv_text_flag_t flag = LV_TEXT_FLAG_NONE,
                           lv_text_align_t align = LV_TEXT_ALIGN_LEFT, lv_opa_t opa = LV_OPA_COVER) {
    lv_draw_label_dsc_t d;
    lv_draw_label_dsc_init(&d);
    d.flag = flag, d.align = align, d.opa = opa;
    return d;
}

TEST(DrawLabel, AlignmentClipAndMissingGlyphs) {
    // "Text" (29 px) centred in 101 px starts at 36; each line is aligned on its own.
    const lv_coord_t ab = width_of("ab");
    const struct {
        lv_text_align_t align;
        lv_coord_t ofs_x, first, second;
    } aligns[] = {{LV_TEXT_ALIGN_CENTER, 0, 36, (lv_coord_t)((101 - ab) / 2)},
                  {LV_TEXT_ALIGN_RIGHT, 0, 72, (lv_coord_t)(101 - ab)},
                  {LV_TEXT_ALIGN_CENTER, -2, 34, (lv_coord_t)((101 - ab) / 2 - 2)}};
    const Drawn left("Text\nab", {0, 0, 100, 39}, dsc_of());
    for (const auto& a : aligns) {
        lv_draw_label_dsc_t d = dsc_of(LV_TEXT_FLAG_NONE, a.align);
        d.ofs_x = a.ofs_x;
        const Drawn c("Text\nab", {0, 0, 100, 39}, d);
        EXPECT_EQ(c.ink(0, 15).x1 - left.ink(0, 15).x1, a.first) << (int)a.align;
        EXPECT_EQ(c.ink(16, 39).x1 - left.ink(16, 39).x1, a.second) << (int)a.align;
    }
    // Through a clip area only what lies inside it changes, and as in the whole picture.
    const Drawn whole("Hello world foo", {0, 0, 59, 79}, dsc_of(), 80, 80);
    const Drawn part("Hello world foo", {0, 0, 59, 79}, dsc_of(), 80, 80, {5, 6, 30, 20});
    for (lv_coord_t y = 0; y < 80; y++)
        for (lv_coord_t x = 0; x < 80; x++)
            ASSERT_EQ(part.at(x, y), part.inside_clip(x, y) ? whole.at(x, y) : kWhite);
    EXPECT_GT(whole.ink(48).x1, whole.ink(48).x2) << "three lines: \"Hello \", \"world \", \"foo\"";

    // A letter no font has: a warning at every draw, and a 9 x 17 outline at the pen (after 'a'), hollow,
    // that advances 10. Control characters are silent.
    StdoutLog log;
    const char* txt = "a\xE2\x82\xAC\x01|";
    const lv_draw_label_dsc_t d = dsc_of();
    const lv_area_t coords{10, 10, 59, 39};
    Drawn c(txt, coords, d, 60, 40);
    lv_draw_label(&c.ctx, &d, &coords, txt, nullptr);
    EXPECT_EQ(log.count("[Warn]"), 2u);
    EXPECT_EQ(log.count("lv_draw_letter: glyph dsc. not found for U+20AC"), 2u);
    EXPECT_EQ((std::vector<uint32_t>{c.at(18, 10), c.at(26, 26), c.at(22, 18)}),
              (std::vector<uint32_t>{0, 0, kWhite}));
    lv_font_glyph_dsc_t bar;
    lv_font_get_glyph_dsc(kFont, &bar, '|', 0);
    EXPECT_EQ(c.ink().x2, 28 + bar.ofs_x + bar.box_w - 1);
    // Full coverage at half opacity: applied once (LVGL 8.3 applies it twice).
    const Drawn half("T", coords, dsc_of(LV_TEXT_FLAG_NONE, LV_TEXT_ALIGN_LEFT, 128), 60, 40);
    uint32_t darkest = 255;
    for (const lv_color_t& p : half.px) darkest = std::min<uint32_t>(darkest, p.ch.red);
    EXPECT_EQ(darkest, 127u);
}

TEST(DrawLabel, RecolourPaintsTheCommandRunOnly) {
    const struct {
        const char* txt;
        const char* plain; // the same ink without commands
        uint32_t colour;   // of the run
        lv_coord_t run_from, run_to;
    } cases[] = {
        {"ab #ff0000 red# cd", "ab red cd", 0xff0000, width_of("ab "), width_of("ab red")},
        {"#zz00ff W#", "W", 0x0000ff, 0, width_of("W")}, // not hex: 0
        {"x #12 y# z", "x y z", 0, 0, 0},                // not six digits: the text colour
        {"x ## y", "x # y", 0, 0, 0},
        {"#ff0000 ab\ncd# xy", "ab\ncdxy", 0xff0000, 0, width_of("ab")}, // starts over on each line
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.txt);
        const Drawn cv(c.txt, {0, 0, 119, 39}, dsc_of(LV_TEXT_FLAG_RECOLOR)),
            plain(c.plain, {0, 0, 119, 39}, dsc_of());
        int full_colour = 0;
        for (lv_coord_t y = 0; y < 40; y++) {
            for (lv_coord_t x = 0; x < 120; x++) {
                // Black over white leaves 255 - coverage in each channel; the run's colour over white
                // keeps its full channels at 255 and the others as the black text's.
                uint32_t want = plain.at(x, y);
                if (y < 16 && x >= c.run_from && x < c.run_to) want |= c.colour;
                ASSERT_EQ(cv.at(x, y), want) << x << "," << y;
                full_colour += c.colour != 0 && want == c.colour;
            }
        }
        EXPECT_EQ(full_colour > 0, c.colour != 0);
    }
}

/* ---- The widget --------------------------------------------------------------------------------- */

class Label : public GfxFixture {
  protected:
    static lv_obj_t* label(const char* text, lv_coord_t width = LV_SIZE_CONTENT,
                           lv_label_long_mode_t mode = LV_LABEL_LONG_WRAP) {
        lv_obj_t* l = lv_label_create(lv_scr_act());
        lv_label_set_long_mode(l, mode);
        lv_obj_set_width(l, width);
        if (text != nullptr) lv_label_set_text(l, text);
        return l;
    }
    static std::string size_of(lv_obj_t* l) {
        lv_obj_update_layout(l);
        return std::to_string(lv_obj_get_width(l)) + "x" + std::to_string(lv_obj_get_height(l));
    }
};

TEST_F(Label, KeepsACopyOfItsTextAndSizesByLongMode) {
    lv_obj_t* l = label(nullptr);
    EXPECT_EQ(std::string(lv_label_get_text(l)) + " " + size_of(l), "Text 29x16");
    char buf[16] = "first";
    lv_label_set_text(l, buf);
    std::strcpy(buf, "changed");
    lv_label_set_text(l, nullptr);                  // keeps the text
    lv_label_set_text(l, lv_label_get_text(l) + 2); // a part of its own text
    EXPECT_STREQ(lv_label_get_text(l), "rst");
    lv_label_set_text_fmt(l, "%d kWh %02u%% %s", -12, 3u, std::string(300, 'x').c_str());
    EXPECT_EQ(std::string(lv_label_get_text(l)), "-12 kWh 03% " + std::string(300, 'x'));

    const struct {
        lv_coord_t width;
        lv_label_long_mode_t mode;
        const char* size;
    } cases[] = {{60, LV_LABEL_LONG_WRAP, "60x48"},
                 {200, LV_LABEL_LONG_WRAP, "200x16"},
                 {30, LV_LABEL_LONG_CLIP, "30x16"},
                 {30, LV_LABEL_LONG_SCROLL_CIRCULAR, "30x16"}};
    for (const auto& c : cases) {
        lv_obj_t* m = label("Hello world foo", c.width, c.mode);
        EXPECT_EQ(size_of(m), c.size) << c.width << " " << (int)c.mode;
        lv_obj_del(m);
    }
    lv_obj_t* r = label("Hello #ff0000 world# foo");
    lv_label_set_recolor(r, true);
    EXPECT_EQ(size_of(r), size_of(label("Hello world foo"))) << "commands take no room";
    // A wrapped label re-wraps when its width changes; line spacing from a parent grows it.
    lv_obj_t* w = label("Hello world foo", 200);
    EXPECT_EQ(size_of(w), "200x16");
    lv_obj_set_width(w, 60);
    lv_obj_set_style_text_line_space(lv_scr_act(), 5, 0);
    EXPECT_EQ(size_of(w), "60x58");
}

TEST_F(Label, CircularScrollRunsPastTheTextAndAGapAtTheDpisSpeed) {
    const char* text = "Charging session in progress"; // 211 px
    lv_obj_t* l = label(text, 100, LV_LABEL_LONG_SCROLL_CIRCULAR);
    lv_anim_t* a = lv_anim_get(l, nullptr);
    ASSERT_NE(a, nullptr);
    // 0 to -(211 + 3 spaces), linear, endless, at 130 dpi / 3 = 43 px/s.
    EXPECT_EQ((std::vector<int32_t>{a->start_value, a->end_value, a->time, a->repeat_cnt,
                                    (int32_t)a->playback_time}),
              (std::vector<int32_t>{0, -223, 5186, LV_ANIM_REPEAT_INFINITE, 0}));
    EXPECT_EQ(a->path_cb, lv_anim_path_linear);
    run_for(1000);
    EXPECT_EQ(lv_anim_get(l, nullptr)->current_value, -43);
    // Another long text keeps the progress; a text that fits stops the scrolling.
    const int32_t progress = lv_anim_get(l, nullptr)->act_time;
    lv_label_set_text(l, "Charging session still in progress");
    EXPECT_EQ(lv_anim_get(l, nullptr)->act_time, progress);
    lv_label_set_text(l, "Short");
    EXPECT_EQ(lv_anim_get(l, nullptr), nullptr);
    // A style speed replaces the default one; the animation goes with the label.
    lv_obj_set_style_anim_speed(l, 100, 0);
    lv_label_set_text(l, text);
    EXPECT_EQ(lv_anim_get(l, nullptr)->time, 2230);
    lv_obj_del(l);
    EXPECT_EQ(lv_anim_count_running(), 0u);
    // As wide as its text, a label does not scroll.
    l = label(text, LV_SIZE_CONTENT, LV_LABEL_LONG_SCROLL_CIRCULAR);
    EXPECT_EQ(size_of(l), "211x16");
    EXPECT_EQ(lv_anim_get(l, nullptr), nullptr);
}

} // namespace
