// Label report: finds texts that do not fit on the panel. Walks the visible labels below an object and
// compares each text, as the label lays it out, with the label's box and with what its parents and the
// display let show; and checks every letter against the label's font. Uses only the LVGL API.
#pragma once

#include <string>
#include <vector>

#include "lvgl.h"

enum class LabelIssueKind {
    Clipped,       // the text is wider or taller than the label's box, which cuts it
    WrapsBeyond,   // wrapped onto more lines than the box has room for
    WordSplit,     // a word is wider than the box and is broken inside
    OutsideParent, // the text reaches past a parent or the display edge, which cuts it
    Scrolls,       // a scrolling label's text is wider than the label, so it never shows whole
    MissingGlyph,  // the font has no glyph for a letter
};

struct LabelIssue {
    LabelIssueKind kind;
    const lv_obj_t* label;
    std::string text;
    lv_area_t box;      // the label's coordinates
    std::string detail; // sizes in pixels, or the missing letters as U+XXXX
};

const char* label_issue_kind_name(LabelIssueKind kind);

// Issues of one label (as laid out now; hidden or not).
std::vector<LabelIssue> label_report_check_label(const lv_obj_t* label);
// Issues of every label below `root` (root included) that is not hidden, nor inside a hidden parent.
std::vector<LabelIssue> label_report_check_tree(const lv_obj_t* root);
