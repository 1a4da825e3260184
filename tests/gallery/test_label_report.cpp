// The gallery's label report: which texts it flags as not fitting, with the built-in Montserrat 14
// (16 px lines, ASCII only), so the cases do not depend on the asset fonts.
#include <gtest/gtest.h>

#include <vector>

#include "app_host.h"
#include "label_report.h"

namespace {

using Kinds = std::vector<LabelIssueKind>;

Kinds kinds(const std::vector<LabelIssue>& issues) {
    Kinds out;
    for (const LabelIssue& i : issues) out.push_back(i.kind);
    return out;
}

lv_obj_t* label(lv_obj_t* parent, lv_coord_t w, lv_coord_t h, lv_coord_t x, const char* text,
                lv_label_long_mode_t mode, lv_text_align_t align = LV_TEXT_ALIGN_LEFT) {
    lv_obj_t* l = lv_label_create(parent);
    lv_obj_set_style_text_font(l, &lv_font_montserrat_14, 0);
    lv_obj_set_style_text_align(l, align, 0);
    lv_label_set_long_mode(l, mode);
    lv_obj_set_size(l, w, h);
    lv_obj_align(l, LV_ALIGN_CENTER, x, 0);
    lv_label_set_text(l, text);
    return l;
}

TEST(LabelReport, FlagsTextsThatDoNotFitTheirLabel) {
    lv_disp_t* disp = app_host_start(320, 240, false);
    using K = LabelIssueKind;
    constexpr lv_coord_t C = LV_SIZE_CONTENT;
    constexpr auto WRAP = LV_LABEL_LONG_WRAP, CLIP = LV_LABEL_LONG_CLIP,
                   SCROLL = LV_LABEL_LONG_SCROLL_CIRCULAR;
    constexpr auto LEFT = LV_TEXT_ALIGN_LEFT, CENTER = LV_TEXT_ALIGN_CENTER;
    // clang-format off
    const struct { const char* name; lv_coord_t w, h, x; const char* text; lv_label_long_mode_t mode;
                   lv_text_align_t align; Kinds expected; } cases[] = {
        {"sized to its text",                C,   C,  0,   "Hello",                WRAP,   LEFT,   {}},
        {"short text in a fixed box",        100, 16, 0,   "Hello",                WRAP,   CENTER, {}},
        {"three lines in a one-line box",    60,  16, 0,   "Hello world foo",      WRAP,   LEFT,   {K::WrapsBeyond}},
        {"three lines, box grows",           60,  C,  0,   "Hello world foo",      WRAP,   LEFT,   {}},
        {"explicit lines in a one-line box", 100, 16, 0,   "Hello\nworld",         WRAP,   LEFT,   {K::Clipped}},
        {"word wider than the box",          50,  C,  0,   "Supercalifragilistic", WRAP,   LEFT,   {K::WordSplit}},
        {"clip mode, centred, too wide",     30,  16, 0,   "Hello world",          CLIP,   CENTER, {K::Clipped}},
        {"scrolling through its box",        40,  16, 0,   "Hello world",          SCROLL, LEFT,   {K::Scrolls}},
        {"scrolling label, text fits",       100, 16, 0,   "Hello world",          SCROLL, CENTER, {}},
        {"box lower than the letters",       100, 8,  0,   "Ag",                   WRAP,   LEFT,   {K::Clipped}},
        {"past the display's right edge",    C,   C,  150, "Hello world",          WRAP,   LEFT,   {K::OutsideParent}},
        {"letters the font lacks",           C,   C,  0,   "Caf\xC3\xA9 \xE2\x98\xBA",  WRAP,   LEFT,   {K::MissingGlyph}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        lv_obj_t* scr = lv_obj_create(nullptr);
        lv_obj_t* l = label(scr, c.w, c.h, c.x, c.text, c.mode, c.align);
        lv_disp_load_scr(scr);
        lv_refr_now(disp);
        EXPECT_EQ(kinds(label_report_check_label(l)), c.expected);
    }

    // A tree walk reports the visible labels only, a hidden one not, whatever its text.
    lv_obj_t* scr = lv_obj_create(nullptr);
    lv_obj_t* shown = label(scr, 60, 16, 0, "Hello world foo", WRAP);
    lv_obj_add_flag(label(scr, 60, 16, 0, "Hello world foo", WRAP), LV_OBJ_FLAG_HIDDEN);
    lv_disp_load_scr(scr);
    lv_refr_now(disp);
    const std::vector<LabelIssue> issues = label_report_check_tree(scr);
    ASSERT_EQ(issues.size(), 1u);
    EXPECT_EQ(issues[0].label, shown);
    EXPECT_EQ(issues[0].detail.rfind("3 lines", 0), 0u) << issues[0].detail;
}

} // namespace
