// Labels: text ownership, formatted text, sizes in the long modes, circular scrolling and a font
// that is missing.
#include <cstring>

#include "gfx_fixture.h"

namespace {

class Label : public GfxFixture {
  protected:
    lv_obj_t* label() { return lv_label_create(lv_scr_act()); }
    static lv_coord_t text_width(const char* t) {
        return lv_txt_get_width(t, (uint32_t)std::strlen(t), LV_FONT_DEFAULT, 0, LV_TEXT_FLAG_NONE);
    }
};

TEST_F(Label, StartsWithTextAndContentSize) {
    lv_obj_t* l = label();
    EXPECT_STREQ(lv_label_get_text(l), "Text");
    EXPECT_EQ(lv_label_get_long_mode(l), LV_LABEL_LONG_WRAP);
    EXPECT_FALSE(lv_label_get_recolor(l));
    lv_obj_update_layout(l);
    EXPECT_EQ(lv_obj_get_width(l), text_width("Text"));
    EXPECT_EQ(lv_obj_get_height(l), lv_font_get_line_height(LV_FONT_DEFAULT));
}

TEST_F(Label, SetTextCopiesStaticTextBorrows) {
    lv_obj_t* l = label();
    char buf[16] = "first";
    lv_label_set_text(l, buf);
    std::strcpy(buf, "changed");
    EXPECT_STREQ(lv_label_get_text(l), "first");
    EXPECT_NE(lv_label_get_text(l), buf);

    // NULL keeps the text; a pointer into the label's own text is copied safely.
    lv_label_set_text(l, nullptr);
    EXPECT_STREQ(lv_label_get_text(l), "first");
    lv_label_set_text(l, lv_label_get_text(l) + 2);
    EXPECT_STREQ(lv_label_get_text(l), "rst");

    static const char fixed[] = "static";
    lv_label_set_text_static(l, fixed);
    EXPECT_EQ(lv_label_get_text(l), fixed);
    lv_label_set_text(l, fixed); // copies again
    EXPECT_NE(lv_label_get_text(l), fixed);
    EXPECT_STREQ(lv_label_get_text(l), "static");
}

TEST_F(Label, FormattedTextUsesTheRuntimeFormatter) {
    struct Case {
        const char* want;
        void (*set)(lv_obj_t*);
    };
    const Case cases[] = {
        {"7|05", [](lv_obj_t* l) { lv_label_set_text_fmt(l, "%d|%02d", 7, 5); }},
        {"f", [](lv_obj_t* l) { lv_label_set_text_fmt(l, "%f", 1.5); }},
        {"-12 kWh 3%", [](lv_obj_t* l) { lv_label_set_text_fmt(l, "%d kWh %u%%", -12, 3u); }},
        {"", [](lv_obj_t* l) { lv_label_set_text_fmt(l, "%s", ""); }},
    };
    lv_obj_t* l = label();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.want);
        c.set(l);
        EXPECT_STREQ(lv_label_get_text(l), c.want);
    }
    // A long result is allocated to size.
    std::string big(300, 'x');
    lv_label_set_text_fmt(l, "%s%d", big.c_str(), 1);
    EXPECT_EQ(std::strlen(lv_label_get_text(l)), 301u);
}

TEST_F(Label, WrapGrowsTheHeightAndRewrapsWhenTheWidthChanges) {
    lv_obj_t* l = label();
    const lv_coord_t lh = lv_font_get_line_height(LV_FONT_DEFAULT);
    lv_label_set_text(l, "Hello world foo");
    lv_obj_set_width(l, 60);
    lv_obj_update_layout(l);
    EXPECT_EQ(lv_obj_get_width(l), 60);
    EXPECT_EQ(lv_obj_get_height(l), 3 * lh);

    lv_obj_set_width(l, 200);
    lv_obj_update_layout(l);
    EXPECT_EQ(lv_obj_get_height(l), lh);

    // CLIP keeps one line however narrow the label is.
    lv_label_set_long_mode(l, LV_LABEL_LONG_CLIP);
    lv_obj_set_width(l, 30);
    lv_obj_update_layout(l);
    EXPECT_EQ(lv_obj_get_height(l), lh);
    EXPECT_EQ(lv_label_get_long_mode(l), LV_LABEL_LONG_CLIP);

    // Growing line space grows a content-sized label.
    lv_label_set_long_mode(l, LV_LABEL_LONG_WRAP);
    lv_obj_set_width(l, LV_SIZE_CONTENT);
    lv_label_set_text(l, "a\nb");
    lv_obj_set_style_text_line_space(lv_scr_act(), 5, 0);
    lv_obj_update_layout(l);
    EXPECT_EQ(lv_obj_get_height(l), 2 * lh + 5);
}

TEST_F(Label, CircularScrollRunsFromZeroPastTheTextAndAGap) {
    const char* text = "Charging session in progress";
    lv_obj_t* l = label();
    lv_obj_set_width(l, 100);
    lv_label_set_long_mode(l, LV_LABEL_LONG_SCROLL_CIRCULAR);
    lv_label_set_text(l, text);

    const int32_t gap = 3 * lv_font_get_glyph_width(LV_FONT_DEFAULT, ' ', ' ');
    const int32_t end = -(text_width(text) + gap);
    lv_anim_t* a = lv_anim_get(l, nullptr);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->start_value, 0);
    EXPECT_EQ(a->end_value, end);
    EXPECT_EQ(a->time, (int32_t)(-end * 1000 / 43)); // 43 px/s at 130 dpi
    EXPECT_EQ(a->repeat_cnt, LV_ANIM_REPEAT_INFINITE);
    EXPECT_EQ(a->playback_time, 0u);
    EXPECT_EQ(a->path_cb, lv_anim_path_linear);

    // Changing to another long text keeps the progress; a text that fits stops scrolling.
    run_for(1000);
    a = lv_anim_get(l, nullptr);
    ASSERT_NE(a, nullptr);
    const int32_t progress = a->act_time;
    EXPECT_GT(progress, 900);
    EXPECT_LT(a->current_value, -30);
    lv_label_set_text(l, "Charging session still in progress");
    a = lv_anim_get(l, nullptr);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->act_time, progress);

    lv_label_set_text(l, "Short");
    EXPECT_EQ(lv_anim_get(l, nullptr), nullptr);

    // A style speed replaces the default one.
    lv_obj_set_style_anim_speed(l, 100, 0);
    lv_label_set_text(l, text);
    a = lv_anim_get(l, nullptr);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->time, (int32_t)(-end * 1000 / 100));

    // Deleting the label deletes its animation.
    lv_obj_del(l);
    EXPECT_EQ(lv_anim_count_running(), 0u);
}

TEST_F(Label, ContentSizedCircularLabelDoesNotScroll) {
    lv_obj_t* l = label();
    lv_label_set_long_mode(l, LV_LABEL_LONG_SCROLL_CIRCULAR);
    lv_label_set_text(l, "Charging session in progress");
    run_for(100);
    EXPECT_EQ(lv_anim_get(l, nullptr), nullptr);
    EXPECT_EQ(lv_obj_get_width(l), text_width("Charging session in progress"));
}

TEST_F(Label, ScrollingTextIsDrawnTwiceInsideTheLabelOnly) {
    lv_obj_set_style_bg_color(lv_scr_act(), lv_color_black(), 0);
    lv_obj_set_style_text_color(lv_scr_act(), lv_color_white(), 0);
    lv_obj_t* l = label();
    lv_obj_set_pos(l, 50, 50);
    lv_obj_set_width(l, 100);
    lv_label_set_long_mode(l, LV_LABEL_LONG_SCROLL_CIRCULAR);
    lv_label_set_text(l, "IIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIII");
    run_for(3000);

    auto lit = [&](lv_coord_t x0, lv_coord_t x1) {
        int n = 0;
        for (lv_coord_t x = x0; x <= x1; x++) {
            for (lv_coord_t y = 50; y < 66; y++) n += pixel(x, y) != 0;
        }
        return n;
    };
    EXPECT_GT(lit(50, 149), 0);
    EXPECT_EQ(lit(20, 49), 0);   // nothing left of the label
    EXPECT_EQ(lit(150, 200), 0); // nor right of it
}

TEST_F(Label, MissingFontMeasuresNothingAndDrawsNothing) {
    lv_obj_t* l = label();
    lv_obj_set_pos(l, 10, 10);
    lv_label_set_long_mode(l, LV_LABEL_LONG_SCROLL_CIRCULAR);
    lv_obj_set_style_text_font(l, nullptr, 0);
    lv_label_set_text(l, "no font here");
    lv_obj_update_layout(l);
    EXPECT_EQ(lv_obj_get_width(l), 0);
    EXPECT_EQ(lv_obj_get_height(l), 0);
    EXPECT_EQ(lv_anim_get(l, nullptr), nullptr);

    lv_obj_set_size(l, 100, 20);
    run_for(100);
    for (lv_coord_t x = 10; x < 110; x++) EXPECT_EQ(pixel(x, 15), 0xF5F5F5u);
}

TEST_F(Label, RecolourFlagChangesTheMeasuredText) {
    lv_obj_t* l = label();
    lv_label_set_text(l, "ab #ff0000 red# cd");
    lv_obj_update_layout(l);
    const lv_coord_t plain = lv_obj_get_width(l);
    lv_label_set_recolor(l, true);
    EXPECT_TRUE(lv_label_get_recolor(l));
    lv_obj_update_layout(l);
    EXPECT_LT(lv_obj_get_width(l), plain);
    EXPECT_EQ(lv_obj_get_width(l), text_width("ab red cd"));
}

TEST_F(Label, ApiIgnoresObjectsThatAreNotLabels) {
    lv_obj_t* obj = lv_obj_create(lv_scr_act());
    lv_label_set_text(obj, "x");
    EXPECT_EQ(lv_label_get_text(obj), nullptr);
}

} // namespace
