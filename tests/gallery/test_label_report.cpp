// The gallery's label report: which texts it flags as not fitting, with the built-in Montserrat 14
// (16 px lines, ASCII only), so the cases do not depend on the asset fonts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app_fixture.h"
#include "label_report.h"

namespace {

using Kinds = std::vector<LabelIssueKind>;

constexpr lv_coord_t C = LV_SIZE_CONTENT;

class LabelReport : public AppFixture {
  public:
    LabelReport() { start_manager_ = false; }

  protected:
    lv_obj_t* label(lv_obj_t* parent, lv_coord_t w, lv_coord_t h, lv_coord_t x, const char* text,
                    lv_label_long_mode_t mode = LV_LABEL_LONG_WRAP) {
        lv_obj_t* l = lv_label_create(parent);
        lv_obj_set_style_text_font(l, &lv_font_montserrat_14, 0);
        lv_label_set_long_mode(l, mode);
        lv_obj_set_size(l, w, h);
        lv_obj_align(l, LV_ALIGN_CENTER, x, 0);
        lv_label_set_text(l, text);
        return l;
    }
    static Kinds kinds(const std::vector<LabelIssue>& issues) {
        Kinds out;
        for (const LabelIssue& i : issues) out.push_back(i.kind);
        return out;
    }
};

TEST_F(LabelReport, FlagsTextsThatDoNotFitTheirLabel) {
    using K = LabelIssueKind;
    struct Case {
        const char* name;
        lv_coord_t w, h, x;
        const char* text;
        lv_label_long_mode_t mode;
        lv_text_align_t align;
        Kinds expected;
    };
    constexpr auto WRAP = LV_LABEL_LONG_WRAP, CLIP = LV_LABEL_LONG_CLIP,
                   SCROLL = LV_LABEL_LONG_SCROLL_CIRCULAR;
    constexpr auto LEFT = LV_TEXT_ALIGN_LEFT, CENTER = LV_TEXT_ALIGN_CENTER;
    // clang-format off
    const Case cases[] = {
        {"sized to its text",                C,   C,  0,   "Hello",                WRAP,   LEFT,   {}},
        {"short text in a fixed box",        100, 16, 0,   "Hello",                WRAP,   CENTER, {}},
        {"three lines in a one-line box",    60,  16, 0,   "Hello world foo",      WRAP,   LEFT,   {K::WrapsBeyond}},
        {"three lines, box grows",           60,  C,  0,   "Hello world foo",      WRAP,   LEFT,   {}},
        {"explicit lines in a one-line box", 100, 16, 0,   "Hello\nworld",         WRAP,   LEFT,   {K::Clipped}},
        {"word wider than the box",          50,  C,  0,   "Supercalifragilistic", WRAP,   LEFT,   {K::WordSplit}},
        {"clip mode, too wide",              40,  16, 0,   "Hello world",          CLIP,   LEFT,   {K::Clipped}},
        {"clip mode, centred, too wide",     30,  16, 0,   "Hello world",          CLIP,   CENTER, {K::Clipped}},
        {"scrolling through its box",        40,  16, 0,   "Hello world",          SCROLL, LEFT,   {K::Scrolls}},
        {"scrolling label, text fits",       100, 16, 0,   "Hello world",          SCROLL, CENTER, {}},
        {"box lower than the letters",       100, 8,  0,   "Ag",                   WRAP,   LEFT,   {K::Clipped}},
        {"past the display's right edge",    C,   C,  150, "Hello world",          WRAP,   LEFT,   {K::OutsideParent}},
        {"letters the font lacks",           C,   C,  0,   "Caf\xC3\xA9 \xE2\x98\xBA",  WRAP,   LEFT,   {K::MissingGlyph}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        lv_obj_t* scr = lv_obj_create(nullptr);
        lv_obj_t* l = label(scr, c.w, c.h, c.x, c.text, c.mode);
        lv_obj_set_style_text_align(l, c.align, 0);
        lv_disp_load_scr(scr);
        lv_refr_now(nullptr);
        EXPECT_EQ(kinds(label_report_check_label(l)), c.expected);
    }
}

TEST_F(LabelReport, NamesTheProblemInItsDetails) {
    lv_obj_t* scr = lv_scr_act();
    lv_obj_t* glyphs = label(scr, C, C, 0, "\xE2\x98\xBA und Caf\xC3\xA9 \xC3\xA9");
    lv_obj_t* edge = label(scr, C, C, 150, "Hello world");
    lv_obj_t* wrapped = label(scr, 60, 16, 0, "Hello world foo");
    lv_refr_now(nullptr);

    const std::vector<LabelIssue> g = label_report_check_label(glyphs);
    ASSERT_EQ(g.size(), 1u);
    EXPECT_EQ(g[0].detail, "U+00E9 U+263A"); // each letter once, in code order
    EXPECT_EQ(g[0].text, "\xE2\x98\xBA und Caf\xC3\xA9 \xC3\xA9");

    const std::vector<LabelIssue> e = label_report_check_label(edge);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_NE(e[0].detail.find("right"), std::string::npos) << e[0].detail;
    EXPECT_EQ(e[0].detail.find("left"), std::string::npos) << e[0].detail;

    const std::vector<LabelIssue> w = label_report_check_label(wrapped);
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(w[0].detail.rfind("3 lines", 0), 0u) << w[0].detail;
}

TEST_F(LabelReport, WalksVisibleLabelsOnlyAndHonoursParentClipping) {
    lv_obj_t* scr = lv_scr_act();
    // A small panel cuts its child's long text; the same text on the screen itself fits.
    lv_obj_t* panel = lv_obj_create(scr);
    lv_obj_set_size(panel, 80, 40);
    lv_obj_center(panel);
    lv_obj_t* inside = label(panel, C, C, 0, "Hello wonderful world");
    lv_obj_t* free_text = label(scr, C, C, 0, "Hello wonderful world");
    lv_obj_align(free_text, LV_ALIGN_TOP_MID, 0, 0);

    // Hidden labels and labels in hidden parents are not on the panel, whatever their text.
    lv_obj_t* hidden = label(scr, 20, 10, 0, "Not shown at all");
    lv_obj_add_flag(hidden, LV_OBJ_FLAG_HIDDEN);
    lv_obj_t* hidden_parent = lv_obj_create(scr);
    lv_obj_add_flag(hidden_parent, LV_OBJ_FLAG_HIDDEN);
    label(hidden_parent, 20, 10, 0, "Not shown either");
    // An image is no label, and the top layer is walked on its own.
    lv_img_create(scr);
    lv_obj_t* on_top = label(lv_layer_top(), 30, 16, 0, "Top layer text", LV_LABEL_LONG_CLIP);
    lv_refr_now(nullptr);

    const std::vector<LabelIssue> issues = label_report_check_tree(scr);
    ASSERT_EQ(issues.size(), 1u);
    EXPECT_EQ(issues[0].label, inside);
    EXPECT_EQ(issues[0].kind, LabelIssueKind::OutsideParent);
    EXPECT_NE(issues[0].detail.find("left"), std::string::npos) << issues[0].detail;
    EXPECT_NE(issues[0].detail.find("right"), std::string::npos) << issues[0].detail;

    const std::vector<LabelIssue> top = label_report_check_tree(lv_layer_top());
    ASSERT_EQ(top.size(), 1u);
    EXPECT_EQ(top[0].label, on_top);
    EXPECT_EQ(top[0].kind, LabelIssueKind::Clipped);
    EXPECT_TRUE(label_report_check_tree(nullptr).empty());
}

TEST_F(LabelReport, RecolourCommandsAreNeitherLettersNorWidth) {
    lv_obj_t* scr = lv_scr_act();
    // Without the commands this text is exactly as wide as "red text".
    lv_obj_t* l = label(scr, C, 16, 0, "#ff0000 red# text");
    lv_label_set_recolor(l, true);
    lv_obj_t* plain = label(scr, C, 16, 0, "red text");
    lv_obj_update_layout(plain);
    lv_obj_set_width(l, lv_obj_get_width(plain));
    lv_label_set_long_mode(l, LV_LABEL_LONG_CLIP);
    lv_refr_now(nullptr);
    for (const LabelIssue& i : label_report_check_label(l)) ADD_FAILURE() << i.detail;

    // The same text taken literally is wider than that box.
    lv_label_set_recolor(l, false);
    lv_refr_now(nullptr);
    EXPECT_EQ(kinds(label_report_check_label(l)), Kinds{LabelIssueKind::Clipped});
}

} // namespace
